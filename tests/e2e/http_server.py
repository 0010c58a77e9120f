#!/usr/bin/env python3
"""The end-to-end tests' web server: serves a folder on 127.0.0.1 with ETag and Last-Modified, answers 304
to a matching conditional request, leaves a request for /hang... unanswered, and redirects /redirect?to=URL.

Usage: http_server.py FOLDER PORT_FILE LOG_FILE. The port the system chose is written to PORT_FILE once the
server listens; every request adds "METHOD PATH STATUS" to LOG_FILE."""
import email.utils
import hashlib
import http.server
import os
import sys
import threading
import time
import urllib.parse

folder, port_file, log_file = sys.argv[1:4]
log_lock = threading.Lock()
TYPES = {".txt": "text/plain; charset=utf-8", ".xml": "application/xml", ".rss": "application/rss+xml",
         ".atom": "application/atom+xml"}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def note(self, status):
        with log_lock, open(log_file, "a") as log:
            log.write(f"{self.command} {self.path} {status}\n")

    def answer(self, status, body=b"", headers=()):
        self.note(status)
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/hang"):
            self.note("hang")
            time.sleep(3600)
            return
        if url.path == "/redirect":
            target = urllib.parse.parse_qs(url.query).get("to", [""])[0]
            self.answer(302, headers=[("Location", target)])
            return
        path = os.path.join(folder, urllib.parse.unquote(url.path).lstrip("/"))
        if not os.path.isfile(path):
            self.answer(404)
            return
        with open(path, "rb") as f:
            body = f.read()
        etag = '"' + hashlib.sha1(body).hexdigest() + '"'
        mtime = int(os.path.getmtime(path))
        modified = email.utils.formatdate(mtime, usegmt=True)
        headers = [("ETag", etag), ("Last-Modified", modified)]
        match = self.headers.get("If-None-Match")
        since = self.headers.get("If-Modified-Since")
        if match is not None:
            if etag in [tag.strip() for tag in match.split(",")] or match.strip() == "*":
                self.answer(304, headers=headers)
                return
        elif since is not None:
            try:
                if mtime <= email.utils.parsedate_to_datetime(since).timestamp():
                    self.answer(304, headers=headers)
                    return
            except (TypeError, ValueError):
                pass
        content_type = TYPES.get(os.path.splitext(path)[1].lower(), "application/octet-stream")
        self.answer(200, body, headers + [("Content-Type", content_type)])


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(port_file + ".tmp", "w") as f:
    f.write(f"{server.server_address[1]}\n")
os.replace(port_file + ".tmp", port_file)
server.serve_forever()
