#!/usr/bin/env python3
"""Times whole `morlavin-convert --quiet FILE` processes against `cat FILE > out`
on the same files, taking turns, and reports medians, their ratio and each
process's peak memory (needs GNU time, Debian's `time`). Each program follows
each other one as often as it goes first.

"spread" is the middle half of the ratios of each round's two times, next to
each other in time: how far one measurement can stray on this machine.
--baseline times another converter in the same rounds (say an earlier build,
copied beside this one so that it reads the same settings), so that a change
is judged against the code before it in one run, not against another day's
figures.

usage: bench/compare_cat.py [--runs N] [--baseline CONVERTER] [BUILD_DIR]
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
        raise RuntimeError(f"{argv} failed")
    return time.perf_counter() - start


def peak_memory_kib(argv, stdout_path):
    """The process's peak resident memory, as GNU time reports it (a forked
    Python would count its own pages as the child's)."""
    with open(stdout_path, "wb") as out:
        result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdout=out,
                                stderr=subprocess.PIPE, check=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def quartiles(values):
    low, _, high = statistics.quantiles(values, n=4)
    return f"{low:.2f}-{high:.2f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--baseline", help="another morlavin-convert, timed in the same rounds")
    args = parser.parse_args()
    convert = os.path.join(args.build, "bin", "morlavin-convert")
    make_sample = os.path.join(args.build, "bench", "make_sample")
    converters = [convert] + ([args.baseline] if args.baseline else [])

    with tempfile.TemporaryDirectory(prefix="morlavin-bench-") as work:
        samples = [("65535 lines x 80 B", 65535, 80, []), ("65535 lines x 800 B", 65535, 800, []),
                   ("UTF-8 LF 65535 x 80 B", 65535, 80, ["utf-8"]), ("UTF-8 LF 65535 x 800 B", 65535, 800, ["utf-8"]),
                   ("EUC-JP LF 65535 x 80 B", 65535, 80, ["euc-jp"]),
                   ("UTF-16LE 65535 x 80 B", 65535, 80, ["utf-16le"]),
                   ("empty", 0, 80, [])]
        baseline_heading = f" {'baseline ms':>11} {'ratio':>6}" if args.baseline else ""
        print(f"{'file':22} {'size':>12} {'cat ms':>8} {'convert ms':>10} {'ratio':>6} {'spread':>9}"
              f"{baseline_heading} {'cat KiB':>8} {'convert KiB':>11} {'input+16MiB':>11}")
        for name, lines, width, encoding in samples:
            path = os.path.join(work, "sample.txt")
            subprocess.run([make_sample, str(lines), str(width), path, *encoding], check=True)
            size = os.path.getsize(path)
            programs = ["cat"] + converters
            times = {program: [] for program in programs}
            for run in range(args.runs + 1):
                # Each round takes the programs in another order (with two:
                # cat, convert, convert, cat, ...): closing the file it
                # truncated makes cat start its writeback, which goes on into
                # whatever runs next and slows that by a few tenths of a
                # millisecond. In one fixed order it would always fall on the
                # same program.
                turn = run % len(programs)
                order = programs[turn:] + programs[:turn]
                if run // len(programs) % 2:
                    order.reverse()
                for program in order:
                    try:
                        if program == "cat":
                            taken = timed(["cat", path], os.path.join(work, "cat.out"))
                        else:
                            taken = timed([program, "--quiet", path], os.devnull)
                    except RuntimeError:
                        if program != args.baseline:
                            raise
                        # An earlier build may refuse a text this one reads.
                        programs.remove(program)
                        times[program] = []
                        continue
                    if run:  # the first round only warms the page cache
                        times[program].append(taken)
            cat_rss = peak_memory_kib(["cat", path], os.path.join(work, "cat.out"))
            convert_rss = peak_memory_kib([convert, "--quiet", path], os.devnull)
            cat_ms = statistics.median(times["cat"]) * 1000
            convert_ms = statistics.median(times[convert]) * 1000
            spread = quartiles([c / t for c, t in zip(times[convert], times["cat"])])
            baseline = ""
            if args.baseline and not times[args.baseline]:
                baseline = f" {'failed':>11} {'':6}"
            elif args.baseline:
                baseline_ms = statistics.median(times[args.baseline]) * 1000
                baseline = f" {baseline_ms:11.1f} {baseline_ms / cat_ms:6.2f}"
            print(f"{name:22} {size:12d} {cat_ms:8.1f} {convert_ms:10.1f} {convert_ms / cat_ms:6.2f} "
                  f"{spread:>9}{baseline} {cat_rss:8d} {convert_rss:11d} {size // 1024 + 16384:11d}")


if __name__ == "__main__":
    try:
        main()
    except RuntimeError as error:
        sys.exit(str(error))
