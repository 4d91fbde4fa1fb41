#!/usr/bin/python3
"""A SWORD repository for the tests, served on 127.0.0.1 from a folder the test built.

Usage: repository_server.py FOLDER PORTFILE [--missing TEXT] [--drop TEXT] [--stall TEXT]
                            [--slow TEXT]
Writes the port it listens on into PORTFILE once ready. A path containing the --missing text
answers 404; one containing the --drop text sends its headers and half its body, then closes
the connection; one containing the --stall text sends its headers and then nothing; one
containing the --slow text sends its body in ten pieces, a fifth of a second apart. Folders
are listed as the repositories' web servers list them, each file with its size, which is
where libsword takes a download's total from.
"""
import html
import functools
import http.server
import os
import sys
import threading
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    faults = {}

    def log_message(self, *args):
        pass

    def do_GET(self):
        for kind, text in self.faults.items():
            if text and text in self.path:
                return getattr(self, "fault_" + kind)()
        return super().do_GET()

    def list_directory(self, path):
        rows = []
        for name in sorted(os.listdir(path)):
            full = os.path.join(path, name)
            link = name + "/" if os.path.isdir(full) else name
            size = "-" if os.path.isdir(full) else str(os.path.getsize(full))
            rows.append('<tr><td><a href="%s">%s</a></td><td>-</td><td>%s</td></tr>'
                        % (html.escape(link), html.escape(link), size))
        body = ("<html><body><table>%s</table></body></html>" % "".join(rows)).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        return None

    def fault_slow(self):
        path = self.translate_path(self.path)
        if not os.path.isfile(path):
            return self.send_error(404)
        body = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        step = max(1, len(body) // 10)
        for start in range(0, len(body), step):
            self.wfile.write(body[start:start + step])
            self.wfile.flush()
            time.sleep(0.2)

    def fault_missing(self):
        self.send_error(404)

    def fault_drop(self):
        path = self.translate_path(self.path)
        body = open(path, "rb").read() if os.path.isfile(path) else b"x" * 4096
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[: len(body) // 2])
        self.wfile.flush()
        self.close_connection = True
        self.connection.shutdown(2)

    def fault_stall(self):
        self.send_response(200)
        self.send_header("Content-Length", "100000")
        self.end_headers()
        self.wfile.flush()
        time.sleep(600)


def end_with_parent():
    # A test that crashed cannot stop its server: the server stops itself.
    parent = os.getppid()
    while os.getppid() == parent:
        time.sleep(0.5)
    os._exit(0)


def main():
    threading.Thread(target=end_with_parent, daemon=True).start()
    folder, portfile = sys.argv[1], sys.argv[2]
    args = sys.argv[3:]
    faults = {}
    while args:
        faults[args[0].lstrip("-")] = args[1]
        args = args[2:]
    Handler.faults = faults
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    with open(portfile + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(portfile + ".tmp", portfile)
    server.serve_forever()


main()
