#!/usr/bin/python3
"""A loopback HTTP service that records what it receives, around one command.

    http_peer.py --port 36680 -- COMMAND [ARGS...]

Serves 127.0.0.1:PORT (the service the program under test talks to) and a
control server on an ephemeral loopback port, whose number the command finds
in the environment variable QUENTHOR_HTTP_PEER. Runs the command, stops both
servers and exits with the command's exit code.

Service: every request is recorded (request line, header lines in their order
and case, body bytes) and answered with the reply set for its path: status
200 and an empty body unless told otherwise, always "Connection: close".

Control (texts in query strings are hex-encoded bytes):
    POST /reply?path=HEX[&status=N][&header=HEX]...[&silent=1]  body: reply body
         silent: accept the request, never answer (until the peer stops)
    POST /clear     forget the requests and replies
    GET  /log       the recorded requests, one field per line:
                    request HEX / header HEXNAME HEXVALUE / body HEX / end
                    (an empty field is written as "-")
    POST /close     stop listening on the service port (connects are refused)
    POST /open      listen on it again
"""

import argparse
import http.server
import os
import subprocess
import sys
import threading
import urllib.parse

stopping = threading.Event()
lock = threading.Lock()
recorded = []  # (request line, [(name, value)], body), all bytes
replies = {}  # path bytes -> dict(status, headers, body, silent)


def hexed(data):
    return data.hex() if data else "-"


def unhex(text):
    return bytes.fromhex(text) if text and text != "-" else b""


class ServiceHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def handle_one_request(self):
        try:
            self.raw_requestline = self.rfile.readline(65537)
            if not self.raw_requestline:
                self.close_connection = True
                return
            if not self.parse_request():
                return
            self.answer()
            self.close_connection = True
        except OSError:
            self.close_connection = True

    def answer(self):
        length = int(self.headers.get("Content-Length", "0") or "0")
        body = self.rfile.read(length) if length > 0 else b""
        line = self.raw_requestline.rstrip(b"\r\n")
        headers = [(n.encode("latin-1"), v.encode("latin-1")) for n, v in self.headers.items()]
        path = urllib.parse.urlsplit(self.path).path.encode("latin-1")
        with lock:
            recorded.append((line, headers, body))
            reply = replies.get(path, {"status": 200, "headers": [], "body": b"", "silent": False})
        if reply["silent"]:
            stopping.wait(300)
            return
        self.send_response_only(reply["status"])
        for header in reply["headers"]:
            name, _, value = header.partition(b":")
            self.send_header(name.decode("latin-1"), value.strip().decode("latin-1"))
        self.send_header("Content-Length", str(len(reply["body"])))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(reply["body"])


class Service:
    """The service server, which the control server can stop and start again."""

    def __init__(self, port):
        self.port = port
        self.server = None
        self.thread = None

    def open(self):
        if self.server:
            return
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), ServiceHandler)
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        if not self.server:
            return
        self.server.shutdown()
        self.server.server_close()
        self.thread.join()
        self.server = None


def make_control_handler(service):
    class ControlHandler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def log_message(self, *args):
            pass

        def done(self, body=b""):
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            if self.path != "/log":
                self.send_error(404)
                return
            lines = []
            with lock:
                for line, headers, body in recorded:
                    lines.append("request " + hexed(line))
                    for name, value in headers:
                        lines.append("header %s %s" % (hexed(name), hexed(value)))
                    lines.append("body " + hexed(body))
                    lines.append("end")
            self.done(("\n".join(lines) + "\n").encode("ascii"))

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0") or "0")
            body = self.rfile.read(length) if length > 0 else b""
            parts = urllib.parse.urlsplit(self.path)
            query = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
            if parts.path == "/reply":
                reply = {
                    "status": int(query.get("status", ["200"])[0]),
                    "headers": [unhex(h) for h in query.get("header", [])],
                    "body": body,
                    "silent": query.get("silent", ["0"])[0] == "1",
                }
                with lock:
                    replies[unhex(query["path"][0])] = reply
            elif parts.path == "/clear":
                with lock:
                    recorded.clear()
                    replies.clear()
            elif parts.path == "/close":
                service.close()
            elif parts.path == "/open":
                service.open()
            else:
                self.send_error(404)
                return
            self.done()

    return ControlHandler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")

    service = Service(args.port)
    service.open()
    control = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_control_handler(service))
    control.daemon_threads = True
    control_thread = threading.Thread(target=control.serve_forever, daemon=True)
    control_thread.start()

    env = dict(os.environ, QUENTHOR_HTTP_PEER=str(control.server_address[1]))
    try:
        code = subprocess.call(command, env=env)
    finally:
        stopping.set()
        control.shutdown()
        control.server_close()
        service.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
