#!/usr/bin/env python3
"""A notice server on loopback for the end-to-end tests.

Usage: notice_server.py PORT BODY_FILE LOG_FILE READY_FILE [DELAY]
Answers GET /info.txt with the bytes of BODY_FILE and anything else with 404; appends
each request line to LOG_FILE; creates READY_FILE once it listens. With DELAY (seconds)
it waits that long after reading a request before it answers.
"""
import http.server
import sys
import time


def main():
    port, body_file, log_file, ready_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    delay = float(sys.argv[5]) if len(sys.argv) > 5 else 0.0

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            with open(log_file, "a", encoding="utf-8") as log:
                log.write("%s %s\n" % (self.command, self.path))
            time.sleep(delay)
            if self.path != "/info.txt":
                self.send_error(404)
                return
            with open(body_file, "rb") as body:
                data = body.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *args):
            pass

    http.server.ThreadingHTTPServer.allow_reuse_address = True
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    open(ready_file, "w").close()
    server.serve_forever()


if __name__ == "__main__":
    main()
