# Web access tests: the local HTTP/HTTPS test server (OpenSSL) and its certificates.
packages+=( libcpp-httplib-dev libssl-dev openssl )
