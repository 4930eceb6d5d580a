#!/usr/bin/python3
"""Kestrel's message code against its peers, side by side; prints medians and
ratios (Kestrel's time divided by the peer's: below 1 is faster).

    /usr/bin/python3 bench/message/run.py [BUILD_DIR] [--runs N]

BUILD_DIR (default build) must hold kestrel-mail and the bench programs
(cmake --build BUILD_DIR). Goals: base64 decode at most 0.33 of coreutils
`base64 -d` (with -i, which CRLF lines need); quoted-printable decode at most
0.5 of Python's binascii.a2b_qp; parsing at least as fast as GMime 3 and 20
times as fast as Python's email; peak memory parsing a 50 MB letter at most
twice its size.
"""

import binascii
import os
import pathlib
import random
import statistics
import subprocess
import sys
import tempfile
import time

PYTHON = "/usr/bin/python3"
CORPORA = [pathlib.Path("/usr/lib/python3.11/test/test_email/data"),
           pathlib.Path("/usr/share/gocode/src/github.com/jhillyerd/enmime/testdata")]
MIB = 1024 * 1024


def wall(command, stdin_path):
    with open(stdin_path, "rb") as stdin:
        start = time.perf_counter()
        subprocess.run(command, stdin=stdin, stdout=subprocess.DEVNULL, check=True)
        return time.perf_counter() - start


def compare(title, ours, peer, stdin_path, runs, goal):
    mine, theirs = [], []
    for _ in range(runs):  # interleaved, so load changes hit both alike
        mine.append(wall(ours, stdin_path))
        theirs.append(wall(peer, stdin_path))
    ratio = statistics.median(mine) / statistics.median(theirs)
    print(f"{title}: kestrel {statistics.median(mine):.3f} s, peer "
          f"{statistics.median(theirs):.3f} s (medians of {runs}), ratio {ratio:.2f} "
          f"(goal {goal})")


def base64_input(folder):
    raw = random.Random(1).randbytes(46 * MIB + 786 * 1024)  # 64 MiB of text
    text = binascii.b2a_base64(raw, newline=False)
    lines = b"\r\n".join(text[i:i + 76] for i in range(0, len(text), 76)) + b"\r\n"
    path = folder / "base64.txt"
    path.write_bytes(lines)
    return path


def qp_input(folder):
    """Latin-1 prose with some accented words, encoded by Python's b2a_qp."""
    rng = random.Random(2)
    words = ("the of and to in is was for on that with as by at from his her they this have "
             "not be are had which one you were but all she there would their we him been "
             "has when who will more no if out so said what up its about into than them can "
             "only other new some could time these two may then do first any my now").split()
    accented = ["caf\xe9", "na\xefve", "r\xe9sum\xe9", "fa\xe7ade", "\xfcber", "se\xf1or", "=",
                "a\tb"]
    lines, size = [], 0
    while size < 63 * MIB:  # 64 MiB once encoded
        line = " ".join(rng.choice(accented) if rng.random() < 0.03 else rng.choice(words)
                        for _ in range(rng.randint(6, 14)))
        lines.append(line.encode("latin-1") + b"\r\n")
        size += len(lines[-1])
    path = folder / "qp.txt"
    path.write_bytes(binascii.b2a_qp(b"".join(lines), istext=True))
    return path


def corpus_files():
    files = sorted(CORPORA[0].glob("msg_*.txt")) + sorted(CORPORA[1].rglob("*.raw"))
    return [str(f) for f in files], sum(f.stat().st_size for f in map(pathlib.Path, files))


PYTHON_PARSE = """
import email, email.policy, sys, time
rounds = int(sys.argv[1]); letters = [open(f, 'rb').read() for f in sys.argv[2:]]
start = time.perf_counter(); parsed = 0
for _ in range(rounds):
    for letter in letters:
        email.message_from_bytes(letter, policy=email.policy.compat32); parsed += len(letter)
print(time.perf_counter() - start, parsed)
"""


def throughput(command):
    out = subprocess.run(command, capture_output=True, text=True, check=True).stdout.split()
    return float(out[1]) / float(out[0])  # bytes per second


def parse_speed(build, runs):
    files, size = corpus_files()
    rounds = max(1, round(100e6 / size))
    kestrel = [str(build / "bench/message/kestrel_parse_bench"), str(rounds)] + files
    gmime_program = build / "bench/message/gmime_parse_bench"
    python = [PYTHON, "-c", PYTHON_PARSE, str(max(1, rounds // 10))] + files
    ours = [throughput(kestrel) for _ in range(runs)]
    mine = statistics.median(ours)
    print(f"parse: {len(files)} corpus letters ({size} bytes) x {rounds} rounds "
          f"= {size * rounds / 1e6:.0f} MB; Python parses a tenth of the rounds")
    print(f"  kestrel {mine / 1e6:.1f} MB/s (median of {runs})")
    if gmime_program.exists():
        gmime = statistics.median(throughput([str(gmime_program), str(rounds)] + files)
                                  for _ in range(runs))
        print(f"  gmime   {gmime / 1e6:.1f} MB/s; time ratio kestrel/gmime "
              f"{gmime / mine:.2f} (goal at most 1)")
    else:
        print("  gmime: not built (install libgmime-3.0-dev and configure again)")
    py = statistics.median(throughput(python) for _ in range(max(1, runs // 2)))
    print(f"  python  {py / 1e6:.2f} MB/s; kestrel is {mine / py:.1f} times as fast "
          f"(goal at least 20)")


def peak_memory(program, folder):
    rng = random.Random(3)
    attachment = binascii.b2a_base64(rng.randbytes(36 * MIB), newline=False)
    lines = b"\r\n".join(attachment[i:i + 76] for i in range(0, len(attachment), 76))
    letter = (b"From: a@b.example\r\nTo: c@d.example\r\nSubject: big\r\nMIME-Version: 1.0\r\n"
              b"Content-Type: multipart/mixed; boundary=BIG\r\n\r\n--BIG\r\n"
              b"Content-Type: text/plain\r\n\r\nSee the attachment.\r\n--BIG\r\n"
              b"Content-Type: application/octet-stream; name=big.bin\r\n"
              b"Content-Transfer-Encoding: base64\r\n\r\n" + lines + b"\r\n--BIG--\r\n")
    path = folder / "big.eml"
    path.write_bytes(letter)
    result = subprocess.run(["/usr/bin/time", "-f", "%M", program, "parse", str(path)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                            check=True)
    peak = int(result.stderr.strip().splitlines()[-1]) * 1024
    print(f"peak memory parsing a {len(letter) / 1e6:.1f} MB letter: {peak / 1e6:.1f} MB, "
          f"{peak / len(letter):.2f} times its size (goal at most 2)")


def main():
    arguments = sys.argv[1:]
    runs = 5
    if "--runs" in arguments:
        at = arguments.index("--runs")
        runs = int(arguments[at + 1])
        del arguments[at:at + 2]
    build = pathlib.Path(arguments[0] if arguments else "build").resolve()
    program = str(build / "cli/kestrel-mail")
    with tempfile.TemporaryDirectory() as scratch:
        folder = pathlib.Path(scratch)
        b64 = base64_input(folder)
        compare(f"base64 decode of {b64.stat().st_size / MIB:.0f} MiB",
                [program, "decode", "base64"], ["base64", "-d", "-i"], b64, runs, "<= 0.33")
        qp = qp_input(folder)
        compare(f"quoted-printable decode of {qp.stat().st_size / MIB:.0f} MiB",
                [program, "decode", "qp"],
                [PYTHON, "-c", "import binascii, sys; sys.stdout.buffer.write("
                 "binascii.a2b_qp(sys.stdin.buffer.read()))"], qp, runs, "<= 0.5")
        parse_speed(build, runs)
        peak_memory(program, folder)


if __name__ == "__main__":
    main()
