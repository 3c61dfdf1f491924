#!/usr/bin/env python3
"""The test sites of the real-browser run, all behind one local HTTP proxy.

/set?b=NAME on a site sets two persistent cookies there (one for the host,
one for its domain) and sends the browser on to the next site; /check?b=NAME
records the cookies the browser sent to each site. Every request is appended
to the log as "phase browser host cookies". Prints its port, then serves
until killed.
"""
import http.server
import sys
import urllib.parse

SITES = ["news.test", "notnews.test", "ads.test", "www.bank.test"]
LOG = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        host = (url.hostname or self.headers.get("Host", "")).split(":")[0]
        phase = url.path.strip("/")
        browser = urllib.parse.parse_qs(url.query).get("b", ["?"])[0]
        if host not in SITES or phase not in ("set", "check"):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        cookies = self.headers.get("Cookie", "")
        with open(LOG, "a") as log:
            log.write(f"{phase} {browser} {host} {cookies}\n")
        at = SITES.index(host)
        self.send_response(302 if at + 1 < len(SITES) else 200)
        if phase == "set":
            name = host.split(".")[-2]
            domain = host.split(".", 1)[1] if host.count(".") > 1 else host
            self.send_header("Set-Cookie", f"{name}_host=1; Max-Age=2592000; Path=/")
            self.send_header("Set-Cookie", f"{name}_domain=1; Domain={domain}; Max-Age=2592000; Path=/")
        if at + 1 < len(SITES):
            self.send_header("Location", f"http://{SITES[at + 1]}/{phase}?b={browser}")
        body = b"<html><body>done</body></html>"
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
