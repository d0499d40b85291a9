#!/usr/bin/env python3
"""Saves each sample text of tests/data/conversion/corpus in every encoding
and line-end style, converts them all and checks that every page declares
the right charset and reads back as exactly the text's lines.

usage: corpus_test.py MORLAVIN-CONVERT
"""

import glob
import os
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import encoding_corpus_lib as lib  # noqa: E402

SAMPLES = os.path.join(ROOT, "tests", "data", "conversion", "corpus", "*.txt")


def sample_lines(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    if not text.endswith("\n") or "\r" in text:
        raise ValueError("%s: a sample is UTF-8 with LF line ends" % path)
    return text.split("\n")[:-1]


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    samples = sorted(glob.glob(SAMPLES))
    if not samples:
        print("no sample texts in " + os.path.dirname(SAMPLES))
        return 1
    passed = failed = 0
    with tempfile.TemporaryDirectory() as folder:
        files = []
        for sample in samples:
            lines = sample_lines(sample)
            name = os.path.basename(sample)[: -len(".txt")]
            files += [(path, encoding, lines)
                      for path, encoding, _ in lib.write_variants(lines, folder, name)]
        lib.convert(argv[1], [path for path, _, _ in files])
        for path, encoding, lines in files:
            _, problem = lib.check(path, lines, encoding)
            if problem:
                failed += 1
                print("FAIL %s: %s" % (os.path.relpath(path, folder), problem))
            else:
                passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
