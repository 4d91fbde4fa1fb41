#!/usr/bin/python3
"""A SWORD repository for the tests, served on 127.0.0.1 from a folder the test built.

Usage: repository_server.py FOLDER PORTFILE [--missing TEXT] [--drop TEXT] [--stall TEXT]
                            [--slow TEXT] [--trickle TEXT] [--fail TEXT] [--set KEY=VALUE]
                            [--tar KIND]
Writes the port it listens on into PORTFILE once ready. A path containing the --missing text
answers 404; one containing the --drop text sends its headers and half its body, then closes
the connection; one containing the --stall text sends its headers and then nothing; one
containing the --slow text sends its body in ten pieces, a fifth of a second apart; one
containing the --trickle text sends 32 bytes a second; one containing the --fail text answers
500. Folders are listed as the repositories' web servers list them, each file with its size,
which is where libsword takes a download's total from.

A hostile repository: with --set or --tar, mods.d.tar.gz is made from the folder's mods.d as it
is asked for. --set KEY=VALUE puts that line into every .conf in it (DataPath=../../x). --tar
KIND adds a hostile member: "climb" (a name that climbs out with ../), "absolute" (an absolute
name), "symlink" (a link out, then a file written through it), "hardlink" (a hard link to a
file outside), "bomb" (a .conf of 64 MiB of zeros) or "shared" (a second module, its DataPath
climbing out, in the module's own .conf).
"""
import html
import functools
import http.server
import io
import os
import sys
import tarfile
import threading
import time


def hostile_archive(folder, edits, kind):
    out = io.BytesIO()
    outside = os.path.dirname(os.path.abspath(folder))
    with tarfile.open(fileobj=out, mode="w:gz", compresslevel=1) as tar:
        mods = os.path.join(folder, "repo", "mods.d")
        for name in sorted(os.listdir(mods)):
            lines = open(os.path.join(mods, name), "rb").read().decode().splitlines()
            for key, value in edits:
                lines = [key + "=" + value if l.startswith(key + "=") else l for l in lines]
            if kind == "shared":
                lines += ["[Other]", "DataPath=../../../../outside/x", "ModDrv=RawLD"]
            add(tar, "mods.d/" + name, ("\n".join(lines) + "\n").encode())
        if kind == "climb":
            add(tar, "mods.d/../../../../escaped-climb.conf", b"[Escaped]\n")
        elif kind == "absolute":
            add(tar, outside + "/escaped-absolute.conf", b"[Escaped]\n")
        elif kind == "symlink":
            link = tarfile.TarInfo("mods.d/link.conf")
            link.type, link.linkname = tarfile.SYMTYPE, outside + "/escaped-link.conf"
            tar.addfile(link)
            add(tar, "mods.d/link.conf", b"[Escaped]\n")
        elif kind == "hardlink":
            link = tarfile.TarInfo("mods.d/hard.conf")
            link.type, link.linkname = tarfile.LNKTYPE, "../../../../escaped-hard.conf"
            tar.addfile(link)
        elif kind == "bomb":
            info = tarfile.TarInfo("mods.d/bomb.conf")
            info.size = 64 << 20
            tar.addfile(info, Zeros(info.size))
    return out.getvalue()


def add(tar, name, data):
    info = tarfile.TarInfo(name)
    info.size = len(data)
    tar.addfile(info, io.BytesIO(data))


class Zeros:
    def __init__(self, size):
        self.left = size

    def read(self, n=-1):
        n = self.left if n < 0 else min(n, self.left)
        self.left -= n
        return bytes(n)


class Handler(http.server.SimpleHTTPRequestHandler):
    faults = {}
    archive = None

    def log_message(self, *args):
        pass

    def do_GET(self):
        for kind, text in self.faults.items():
            if text and text in self.path:
                return getattr(self, "fault_" + kind)()
        if self.archive is not None and self.path.endswith("/mods.d.tar.gz"):
            return self.send_body(self.archive)
        return super().do_GET()

    def send_body(self, body, pieces=1, pause=0.0):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        step = max(1, len(body) // pieces)
        for start in range(0, len(body), step):
            self.wfile.write(body[start:start + step])
            self.wfile.flush()
            time.sleep(pause)

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

    def body(self):
        path = self.translate_path(self.path)
        return open(path, "rb").read() if os.path.isfile(path) else None

    def fault_slow(self):
        body = self.body()
        if body is None:
            return self.send_error(404)
        self.send_body(body, pieces=10, pause=0.2)

    def fault_trickle(self):
        body = self.body()
        if body is None:
            return self.send_error(404)
        self.send_body(body, pieces=max(1, len(body) // 32), pause=1.0)

    def fault_missing(self):
        self.send_error(404)

    def fault_fail(self):
        self.send_error(500)

    def fault_drop(self):
        body = self.body() or b"x" * 4096
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
    faults, edits, kind = {}, [], None
    while args:
        option, value = args[0].lstrip("-"), args[1]
        if option == "set":
            edits.append(tuple(value.split("=", 1)))
        elif option == "tar":
            kind = value
        else:
            faults[option] = value
        args = args[2:]
    Handler.faults = faults
    if edits or kind:
        Handler.archive = hostile_archive(folder, edits, kind)
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    with open(portfile + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(portfile + ".tmp", portfile)
    server.serve_forever()


main()
