#!/usr/bin/python3
"""kestrel-mail convert against glibc iconv on 50 MB of GB 2312 and of Big5
text. Run from the top of the source tree after a build:

    /usr/bin/python3 bench/chinese/convert_bench.py [build/cli/kestrel-mail] [RUNS]

Prints the median time of each program and the ratio iconv / kestrel-mail
(above 1: Kestrel is faster). The goal is 2 or more."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import samples  # noqa: E402

SIZE = 50 * 1024 * 1024


def timed(command, input_path, output_path):
    """Wall-clock time and processor time (user and system) of one run; on a
    shared machine the processor time is the steadier of the two."""
    with open(input_path, "rb") as source, open(output_path, "wb") as sink:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdin=source, stdout=sink)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            sys.exit(f"{command[0]} failed with exit code {process.returncode}")
        return wall, usage.ru_utime + usage.ru_stime


def compare(name, characters, kestrel_command, iconv_command, back_charset, program, runs, work):
    input_path = os.path.join(work, name + ".txt")
    with open(input_path, "wb") as file:
        file.write(samples.text(characters, SIZE))
    kestrel_out = os.path.join(work, name + ".kestrel")
    iconv_out = os.path.join(work, name + ".iconv")
    # The output must be right before its speed counts.
    timed([program, "convert", kestrel_command], input_path, kestrel_out)
    with open(kestrel_out, "rb") as encoded, open(input_path, "rb") as original:
        back = subprocess.run(["iconv", "-f", "ISO-2022-CN", "-t", back_charset], stdin=encoded,
                              capture_output=True, check=True).stdout
        if back != original.read():
            sys.exit(f"{name}: iconv does not read kestrel-mail's output back to the input")
    kestrel, iconv = [], []
    for _ in range(runs):
        kestrel.append(timed([program, "convert", kestrel_command], input_path, kestrel_out))
        iconv.append(timed(iconv_command, input_path, iconv_out))
    for what, index in (("wall-clock", 0), ("processor", 1)):
        k = statistics.median(run[index] for run in kestrel)
        i = statistics.median(run[index] for run in iconv)
        print(f"{name}: 50 MB, median {what} time of {runs}: kestrel-mail {k:.3f} s, "
              f"iconv {i:.3f} s, ratio iconv/kestrel-mail {i / k:.2f}")


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/cli/kestrel-mail"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with tempfile.TemporaryDirectory(prefix="kestrel-bench-") as work:
        compare("GB 2312 to ISO-2022-CN", samples.gb2312_characters(), "gb-to-iso2022cn",
                ["iconv", "-f", "GB2312", "-t", "ISO-2022-CN"], "GB2312", program, runs, work)
        compare("Big5 to ISO-2022-CN", samples.big5_characters(), "big5-to-iso2022cn",
                ["iconv", "-f", "BIG5", "-t", "ISO-2022-CN"], "BIG5", program, runs, work)


main()
