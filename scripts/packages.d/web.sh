# Web access tests: the local HTTP/HTTPS test server (OpenSSL) and its throw-away certificates.
packages+=( libssl-dev openssl )
