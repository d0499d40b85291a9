#!/usr/bin/env python3
"""Times one `morlavin-convert --quiet -r FOLDER` call over a folder of 1,000
and of 10,000 small texts (20 lines each) against `cp -r` of the same folder,
alternating the two, and reports medians: the cost per file at each size,
how that cost grows from the smaller folder to the larger, and the larger
run against `cp -r`. The converter passes when the cost per file grows at
most 1.25 times and the larger run takes at most 3 times as long as `cp -r`;
the exit status says whether it did.

With --names the converter is given the texts' names, as a shell's
`FOLDER/*.txt` would, instead of -r FOLDER (so that a converter without -r
can be measured too).

usage: bench/many_files.py [--runs N] [--folder DIR] [--names] [--convert PROGRAM] [BUILD_DIR]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

SIZES = (1000, 10000)
MAX_GROWTH = 1.25
MAX_AGAINST_CP = 3.0


def make_folder(path, files):
    os.mkdir(path)
    text = "".join(f"line {i} of a small memo\r\n" for i in range(20)).encode()
    for i in range(files):
        with open(os.path.join(path, f"memo{i:05d}.txt"), "wb") as out:
            out.write(text)


def timed(argv):
    start = time.perf_counter()
    if subprocess.run(argv, stdout=subprocess.DEVNULL).returncode != 0:
        sys.exit(f"{argv} failed")
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--folder", help="where the folders are made (default: the system's temporary folder)")
    parser.add_argument("--names", action="store_true", help="name every text instead of -r FOLDER")
    parser.add_argument("--convert", help="the converter to time (default: BUILD_DIR/bin/morlavin-convert)")
    args = parser.parse_args()
    convert = os.path.abspath(args.convert or os.path.join(args.build, "bin", "morlavin-convert"))

    with tempfile.TemporaryDirectory(prefix="morlavin-bench-", dir=args.folder) as work:
        times = {files: {"convert": [], "cp": []} for files in SIZES}
        for files in SIZES:
            make_folder(os.path.join(work, f"template{files}"), files)
        for run in range(args.runs + 1):
            # The sizes take turns too, so that whatever else the disk is
            # doing at the time weighs on each alike.
            for files in SIZES if run % 2 == 0 else SIZES[::-1]:
                template = os.path.join(work, f"template{files}")
                # Every run starts as a first conversion does: a folder of
                # texts and no pages. Nothing is deleted until the end: on
                # ext4 a file made next to files just deleted costs more, and
                # that cost would be the benchmark's, not the converter's.
                texts = os.path.join(work, f"texts{files}-{run}")
                copy = os.path.join(work, f"copy{files}-{run}")
                subprocess.run(["cp", "-r", template, texts], check=True)
                # The two take turns at going first, so that the writeback
                # one leaves behind slows each as often.
                for program in ("convert", "cp") if run % 2 == 0 else ("cp", "convert"):
                    os.sync()
                    if program == "convert":
                        names = sorted(os.path.join(texts, name) for name in os.listdir(texts))
                        took = timed([convert, "--quiet", *(names if args.names else ["-r", texts])])
                    else:
                        took = timed(["cp", "-r", template, copy])
                    if run:  # the first round only warms the caches
                        times[files][program].append(took)
                if len(os.listdir(texts)) != 2 * files:
                    sys.exit("the converter did not write one page per text")

        print(f"{'files':>6} {'convert s':>10} {'cp -r s':>8} {'convert/cp':>10} {'ms per file':>11} {'cp ms per file':>14}")
        medians = {}
        for files in SIZES:
            convert_s, cp_s = (statistics.median(times[files][program]) for program in ("convert", "cp"))
            medians[files] = (convert_s, cp_s)
            print(f"{files:6d} {convert_s:10.3f} {cp_s:8.3f} {convert_s / cp_s:10.2f} "
                  f"{convert_s / files * 1000:11.4f} {cp_s / files * 1000:14.4f}")

        small, large = SIZES
        growth = (medians[large][0] / large) / (medians[small][0] / small)
        cp_growth = (medians[large][1] / large) / (medians[small][1] / small)
        against_cp = medians[large][0] / medians[large][1]
        print(f"cost per file at {large} / at {small}: {growth:.2f} (at most {MAX_GROWTH}; cp -r: {cp_growth:.2f})")
        print(f"{large} files, convert / cp -r: {against_cp:.2f} (at most {MAX_AGAINST_CP})")
        sys.exit(0 if growth <= MAX_GROWTH and against_cp <= MAX_AGAINST_CP else 1)

if __name__ == "__main__":
    main()
