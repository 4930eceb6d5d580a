#!/usr/bin/env python3
"""Records what a real Dovecot sends as seeds for imap_reply_fuzz.

Starts Dovecot (as root, tests/fixtures/dovecot.conf) on loopback, delivers the
sample letters and a few letters whose subject, names and file names hold
quotes and backslashes, and saves the server's bytes for each command of a
session (greeting, SELECT, FETCH ... FULL, BODY[n], RFC822.HEADER/TEXT, LIST,
SEARCH) as one seed file each in tests/fuzz/seeds/imap/.
    python3 tests/fuzz/record_imap_seeds.py
"""
import os
import pathlib
import pwd
import grp
import shutil
import socket
import subprocess
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
OUT = HERE / "seeds" / "imap"

QUOTED = (
    'From: "Wang \\"Xiao\\" Li" <wang@example.cn>\r\n'
    'To: "back\\\\slash" <li@example.cn>\r\n'
    'Subject: Re: "x" and \\ y\r\n'
    'MIME-Version: 1.0\r\n'
    'Content-Type: multipart/mixed; boundary="b"\r\n\r\n'
    '--b\r\nContent-Type: text/plain\r\n\r\nA00012 OK done\r\n'
    '--b\r\nContent-Type: application/octet-stream; name="a \\"q\\".bin"\r\n'
    'Content-Disposition: attachment; filename="c:\\\\dir\\\\a.bin"\r\n'
    'Content-Transfer-Encoding: base64\r\n\r\nAAEC\r\n--b--\r\n'
)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def deliver(maildir, letters, nobody, nogroup):
    for sub in ("", "cur", "new", "tmp"):
        (maildir / sub).mkdir(parents=True, exist_ok=True)
        os.chown(maildir / sub, nobody, nogroup)
    for i, text in enumerate(letters):
        path = maildir / "new" / f"1000000000.{i}.kestrel"
        path.write_bytes(text)
        os.chown(path, nobody, nogroup)


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def read_until(sock, tag):
    data = b""
    end = tag.encode() + b" "
    while True:
        chunk = sock.recv(65536)
        if not chunk:
            return data
        data += chunk
        lines = data.split(b"\r\n")
        if any(line.startswith(end) for line in lines):
            return data


def main():
    directory = pathlib.Path(tempfile.mkdtemp(prefix="kestrel-seeds-"))
    os.chmod(directory, 0o755)
    nobody = pwd.getpwnam("nobody").pw_uid
    nogroup = grp.getgrnam("nogroup").gr_gid
    (directory / "run" / "state").mkdir(parents=True)
    (directory / "mail").mkdir()
    os.chown(directory / "mail", nobody, nogroup)
    (directory / "passwd").write_text("tester:{PLAIN}secret\n")
    port = free_port()
    config = (ROOT / "tests" / "fixtures" / "dovecot.conf").read_text()
    config = config.replace("@DIR@", str(directory)).replace("@PORT@", str(port))
    (directory / "dovecot.conf").write_text(config)
    letters = [crlf(p.read_bytes()) for p in sorted((ROOT / "tests" / "fixtures" / "letters").iterdir())]
    letters.append(QUOTED.encode())
    deliver(directory / "mail" / "tester", letters, nobody, nogroup)
    subprocess.run(["/usr/sbin/dovecot", "-c", str(directory / "dovecot.conf")], check=True)
    try:
        for _ in range(200):
            try:
                sock = socket.create_connection(("127.0.0.1", port))
                break
            except OSError:
                time.sleep(0.05)
        commands = [
            "LOGIN tester secret", "SELECT INBOX", "FETCH 1:* FULL", "FETCH 1:* ALL",
            "FETCH 1 (RFC822.HEADER RFC822.TEXT)", "FETCH 2 BODY[2]", "FETCH 3 BODY[1]",
            "FETCH 3 BODY[2]", 'LIST "" "*"', "SEARCH ALL", "STORE 1 +FLAGS (\\Seen)", "LOGOUT",
        ]
        OUT.mkdir(parents=True, exist_ok=True)
        greeting = sock.recv(65536)
        (OUT / "greeting").write_bytes(greeting)
        for n, command in enumerate(commands):
            tag = f"A{n:05d}"
            sock.sendall(f"{tag} {command}\r\n".encode())
            reply = read_until(sock, tag)
            name = command.split()[0].lower() + "-" + str(n)
            (OUT / name).write_bytes(greeting + reply if n == 0 else reply)
        sock.close()
    finally:
        pid = int((directory / "run" / "master.pid").read_text())
        os.kill(pid, 15)
        time.sleep(0.5)
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    main()
