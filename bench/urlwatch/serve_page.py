#!/usr/bin/env python3
"""Serves one file on 127.0.0.1 at every path, over HTTP/1.1 with keep-alive and Content-Length,
as text/html; charset=utf-8. Prints the port it listens on, then serves until killed.

    serve_page.py FILE
"""
import http.server
import sys
import threading


def start_server(body_of):
    """Serves body_of() (bytes) at every path on 127.0.0.1 from a thread of its own; returns the
    server. Headers and body go out in two writes: without disable_nagle_algorithm, Nagle's
    algorithm would hold the body back until the client's delayed ACK, some 40 ms a page."""

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        disable_nagle_algorithm = True

        def do_GET(self):
            body = body_of()
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    with open(sys.argv[1], "rb") as f:
        body = f.read()
    server = start_server(lambda: body)
    print(server.server_address[1], flush=True)
    threading.Event().wait()


if __name__ == "__main__":
    main()
