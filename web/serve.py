#!/usr/bin/python3
"""Serves the browser build's site folder on 127.0.0.1, as a static host
should serve it (`make web-run`):

  serve.py SITE_DIR PORT

- gzip where it helps: a file is sent compressed to a browser that accepts
  it when that saves at least a tenth (the code does, by about 60%; PNG art
  does not);
- every answer says "Cache-Control: no-cache" with an ETag: the browser
  asks again each time and gets a short 304 while the file is unchanged, so
  a new build is seen at once and the service worker (sw.js), not the HTTP
  cache, decides what is kept for offline play;
- the types browsers insist on: application/wasm for the code and
  application/manifest+json for the manifest.
"""
import gzip
import hashlib
import http.server
import os
import sys

TYPES = {".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
         ".data": "application/octet-stream", ".webmanifest": "application/manifest+json",
         ".png": "image/png", ".svg": "image/svg+xml"}
WORTH_COMPRESSING = 0.9  # the compressed size at most this share of the file


class SiteHandler(http.server.BaseHTTPRequestHandler):
    site = "."
    cache = {}  # path -> (modified time, body, gzipped body or None, etag)

    def load(self, path):
        modified = os.stat(path).st_mtime_ns
        kept = self.cache.get(path)
        if kept and kept[0] == modified:
            return kept
        with open(path, "rb") as fh:
            body = fh.read()
        packed = gzip.compress(body, 9, mtime=0)
        kept = (modified, body, packed if len(packed) <= WORTH_COMPRESSING * len(body) else None,
                '"%s"' % hashlib.sha1(body).hexdigest())
        self.cache[path] = kept
        return kept

    def do_GET(self):
        name = self.path.split("?", 1)[0].lstrip("/") or "index.html"
        path = os.path.realpath(os.path.join(self.site, name))
        kind = TYPES.get(os.path.splitext(path)[1])
        if not path.startswith(self.site + os.sep) or not os.path.isfile(path) or not kind:
            self.send_error(404)
            return
        _, body, packed, etag = self.load(path)
        if self.headers.get("If-None-Match") == etag:
            self.send_response(304)
            self.send_header("ETag", etag)
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            return
        gzipped = packed is not None and "gzip" in self.headers.get("Accept-Encoding", "")
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(packed if gzipped else body)))
        self.send_header("Cache-Control", "no-cache")
        self.send_header("ETag", etag)
        if packed is not None:
            self.send_header("Vary", "Accept-Encoding")
        if gzipped:
            self.send_header("Content-Encoding", "gzip")
        self.end_headers()
        self.wfile.write(packed if gzipped else body)


def main(site, port):
    SiteHandler.site = os.path.realpath(site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(port)), SiteHandler)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
