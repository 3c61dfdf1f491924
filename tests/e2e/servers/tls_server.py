#!/usr/bin/env python3
"""HTTPS servers of the fetch test, on 127.0.0.2 (never Norvane's 127.0.0.1:80).

  tls_server.py <folder>

Makes, with openssl, a self-signed certificate and a throw-away authority
with a certificate it signed, then serves HTTPS with each on a free port:
  <folder>/ports     "<self-signed port> <signed port>\n", once listening
  <folder>/ca.der    the authority, for the test to trust
Paths: /ok answers "secure"; /to-http?<url> redirects to <url>.
Ends when <folder>/stop appears, or after two minutes. It closes every file
it was handed first: started through Wine it inherits the runner's lock on
the shared e2e resources, which it must not keep.
"""
import http.server
import os
import shutil
import ssl
import subprocess
import sys
import threading
import time

ADDRESS = "127.0.0.2"


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates(folder):
    ext = os.path.join(folder, "ext.cnf")
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:%s,DNS:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"
                % (ADDRESS, ADDRESS))
    p = lambda name: os.path.join(folder, name)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=" + ADDRESS,
            "-addext", "subjectAltName=IP:%s,DNS:%s" % (ADDRESS, ADDRESS),
            "-keyout", p("self.key"), "-out", p("self.pem"))
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Norvane test authority",
            "-keyout", p("ca.key"), "-out", p("ca.pem"))
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + ADDRESS,
            "-keyout", p("signed.key"), "-out", p("signed.csr"))
    openssl("x509", "-req", "-in", p("signed.csr"), "-CA", p("ca.pem"), "-CAkey", p("ca.key"),
            "-CAcreateserial", "-days", "2", "-extfile", ext, "-out", p("signed.pem"))
    openssl("x509", "-in", p("ca.pem"), "-outform", "DER", "-out", p("ca.der"))


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/to-http?"):
            self.send_response(302)
            self.send_header("Location", self.path.split("?", 1)[1])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        body = b"secure"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(folder, cert):
    server = http.server.ThreadingHTTPServer((ADDRESS, 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, cert + ".pem"), os.path.join(folder, cert + ".key"))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    os.closerange(3, 4096)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    make_certificates(folder)
    ports = "%d %d\n" % (serve(folder, "self"), serve(folder, "signed"))
    with open(os.path.join(folder, "ports.tmp"), "w") as f:
        f.write(ports)
    os.replace(os.path.join(folder, "ports.tmp"), os.path.join(folder, "ports"))
    end = time.time() + 120
    while time.time() < end and not os.path.exists(os.path.join(folder, "stop")):
        time.sleep(0.2)
    shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
