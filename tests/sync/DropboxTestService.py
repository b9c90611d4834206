#!/usr/bin/env python3
"""A local stand-in for the file service, for the tests only.

Answers the four requests of the client on 127.0.0.1: GET /0/token, GET /0/metadata/dropbox/...,
GET /0/files/dropbox/... and POST /0/account. Plain HTTP and TLS arrive on the same port: a
connection whose first byte opens a TLS handshake is wrapped with a certificate signed by a
throwaway certificate authority made at start (its PEM file is announced on stdout).

Every request must carry a valid OAuth 1.0 HMAC-SHA1 signature (RFC 5849), recomputed here from
the consumer secret and the token secret; a wrong one is answered with 401. Metadata and file
requests also need a token issued by /0/token.

Usage: DropboxTestService.py --root DIR --state DIR [--fail PATH=STATUS ...]
Prints "READY <port> <ca-file>" once listening; exits when stdin closes.
"""

import argparse
import base64
import hashlib
import hmac
import http.server
import json
import os
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

CONSUMER_KEY = "qk4tbw8ne2xzv0c"
CONSUMER_SECRET = "m3hd9sa1pyl7jt6"


def encode(text):
    return urllib.parse.quote(text, safe="-._~")


def make_certificates(state):
    ca_key = os.path.join(state, "ca-key.pem")
    ca_cert = os.path.join(state, "ca.pem")
    key = os.path.join(state, "server-key.pem")
    request = os.path.join(state, "server.csr")
    cert = os.path.join(state, "server.pem")
    extensions = os.path.join(state, "server.ext")
    curve = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run = lambda *args: subprocess.run(["openssl", *args], check=True, capture_output=True)
    run("req", "-x509", *curve, "-keyout", ca_key, "-out", ca_cert, "-days", "1",
        "-subj", "/CN=Test service authority", "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("req", *curve, "-keyout", key, "-out", request, "-subj", "/CN=127.0.0.1")
    with open(extensions, "w") as handle:
        handle.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n")
    run("x509", "-req", "-in", request, "-CA", ca_cert, "-CAkey", ca_key, "-CAcreateserial",
        "-out", cert, "-days", "1", "-extfile", extensions)
    return ca_cert, cert, key


class State:
    def __init__(self, root, failures, log_path):
        self.root = root
        self.failures = failures
        self.log_path = log_path
        self.lock = threading.Lock()
        self.accounts = {"user@example.org": "correct horse"}
        self.tokens = {}

    def log(self, line):
        with self.lock, open(self.log_path, "a") as handle:
            handle.write(line + "\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def get_request(self):
        connection, address = self.socket.accept()
        first = connection.recv(1, socket.MSG_PEEK)
        if first == b"\x16":
            connection = self.tls.wrap_socket(connection, server_side=True)
        return connection, address


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    @property
    def state(self):
        return self.server.state

    def reply(self, status, body, content_type="application/json"):
        data = body if isinstance(body, bytes) else json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def parameters(self, query, body):
        pairs = urllib.parse.parse_qsl(query, keep_blank_values=True)
        pairs += urllib.parse.parse_qsl(body, keep_blank_values=True)
        return pairs

    def verify(self, method, raw_path, pairs):
        """Returns the token's secret owner (email) or an error text."""
        values = dict(pairs)
        if values.get("oauth_consumer_key") != CONSUMER_KEY:
            return None, "Unknown consumer."
        if values.get("oauth_signature_method") != "HMAC-SHA1":
            return None, "Unsupported signature method."
        token = values.get("oauth_token")
        token_secret = ""
        owner = None
        if token is not None:
            if token not in self.state.tokens:
                return None, "Unknown token."
            owner, token_secret = self.state.tokens[token]
        scheme = "https" if isinstance(self.connection, ssl.SSLSocket) else "http"
        base_url = "%s://%s%s" % (scheme, self.headers["Host"], raw_path)
        normalized = "&".join(
            "%s=%s" % (encode(name), encode(value))
            for name, value in sorted((n, v) for n, v in pairs if n != "oauth_signature"))
        base = "&".join([method, encode(base_url), encode(normalized)])
        key = (encode(CONSUMER_SECRET) + "&" + encode(token_secret)).encode()
        expected = base64.b64encode(hmac.new(key, base.encode(), hashlib.sha1).digest()).decode()
        if not hmac.compare_digest(expected, values.get("oauth_signature", "")):
            return None, "Invalid signature."
        return owner, None

    def handle_request(self, method):
        raw_path, _, query = self.path.partition("?")
        body = ""
        if method == "POST":
            length = int(self.headers.get("Content-Length", "0"))
            body = self.rfile.read(length).decode()
        pairs = self.parameters(query, body)
        scheme = "https" if isinstance(self.connection, ssl.SSLSocket) else "http"
        self.state.log("%s %s %s %s" % (method, scheme, raw_path, json.dumps(dict(pairs))))

        if raw_path in self.state.failures:
            return self.reply(self.state.failures[raw_path], {"error": "Injected failure."})
        owner, problem = self.verify(method, raw_path, pairs)
        if problem:
            return self.reply(401, {"error": problem})
        values = dict(pairs)
        path = urllib.parse.unquote(raw_path)

        if method == "GET" and path == "/0/token":
            if scheme != "https":
                return self.reply(403, {"error": "Use https."})
            if self.state.accounts.get(values.get("email")) != values.get("password"):
                return self.reply(401, {"error": "Invalid email or password."})
            token = "token-%d" % len(self.state.tokens)
            secret = "secret/%d+&" % len(self.state.tokens)
            self.state.tokens[token] = (values["email"], secret)
            return self.reply(200, {"token": token, "secret": secret})
        if method == "POST" and path == "/0/account":
            email = values.get("email", "")
            if email in self.state.accounts:
                return self.reply(400, {"error": {"email": "That email is already taken."}})
            self.state.accounts[email] = values.get("password", "")
            return self.reply(200, {})
        if owner is None:
            return self.reply(401, {"error": "Access token required."})
        if method == "GET" and path.startswith("/0/metadata/dropbox"):
            return self.metadata(path[len("/0/metadata/dropbox"):] or "/")
        if method == "GET" and path.startswith("/0/files/dropbox/"):
            if scheme != "https":
                return self.reply(403, {"error": "Use https."})
            return self.file(path[len("/0/files/dropbox"):])
        return self.reply(404, {"error": "Unknown call."})

    def describe(self, service_path, local):
        info = os.stat(local)
        directory = os.path.isdir(local)
        modified = time.strftime("%a, %d %b %Y %H:%M:%S +0000", time.gmtime(info.st_mtime))
        return {"path": service_path, "is_dir": directory, "bytes": 0 if directory else info.st_size,
                "modified": modified, "root": "dropbox", "thumb_exists": False,
                "icon": "folder" if directory else "page_white", "revision": 1,
                "size": "%d bytes" % info.st_size, "hash": "h%d" % int(info.st_mtime)}

    def local_path(self, service_path):
        local = os.path.normpath(os.path.join(self.state.root, service_path.lstrip("/")))
        if not (local + "/").startswith(self.state.root.rstrip("/") + "/"):
            return None
        return local

    def metadata(self, service_path):
        local = self.local_path(service_path)
        if local is None or not os.path.exists(local):
            return self.reply(404, {"error": "Path '%s' not found" % service_path})
        answer = self.describe(service_path, local)
        if answer["is_dir"]:
            answer["contents"] = [
                self.describe(service_path.rstrip("/") + "/" + name, os.path.join(local, name))
                for name in sorted(os.listdir(local))]
        return self.reply(200, answer)

    def file(self, service_path):
        local = self.local_path(service_path)
        if local is None or not os.path.isfile(local):
            return self.reply(404, {"error": "File not found"})
        with open(local, "rb") as handle:
            data = handle.read()
        return self.reply(200, data, "application/octet-stream")

    def do_GET(self):
        self.handle_request("GET")

    def do_POST(self):
        self.handle_request("POST")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--state", required=True)
    parser.add_argument("--fail", action="append", default=[])
    arguments = parser.parse_args()
    failures = {}
    for rule in arguments.fail:
        path, _, status = rule.rpartition("=")
        failures[path] = int(status)

    ca_cert, cert, key = make_certificates(arguments.state)
    server = Server(("127.0.0.1", 0), Handler)
    server.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    server.tls.load_cert_chain(cert, key)
    server.state = State(os.path.realpath(arguments.root), failures,
                         os.path.join(arguments.state, "requests.log"))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("READY %d %s" % (server.server_address[1], ca_cert), flush=True)
    # The test holds stdin open; when it goes away, so does the service.
    sys.stdin.read()
    os._exit(0)


if __name__ == "__main__":
    main()
