#!/usr/bin/env python3
"""Serves one file on 127.0.0.1 at every path, over HTTP/1.1 with keep-alive and Content-Length,
as text/html; charset=utf-8. Prints the port it listens on, then serves until killed.

    serve_page.py FILE
"""
import http.server
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        body = f.read()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
