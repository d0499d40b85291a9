"""The encoded variants of a Japanese text and the check of the page
morlavin-convert writes for each; shared by scripts/encoding-corpus and
tests/conversion/corpus_test.py so both test the same bytes the same way."""

import codecs
import os
import re
import subprocess

# name: (Python codec, byte-order mark, charset the page must declare)
ENCODINGS = {
    "shift-jis": ("cp932", b"", "x-sjis"),
    "euc-jp": ("euc_jp", b"", "EUC-JP"),
    "iso-2022-jp": ("iso2022_jp", b"", "UTF-8"),
    "utf-8": ("utf-8", b"", "UTF-8"),
    "utf-8-bom": ("utf-8", codecs.BOM_UTF8, "UTF-8"),
    "utf-16le-bom": ("utf-16-le", codecs.BOM_UTF16_LE, "UTF-8"),
    "utf-16be-bom": ("utf-16-be", codecs.BOM_UTF16_BE, "UTF-8"),
    "utf-16le": ("utf-16-le", b"", "UTF-8"),
    "utf-16be": ("utf-16-be", b"", "UTF-8"),
}
LINE_ENDS = {"crlf": "\r\n", "lf": "\n", "cr": "\r"}
PAGE_CODECS = {"x-sjis": "cp932", "EUC-JP": "euc_jp", "UTF-8": "utf-8"}
# The three legacy encodings map a few characters differently (wave dash,
# minus, NEC symbols, half-width kana); a text using one of them has no
# single right answer, so it is left out.
LEGACY_CODECS = ("cp932", "euc_jp", "iso2022_jp")
HEAD_END = b"<!-------- This File Created by Morlavin"
PAGE_TAIL = [b"</BODY>", b"</HTML>", b""]


def survives(text):
    """True when text round-trips through every legacy codec."""
    try:
        return all(text.encode(c).decode(c) == text for c in LEGACY_CODECS)
    except UnicodeError:
        return False


def encode(lines, encoding, eol):
    """The file's bytes: every line, each ended by the line end."""
    codec, bom, _ = ENCODINGS[encoding]
    text = "".join(line + LINE_ENDS[eol] for line in lines)
    return bom + text.encode(codec)


def write_variants(lines, folder, name):
    """Writes name.txt in folder/ENCODING/EOL/ for every variant; returns
    (path, encoding, eol) for each."""
    written = []
    for encoding in ENCODINGS:
        for eol in LINE_ENDS:
            sub = os.path.join(folder, encoding, eol)
            os.makedirs(sub, exist_ok=True)
            path = os.path.join(sub, name + ".txt")
            with open(path, "wb") as f:
                f.write(encode(lines, encoding, eol))
            written.append((path, encoding, eol))
    return written


def convert(converter, paths, batch=400):
    """Runs the converter over paths, many per call (a failed file shows
    later as a missing page, so the exit status is not checked here)."""
    for i in range(0, len(paths), batch):
        subprocess.run([converter, "--quiet", "--", *paths[i:i + batch]],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=False)


def page_path(path):
    return path[: -len(".txt")] + ".htm"


def read_page(path):
    """(declared charset, decoded body lines or None, problem or None)."""
    try:
        with open(page_path(path), "rb") as f:
            data = f.read()
    except OSError:
        return None, None, "no page written"
    rows = data.split(b"\r\n")
    match = re.search(rb"charset=([A-Za-z0-9_-]+)", data)
    charset = match.group(1).decode() if match else None
    head = [i for i, row in enumerate(rows) if row.startswith(HEAD_END)]
    if not head or rows[-3:] != PAGE_TAIL or len(rows) < head[0] + 4:
        return charset, None, "page has no head or no </BODY></HTML> tail"
    if charset not in PAGE_CODECS:
        return charset, None, "unknown charset %r" % charset
    body = rows[head[0] + 1: -3]
    if any(not row.endswith(b"<BR>") for row in body):
        return charset, None, "a body line lacks <BR>"
    try:
        return charset, [row[:-4].decode(PAGE_CODECS[charset]) for row in body], None
    except UnicodeDecodeError as e:
        return charset, None, "body does not decode as %s: %s" % (charset, e)


def check(path, lines, encoding):
    """(declared charset, problem or None) for the page of path, which holds
    lines in encoding."""
    charset, body, problem = read_page(path)
    if problem:
        return charset, problem
    want = ENCODINGS[encoding][2]
    if charset != want:
        return charset, "declares %s, not %s" % (charset, want)
    if body != lines:
        if len(body) != len(lines):
            return charset, "%d lines, not %d" % (len(body), len(lines))
        n = next(i for i, (a, b) in enumerate(zip(body, lines)) if a != b)
        return charset, "line %d reads %r, not %r" % (n + 1, body[n][:40], lines[n][:40])
    return charset, None
