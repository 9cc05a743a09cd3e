#!/usr/bin/env python3
"""Loopback ad server for the scenarios and the demo.

Serves the files under --root on 127.0.0.1:--port and appends one line per
request to --log: "<unix time>\t<method>\t<path>\t<status>\t<client pids>"
(the local processes holding the client's end of the connection, comma
separated, "-" when unknown: several test builds share the port). In .txt files
the text @SERVER@ is replaced by this server's own address, so a list can
name pictures on whatever port the server runs. Ends on SIGTERM or SIGINT,
and by itself after --max-seconds.

    python3 ad_server.py --root sample_ads --port 18085 --log requests.log
"""

import argparse
import functools
import io
import http.server
import os
import signal
import sys
import threading
import time

PLACEHOLDER = b"@SERVER@"


def client_pids(port):
    """The processes holding the TCP socket of local port `port` on 127.0.0.1
    (under Wine the wineserver holds it too)."""
    wanted = f"0100007F:{port:04X}"
    inode = None
    try:
        with open("/proc/net/tcp") as f:
            for line in f.readlines()[1:]:
                fields = line.split()
                if fields[1] == wanted:
                    inode = fields[9]
                    break
    except OSError:
        return []
    if not inode or inode == "0":
        return []
    target = f"socket:[{inode}]"
    pids = []
    for pid in sorted(filter(str.isdigit, os.listdir("/proc")), key=int):
        try:
            if any(os.readlink(f"/proc/{pid}/fd/{fd}") == target for fd in os.listdir(f"/proc/{pid}/fd")):
                pids.append(pid)
        except OSError:
            continue
    return pids


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def __init__(self, *args, log_path, base, **kwargs):
        self.log_path = log_path
        self.base = base
        super().__init__(*args, **kwargs)

    def send_head(self):
        path = self.translate_path(self.path)
        if not path.endswith(".txt") or not os.path.isfile(path):
            return super().send_head()
        with open(path, "rb") as f:
            body = f.read().replace(PLACEHOLDER, self.base.encode())
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def log_request(self, code="-", size="-"):
        now = time.time()
        pids = ",".join(client_pids(self.client_address[1])) or "-"
        with open(self.log_path, "a", encoding="utf-8") as f:
            f.write(f"{now:.3f}\t{self.command}\t{self.path}\t{code}\t{pids}\n")

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=18085)
    parser.add_argument("--log", required=True)
    parser.add_argument("--max-seconds", type=float, default=900)
    parser.add_argument("--ready", help="file written once the server listens")
    args = parser.parse_args()

    base = f"http://127.0.0.1:{args.port}"
    handler = functools.partial(Handler, log_path=os.path.abspath(args.log), base=base,
                                directory=os.path.abspath(args.root))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), handler)
    server.daemon_threads = True
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    threading.Thread(target=server.serve_forever, daemon=True).start()
    if args.ready:
        with open(args.ready, "w") as f:
            f.write(base + "\n")
    stop.wait(args.max_seconds)
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
