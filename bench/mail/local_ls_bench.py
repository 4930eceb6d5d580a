#!/usr/bin/python3
"""Open and list a large local mailbox: kestrel-mail ls against its peers.

usage: local_ls_bench.py KESTREL_MAIL [--megabytes N] [--runs N] [--directory DIR]

Builds a Bezrkdos (mbox) file of about N megabytes (200 by default) from the
corpus letters with Python's mailbox.mbox, and the same letters as a Tenexdos
and a Dawz file. Then, on a warm cache, the median of several runs of:

  1. kestrel-mail ls on the mbox file against Python's mailbox.mbox reading
     every message's From and Subject (goal: 20 times as fast), and the peak
     memory of kestrel-mail ls there (goal: under 32 MB);
  2. kestrel-mail ls on the Tenexdos and the Dawz file against cat FILE >
     /dev/null (goal: under twice the time of cat).
"""

import argparse
import mailbox
import os
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time

CORPORA = [
    pathlib.Path("/usr/lib/python3.11/test/test_email/data"),
    pathlib.Path("/usr/share/gocode/src/github.com/jhillyerd/enmime/testdata"),
]
DATE = b" 5-Dec-1996 11:53:20 +0800"


def corpus_letters():
    files = sorted(CORPORA[0].glob("msg_*.txt")) + sorted(CORPORA[1].rglob("*.raw"))
    if len(files) < 100:
        sys.exit("the corpus packages are missing (libpython3.11-testsuite, "
                 "golang-github-jhillyerd-enmime-dev)")
    return [f.read_bytes() for f in files]


def build(directory, megabytes):
    mbox_path = directory / "corpus.mbox"
    tenex_path = directory / "corpus.tenex"
    dawz_path = directory / "corpus.dawz"
    if mbox_path.exists() and tenex_path.exists() and dawz_path.exists():
        return mbox_path, tenex_path, dawz_path
    letters = corpus_letters()
    box = mailbox.mbox(str(mbox_path))
    box.lock()
    total, count = 0, 0
    while total < megabytes * 1000 * 1000:
        letter = letters[count % len(letters)]
        box.add(letter)
        total += len(letter)
        count += 1
    box.flush()
    box.unlock()
    box.close()
    # The same messages, as the mbox file holds them, in the other two formats.
    with open(tenex_path, "wb") as tenex, open(dawz_path, "wb") as dawz:
        written = mailbox.mbox(str(mbox_path))
        for key in written.iterkeys():
            text = written.get_bytes(key).replace(b"\r", b"")
            tenex.write(DATE + b",%d;000000000000\n" % len(text) + text)
            crlf = text.replace(b"\n", b"\r\n")
            dawz.write(DATE + b",%d;000000000000\r\n" % len(crlf) + crlf)
    return mbox_path, tenex_path, dawz_path


def seconds(command, **kwargs):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   **kwargs)
    return time.perf_counter() - start


def median_seconds(command, runs, **kwargs):
    seconds(command, **kwargs)  # warms the cache
    return statistics.median(seconds(command, **kwargs) for _ in range(runs))


PYTHON_READER = """
import mailbox, sys
for message in mailbox.mbox(sys.argv[1], create=False):
    message["From"], message["Subject"]
"""


def peak_megabytes(command):
    result = subprocess.run(["/usr/bin/time", "-v"] + command, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                            errors="replace")
    kilobytes = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr)[1])
    return kilobytes / 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kestrel_mail")
    parser.add_argument("--megabytes", type=int, default=200)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--directory")
    arguments = parser.parse_args()
    directory = pathlib.Path(arguments.directory or tempfile.mkdtemp(prefix="kestrel-bench-"))
    directory.mkdir(parents=True, exist_ok=True)
    mbox_path, tenex_path, dawz_path = build(directory, arguments.megabytes)
    kestrel = os.path.abspath(arguments.kestrel_mail)
    # kestrel-mail names files the DOS way, relative to HOME.
    environment = dict(os.environ, HOME=str(directory))
    runs = arguments.runs

    count = subprocess.run([kestrel, "ls", mbox_path.name], env=environment, check=True,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.count(b"\n")
    print(f"{mbox_path}: {mbox_path.stat().st_size / 1e6:.0f} MB, {count} messages")

    ours = median_seconds([kestrel, "ls", mbox_path.name], runs, env=environment)
    python = median_seconds(["/usr/bin/python3", "-c", PYTHON_READER, str(mbox_path)], runs)
    print(f"Bezrkdos ls: kestrel-mail {ours:.3f} s, Python mailbox.mbox {python:.3f} s, "
          f"{python / ours:.1f} times as fast (goal: 20)")
    peak = peak_megabytes([kestrel, "ls", str(mbox_path)])
    print(f"Bezrkdos ls: peak memory {peak:.1f} MB (goal: under 32)")

    for label, path in (("Tenexdos", tenex_path), ("Dawz", dawz_path)):
        ours = median_seconds([kestrel, "ls", path.name], runs, env=environment)
        cat = median_seconds(["cat", str(path)], runs)
        print(f"{label} ls: kestrel-mail {ours:.3f} s, cat {cat:.3f} s, "
              f"{ours / cat:.2f} times cat (goal: under 2)")


if __name__ == "__main__":
    main()
