#!/usr/bin/python3
"""Lays out and rasterises 1 MB of GB 2312 text with kestrel-mail render gb
and prints the time per megabyte (no peer: a baseline for the views). Run
from the top of the source tree after a build:

    /usr/bin/python3 bench/chinese/render_bench.py [build/cli/kestrel-mail] [RUNS]"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import samples  # noqa: E402

SIZE = 1024 * 1024


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/cli/kestrel-mail"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with tempfile.TemporaryDirectory(prefix="kestrel-bench-") as work:
        text = os.path.join(work, "gb.txt")
        picture = os.path.join(work, "gb.pbm")
        with open(text, "wb") as file:
            file.write(samples.text(samples.gb2312_characters(), SIZE))
        times = []
        for _ in range(runs):
            start = time.perf_counter()
            subprocess.run([program, "render", "gb", text, "-o", picture], check=True)
            times.append(time.perf_counter() - start)
        with open(picture, "rb") as file:
            header = file.read(32).split(b"\n")
        size = header[1].decode()
        print(f"render gb: 1 MB of GB text, picture {size} pixels, median of {runs}: "
              f"{statistics.median(times):.3f} s per MB")


main()
