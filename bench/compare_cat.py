#!/usr/bin/env python3
"""Times whole `morlavin-convert --quiet FILE` processes against `cat FILE > out`
on the same files, alternating the two, and reports medians, their ratio and
each process's peak memory (needs GNU time, Debian's `time`). Each program
follows the other as often as itself.

usage: bench/compare_cat.py [--runs N] [BUILD_DIR]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def timed(argv, stdout_path):
    """Runs argv with stdout to stdout_path, as a shell's `> out` would: the file
    is truncated, and the child's exit is its last close (where ext4 starts
    writing back a truncated file's data). Returns the seconds taken."""
    start = time.perf_counter()
    with open(stdout_path, "wb") as out:
        process = subprocess.Popen(argv, stdout=out)
    if process.wait() != 0:
        sys.exit(f"{argv} failed")
    return time.perf_counter() - start


def peak_memory_kib(argv, stdout_path):
    """The process's peak resident memory, as GNU time reports it (a forked
    Python would count its own pages as the child's)."""
    with open(stdout_path, "wb") as out:
        result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdout=out,
                                stderr=subprocess.PIPE, check=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=21)
    args = parser.parse_args()
    convert = os.path.join(args.build, "bin", "morlavin-convert")
    make_sample = os.path.join(args.build, "bench", "make_sample")

    with tempfile.TemporaryDirectory(prefix="morlavin-bench-") as work:
        samples = [("65535 lines x 80 B", 65535, 80, []), ("65535 lines x 800 B", 65535, 800, []),
                   ("UTF-8 LF 65535 x 80 B", 65535, 80, ["utf-8"]), ("UTF-8 LF 65535 x 800 B", 65535, 800, ["utf-8"]),
                   ("EUC-JP LF 65535 x 80 B", 65535, 80, ["euc-jp"]),
                   ("UTF-16LE 65535 x 80 B", 65535, 80, ["utf-16le"]),
                   ("empty", 0, 80, [])]
        print(f"{'file':22} {'size':>12} {'cat ms':>8} {'convert ms':>10} {'ratio':>6} "
              f"{'cat KiB':>8} {'convert KiB':>11} {'input+16MiB':>11}")
        for name, lines, width, encoding in samples:
            path = os.path.join(work, "sample.txt")
            subprocess.run([make_sample, str(lines), str(width), path, *encoding], check=True)
            size = os.path.getsize(path)
            cat_times, convert_times = [], []
            for run in range(args.runs + 1):
                # The two take turns at going first (cat, convert, convert,
                # cat, ...): closing the file it truncated makes cat start its
                # writeback, which goes on into whatever runs next and slows
                # that by a few tenths of a millisecond. In strict turns it
                # would always fall on the converter.
                if run % 2 == 0:
                    cat_time = timed(["cat", path], os.path.join(work, "cat.out"))
                    convert_time = timed([convert, "--quiet", path], os.devnull)
                else:
                    convert_time = timed([convert, "--quiet", path], os.devnull)
                    cat_time = timed(["cat", path], os.path.join(work, "cat.out"))
                if run:  # the first round only warms the page cache
                    cat_times.append(cat_time)
                    convert_times.append(convert_time)
            cat_rss = peak_memory_kib(["cat", path], os.path.join(work, "cat.out"))
            convert_rss = peak_memory_kib([convert, "--quiet", path], os.devnull)
            cat_ms = statistics.median(cat_times) * 1000
            convert_ms = statistics.median(convert_times) * 1000
            print(f"{name:22} {size:12d} {cat_ms:8.1f} {convert_ms:10.1f} {convert_ms / cat_ms:6.2f} "
                  f"{cat_rss:8d} {convert_rss:11d} {size // 1024 + 16384:11d}")


if __name__ == "__main__":
    main()
