"""News pages with five blocked ads each, for the real browsers' ad test.

ad_pages.py <log> <chain.pem> <key.pem>: serves plain HTTP on 127.0.0.3:8080
and HTTPS on 127.0.0.3:8443 (the page's certificate, then the test CA's),
prints "ready". Pages:
  /https   an HTTPS page with HTTPS image ads
  /mixed   an HTTPS page with plain-HTTP image, script and frame ads
  /http    a plain-HTTP page with plain-HTTP ads
Each page reports, after its load event, how long the load took and how many
ads failed, to /result (a line "<page> <load ms> <failed> <of>" in the log).
"""
import http.server
import ssl
import sys
import threading
from urllib.parse import parse_qs, urlparse

LOG, CERT, KEY = sys.argv[1:4]
ADS = 5


def ads(page):
    if page == "https":
        return [f'<img src="https://ad{i}.example/banner{i}.gif">' for i in range(1, ADS + 1)]
    if page == "mixed":
        return ['<img src="http://ad1.example/banner.gif">', '<img src="http://ad2.example/banner.gif?ord=2">',
                '<script src="http://ad3.example/show.js"></script>', '<script src="http://ad4.example/ad.js"></script>',
                '<iframe src="http://ad5.example/frame.htm"></iframe>']
    return [f'<img src="http://ad{i}.example/banner{i}.gif">' for i in range(1, ADS + 1)]


# An ad fails when its element reports an error, or (a frame, which never
# does) when nothing of Norvane's replacement reached it.
SCRIPT = """<script>
// A set: a browser may report one blocked element twice.
const failed = new Set();
// Errors of elements do not bubble, but pass the window while capturing.
window.addEventListener('error', e => { if (e.target !== window) failed.add(e.target); }, true);
window.addEventListener('load', () => {
  const ms = Math.round(performance.getEntriesByType('navigation')[0].loadEventStart);
  for (const f of document.querySelectorAll('iframe')) {
    try { if (!f.contentDocument || !f.contentDocument.body.textContent.includes('Norvane')) failed.add(f); }
    catch (e) { failed.add(f); }
  }
  navigator.sendBeacon('/result?page=PAGE&ms=' + ms + '&failed=' + failed.size + '&of=TOTAL');
});
</script>"""


class Pages(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urlparse(self.path)
        page = url.path.strip("/")
        if page not in ("https", "mixed", "http"):
            return self.reply(404, b"")
        items = ads(page)
        head = SCRIPT.replace("PAGE", page).replace("TOTAL", str(len(items)))
        body = f"<html><head>{head}</head><body><h1>News</h1>{''.join(items)}</body></html>".encode()
        self.reply(200, body)

    def do_POST(self):
        url = urlparse(self.path)
        q = {k: v[0] for k, v in parse_qs(url.query).items()}
        if url.path == "/result":
            with open(LOG, "a") as log:
                log.write(f"{q.get('page')} {q.get('ms')} {q.get('failed')} {q.get('of')}\n")
        self.reply(204, b"")

    def reply(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


plain = http.server.ThreadingHTTPServer(("127.0.0.3", 8080), Pages)
secure = http.server.ThreadingHTTPServer(("127.0.0.3", 8443), Pages)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(CERT, KEY)
secure.socket = context.wrap_socket(secure.socket, server_side=True)
for server in (plain, secure):
    threading.Thread(target=server.serve_forever, daemon=True).start()
print("ready", flush=True)
threading.Event().wait()
