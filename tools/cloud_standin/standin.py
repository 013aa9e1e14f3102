#!/usr/bin/env python3
"""Stand-in for the Molnix cloud service, for tests and the demo.

Speaks the protocol of klcr/README.md on 127.0.0.1 only. Users and companies
come from a JSON fixture file (format in klcr/README.md). It keeps what it
receives per company as one pending import, can be told to fail or delay any
endpoint, and shows its state as JSON. Standard library only.

    python3 standin.py --fixture users.json [--max-seconds 600] [--tls]

The first line on stdout is JSON: {"port": N, "baseUrl": "http://127.0.0.1:N"}.
With --tls it speaks HTTPS with a self-signed certificate for 127.0.0.1 made at
start (by the openssl program): the baseUrl is https and "certificate" names the
PEM file, for the clients that are to trust it.
It stops by itself when the parent process goes away, after --max-seconds,
or on POST /admin/shutdown.

Admin endpoints (no authentication; loopback only):
    GET    /admin/state    everything it holds, as JSON
    POST   /admin/faults   {"endpoint": NAME, "status": 500, "delay": 3.0, "count": 1,
                            "body": "<html>", "pieces": 4, "pause": 0.5}
                           NAME is one of the route names below; status 0 or
                           absent gives only the delay; count absent: until cleared;
                           body: answered as it stands in place of the service's
                           answer (status 200 unless one is given); pieces and
                           pause: the answer's body goes out in that many pieces
                           with that many seconds before each but the first;
                           after: true: the delay comes after the work is done
                           (an answer lost to the client's time-out); drop: true:
                           the work is done and the connection closed with no
                           answer; reset: true: the work is done and the
                           connection reset (RST) with no answer; a status with
                           after: true: the work is done and answered with that
                           status (a gateway that lost the service's answer);
                           rate: the request's body is read at that many bytes a
                           second
    DELETE /admin/faults   clears every fault
    POST   /admin/shutdown

Route names: services, login, refresh, customers, token, upload.<kind>
(upload.articles, upload.sie, ...), discard, complete, importState.
"""
import argparse
import base64
import binascii
import json
import os
import re
import secrets
import signal
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, unquote, urlsplit

API_SERVICE = "Api.MolnixMigration"
RECORD_KINDS = (
    "companySettings", "articles", "customers", "suppliers", "deliveryTerms",
    "deliveryMethods", "customerLedgerItems", "supplierLedgerItems",
)
SIE_KIND = "sie"


class HttpError(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status
        self.message = message


class Cloud:
    """Everything the service holds; every method runs under the one lock."""

    def __init__(self, fixture, base_url):
        self.lock = threading.Lock()
        self.users = {u["email"].strip().lower(): u for u in fixture.get("users", [])}
        self.companies = {c["id"]: c for c in fixture.get("companies", [])}
        self.services = dict(fixture.get("services", {}))
        self.services.setdefault("BaseUrl.Molnix", base_url + "/app")
        self.services.setdefault("BaseUrl.HelpKolm", base_url + "/help")
        self.services[API_SERVICE] = base_url + "/api"
        self.access_tokens = {}   # token -> e-mail
        self.refresh_tokens = {}  # token -> e-mail
        self.api_tokens = {}      # token -> company id
        self.pending = {}         # company id -> {kind: records or SIE files}
        self.completed = {}       # company id -> [imports]
        self.completed_ids = {}   # company id -> [the client's ids of the completed imports]
        self.discarded = {}       # company id -> number of discarded imports
        self.faults = {}          # route name -> {"status", "delay", "count"}
        self.requests = []        # [{"method", "route", "status"}]

    # -- authentication
    def issue_tokens(self, email):
        access, refresh = secrets.token_hex(16), secrets.token_hex(16)
        self.access_tokens[access] = email
        self.refresh_tokens[refresh] = email
        return {"accessToken": access, "refreshToken": refresh, "expiresIn": 3600}

    def login(self, body):
        user = self.users.get(str(body.get("email", "")).strip().lower())
        if not user or body.get("password") != user.get("password"):
            raise HttpError(401, "wrong e-mail or password")
        return self.issue_tokens(user["email"].strip().lower())

    def refresh(self, body):
        email = self.refresh_tokens.pop(str(body.get("refreshToken", "")), None)
        if email is None or email != str(body.get("email", "")).strip().lower():
            raise HttpError(401, "unknown refresh token")
        return self.issue_tokens(email)

    def user_of(self, bearer):
        email = self.access_tokens.get(bearer)
        if email is None:
            raise HttpError(401, "unknown access token")
        return self.users[email]

    def company_of(self, bearer):
        company = self.api_tokens.get(bearer)
        if company is None:
            raise HttpError(401, "unknown API token")
        return company

    # -- companies
    def customers(self, bearer):
        user = self.user_of(bearer)
        entries = [self.companies[c] for c in user.get("companies", []) if c in self.companies]
        if not entries:
            raise HttpError(404, "the user has no companies")
        return {
            "firstName": user.get("firstName", ""),
            "lastName": user.get("lastName", ""),
            "customers": [{
                "registrationNumber": c.get("registrationNumber", ""),
                "name": c.get("name", ""),
                "id": c["id"],
                "countryId": c.get("countryId", "SE"),
                "status": c.get("status", 1),
                "number": c.get("number", 0),
            } for c in entries],
        }

    def token(self, bearer, company_id):
        user = self.user_of(bearer)
        if company_id not in self.companies:
            raise HttpError(404, "unknown company")
        if company_id not in user.get("companies", []):
            raise HttpError(403, "the user may not reach this company")
        token = secrets.token_hex(16)
        self.api_tokens[token] = company_id
        return {"apiToken": token}

    # -- the import
    def upload(self, bearer, kind, body):
        company = self.company_of(bearer)
        if kind in RECORD_KINDS:
            records = body.get("records")
            if not isinstance(records, list) or not all(isinstance(r, dict) for r in records):
                raise HttpError(400, "records must be a list of objects")
            self.pending.setdefault(company, {})[kind] = records
            return {"received": len(records)}
        if kind == SIE_KIND:
            files = {"currentYear": None, "previousYear": None}
            for year in files:
                entry = body.get(year)
                if entry is None:
                    continue
                try:
                    content = base64.b64decode(entry["content"], validate=True)
                except (KeyError, TypeError, binascii.Error):
                    raise HttpError(400, year + " is not a base64 file")
                files[year] = {"fileName": entry.get("fileName", ""), "size": len(content),
                               "contentBase64": entry["content"]}
            if files["currentYear"] is None:
                raise HttpError(400, "the current year's file is missing")
            self.pending.setdefault(company, {})[SIE_KIND] = files
            return {"received": sum(f is not None for f in files.values())}
        raise HttpError(404, "unknown upload kind")

    def discard(self, bearer):
        company = self.company_of(bearer)
        dropped = self.pending.pop(company, None) is not None
        if dropped:
            self.discarded[company] = self.discarded.get(company, 0) + 1
        return {"discarded": dropped}

    def complete(self, bearer, body):
        company = self.company_of(bearer)
        import_id = body.get("importId")
        ids = self.completed_ids.setdefault(company, [])
        if import_id is not None and import_id in ids:
            return {"completed": True}  # once is enough: never a second import
        pending = self.pending.pop(company, None)
        if pending is None:
            raise HttpError(409, "nothing to complete")
        self.completed.setdefault(company, []).append(pending)
        if import_id is not None:
            ids.append(import_id)
        return {"completed": True}

    def import_state(self, bearer, import_id):
        company = self.company_of(bearer)
        return {"completed": import_id in self.completed_ids.get(company, [])}

    def state(self):
        return {
            "companies": {cid: {
                "name": c.get("name", ""),
                "registrationNumber": c.get("registrationNumber", ""),
                "pending": self.pending.get(cid),
                "completed": self.completed.get(cid, []),
                "completedIds": self.completed_ids.get(cid, []),
                "discarded": self.discarded.get(cid, 0),
            } for cid, c in self.companies.items()},
            "faults": self.faults,
            "requests": self.requests,
        }


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "MolnixStandin/1"
    cloud = None  # set by main
    verbose = False

    def log_message(self, fmt, *args):
        if self.verbose:
            super().log_message(fmt, *args)

    def do_GET(self):
        self.dispatch("GET")

    def do_POST(self):
        self.dispatch("POST")

    def do_PUT(self):
        self.dispatch("PUT")

    def do_DELETE(self):
        self.dispatch("DELETE")

    def read_json(self):
        """The request's body as a JSON object, read once."""
        if self.body is None:
            self.body = self.read_body()
        return self.body

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        rate = self.fault["rate"] if self.fault else 0
        if rate > 0:  # a slow, steady line: a tenth of the rate every tenth of a second
            raw = bytearray()
            while len(raw) < length:
                piece = self.rfile.read(min(length - len(raw), max(1, int(rate / 10))))
                if not piece:
                    break  # the client gave up
                raw += piece
                time.sleep(0.1)
            raw = bytes(raw)
        else:
            raw = self.rfile.read(length) if length else b""
        if not raw:
            return {}
        try:
            body = json.loads(raw.decode("utf-8"))
        except (UnicodeDecodeError, ValueError):
            raise HttpError(400, "the body is not UTF-8 JSON")
        if not isinstance(body, dict):
            raise HttpError(400, "the body is not a JSON object")
        return body

    def bearer(self):
        value = self.headers.get("Authorization", "")
        return value[len("Bearer "):] if value.startswith("Bearer ") else ""

    def route(self, method, path):
        """(route name, handler) of a request; raises 404 for an unknown one."""
        cloud = self.cloud
        m = re.fullmatch(r"/services/([^/]+)", path)
        if method == "GET" and m:
            name = unquote(m.group(1))

            def lookup():
                if name not in cloud.services:
                    raise HttpError(404, "unknown service")
                return {"uri": cloud.services[name]}
            return "services", lookup
        if method == "POST" and path == "/api/auth/login":
            return "login", lambda: cloud.login(self.read_json())
        if method == "POST" and path == "/api/auth/refresh":
            return "refresh", lambda: cloud.refresh(self.read_json())
        if method == "GET" and path == "/api/customers":
            return "customers", lambda: cloud.customers(self.bearer())
        m = re.fullmatch(r"/api/customers/([^/]+)/token", path)
        if method == "POST" and m:
            return "token", lambda: cloud.token(self.bearer(), unquote(m.group(1)))
        m = re.fullmatch(r"/api/migration/([A-Za-z]+)", path)
        if method == "PUT" and m:
            return "upload." + m.group(1), lambda: cloud.upload(self.bearer(), m.group(1), self.read_json())
        if method == "POST" and path == "/api/migration/discard":
            return "discard", lambda: cloud.discard(self.bearer())
        if method == "POST" and path == "/api/migration/complete":
            return "complete", lambda: cloud.complete(self.bearer(), self.read_json())
        m = re.fullmatch(r"/api/migration/imports/([^/]+)", path)
        if method == "GET" and m:
            return "importState", lambda: cloud.import_state(self.bearer(), unquote(m.group(1)))
        if path == "/admin/state" and method == "GET":
            return "admin", cloud.state
        if path == "/admin/faults" and method == "POST":
            return "admin", lambda: self.set_fault(self.read_json())
        if path == "/admin/faults" and method == "DELETE":
            return "admin", lambda: cloud.faults.clear() or {}
        if path == "/admin/shutdown" and method == "POST":
            return "admin", self.shut_down
        raise HttpError(404, "no such endpoint")

    def set_fault(self, body):
        name = body.get("endpoint")
        if not isinstance(name, str) or not name:
            raise HttpError(400, "endpoint is required")
        raw = body.get("body")
        if raw is not None and not isinstance(raw, str):
            raise HttpError(400, "body must be a text")
        self.cloud.faults[name] = {"status": int(body.get("status") or 0),
                                   "delay": float(body.get("delay") or 0),
                                   "count": body.get("count"),
                                   "body": raw,
                                   "pieces": max(1, int(body.get("pieces") or 1)),
                                   "pause": float(body.get("pause") or 0),
                                   "after": bool(body.get("after")),
                                   "drop": bool(body.get("drop")),
                                   "reset": bool(body.get("reset")),
                                   "rate": float(body.get("rate") or 0)}
        return self.cloud.faults[name]

    def shut_down(self):
        threading.Thread(target=self.server.shutdown, daemon=True).start()
        return {}

    def take_fault(self, name):
        fault = self.cloud.faults.get(name)
        if fault is None:
            return None
        if fault["count"] is not None:
            fault["count"] -= 1
            if fault["count"] <= 0:
                del self.cloud.faults[name]
        return dict(fault)

    def dispatch(self, method):
        path = urlsplit(self.path).path
        name = "unknown"
        recorded = False
        fault = self.fault = self.body = None
        try:
            name, handler = self.route(method, path)
            with self.cloud.lock:
                fault = self.fault = self.take_fault(name) if name != "admin" else None
            if fault and fault["delay"] > 0 and not fault["after"]:
                time.sleep(fault["delay"])
            if fault and fault["body"] is not None:
                status, data = fault["status"] or 200, fault["body"].encode("utf-8")
            else:
                if fault and fault["status"] and not fault["after"]:
                    raise HttpError(fault["status"], "injected fault")
                if method in ("POST", "PUT"):
                    self.read_json()  # before the lock: a slow line holds up no one else
                with self.cloud.lock:
                    answer = handler()
                status, data = 200, None
                if fault and fault["status"] and fault["after"]:
                    status, answer = fault["status"], {"error": "injected fault after the work"}
            lost = fault and (fault["drop"] or fault["reset"])
            if fault and (lost or fault["after"] and fault["delay"] > 0):
                # The work is done and is shown at once, whatever becomes of its answer.
                recorded = True
                with self.cloud.lock:
                    self.cloud.requests.append({"method": method, "route": name,
                                                "status": 0 if lost else status})
            if fault and fault["delay"] > 0 and fault["after"]:
                time.sleep(fault["delay"])  # the answer comes late or never
            if fault and fault["reset"]:
                # A linger of zero makes the close a reset, as a broken line or a
                # proxy that gives up does.
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.connection.close()
                self.close_connection = True
                return
            if fault and fault["drop"]:
                self.close_connection = True  # the connection closes with no answer
                return
        except HttpError as error:
            status, answer, data = error.status, {"error": error.message}, None
        if name != "admin" and not recorded:
            with self.cloud.lock:
                self.cloud.requests.append({"method": method, "route": name, "status": status})
        if data is None:
            data = json.dumps(answer, ensure_ascii=False).encode("utf-8")
        try:
            self.send_response(status)
            self.send_header("Content-Type", "application/json; charset=utf-8")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            pieces = fault["pieces"] if fault else 1
            size = max(1, -(-len(data) // pieces))
            for i in range(0, len(data), size):
                if i and fault["pause"] > 0:
                    time.sleep(fault["pause"])
                self.wfile.write(data[i:i + size])
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up waiting (a delay longer than its time-out)


def watch(server, parent_pid, deadline):
    """Stops the server when its parent is gone or the time is up."""
    while time.monotonic() < deadline:
        if os.getppid() != parent_pid:
            break
        time.sleep(0.25)
    server.shutdown()


def self_signed_certificate(folder):
    """A certificate and key for 127.0.0.1 that no authority has signed."""
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1"],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--fixture", required=True, help="JSON file of users, companies and services")
    parser.add_argument("--max-seconds", type=float, default=600.0, help="stop after this long")
    parser.add_argument("--port", type=int, default=0, help="0: any free port")
    parser.add_argument("--verbose", action="store_true", help="log every request on stderr")
    parser.add_argument("--tls", action="store_true", help="HTTPS with a self-signed certificate")
    args = parser.parse_args()
    with open(args.fixture, encoding="utf-8") as f:
        fixture = json.load(f)

    with tempfile.TemporaryDirectory(prefix="cloud-standin-") as folder:
        server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
        # Stopped with SIGTERM, it still leaves its folder clean. The handler only
        # asks the server to stop: an exception raised there can land in a callback
        # that swallows it (a weak reference's), and the stand-in would run on.
        signal.signal(signal.SIGTERM,
                      lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
        server.daemon_threads = True
        port = server.server_address[1]
        announced = {"port": port, "baseUrl": "%s://127.0.0.1:%d" % ("https" if args.tls else "http", port)}
        if args.tls:
            cert, key = self_signed_certificate(folder)
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            # A client that refuses the certificate fails the handshake in accept(); the
            # server drops that connection and goes on.
            server.socket = context.wrap_socket(server.socket, server_side=True)
            announced["certificate"] = cert
        Handler.cloud = Cloud(fixture, announced["baseUrl"])
        Handler.verbose = args.verbose
        threading.Thread(target=watch, args=(server, os.getppid(), time.monotonic() + args.max_seconds),
                         daemon=True).start()
        print(json.dumps(announced), flush=True)
        server.serve_forever(poll_interval=0.25)
        server.server_close()


if __name__ == "__main__":
    sys.exit(main())
