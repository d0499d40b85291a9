#!/usr/bin/env python3
"""Sampled mutation testing of the core: do the project's own tests catch small real faults?

usage: mutants.py REPO N [SEED]
Clones REPO (its committed main) into a work tree (MUT_TREE, default
morlavin-mut in the temporary folder), builds once, then for N sampled mutants of
src/{platform,settings,conversion,program,cli}/*.cpp applies one small change (a flipped
comparison, && <-> ||, +1 <-> -1, true <-> false, a constant off by one, a call
statement removed), rebuilds the core test programs and runs the core, batch
converter and fuzz-smoke tests.  A mutant that does not compile is stillborn and
not counted; one that compiles to the same object code as the original (a pixel
count of 121/15 is still 8) cannot change behaviour and is not counted either,
but listed as EQUIVALENT.  Prints the survivors and, last,
`mutation: K/M killed (S stillborn)`.
Environment: MUT_DIRS (folders to mutate), MUT_TARGETS (build targets, or "all"),
MUT_CTEST (ctest arguments that choose the tests), MUT_TREE (work tree).
"""
import os, random, re, subprocess, sys, tempfile, time

repo, n = sys.argv[1], int(sys.argv[2])
seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
tree = os.environ.get("MUT_TREE", os.path.join(tempfile.gettempdir(), "morlavin-mut"))
rng = random.Random(seed)

def sh(cmd, timeout=None):
    return subprocess.run(cmd, shell=True, cwd=tree, capture_output=True, text=True, timeout=timeout)

repo = os.path.abspath(repo)
if not os.path.isdir(tree + "/.git"):
    subprocess.run(["git", "clone", "-q", repo, tree], check=True)
else:
    sh("git fetch -q origin && git reset -q --hard origin/HEAD")
sh("git checkout -q -- .")
if not os.path.isdir(tree + "/build"):
    r = sh("cmake --preset default -DMORLAVIN_BUILD_BENCH=OFF")
    if r.returncode:
        sys.exit("configure failed:\n" + r.stdout[-2000:] + r.stderr[-2000:])
# Which programs to rebuild and which tests to run per mutant; override when the tree changes.
targets = os.environ.get("MUT_TARGETS", "platform_test settings_test program_test conversion_test morlavin-convert " +
    " ".join(f"{t}_fuzz" for t in "profile_file setting_number line_conversion output_name title_import".split()))
r = sh(f"cmake --build build -j2 --target {targets}")
if r.returncode:  # target names changed: rebuild everything instead
    targets = "all"
    r = sh("cmake --build build -j2")
    if r.returncode:
        sys.exit("baseline build failed:\n" + r.stdout[-3000:])
TESTS = os.environ.get("MUT_CTEST", "-E '^(MainWindow|PreferencesDialog|HelpWindow|WindowFont|gui|install|package|browser)|NOT_BUILT'")
r = sh(f"ctest --test-dir build {TESTS} -j2 --timeout 120", timeout=900)
if r.returncode:
    sys.exit("baseline tests fail:\n" + r.stdout[-3000:])

OPS = [
    (r" == ", " != "), (r" != ", " == "),
    (r" < ", " <= "), (r" <= ", " < "), (r" > ", " >= "), (r" >= ", " > "),
    (r" && ", " || "), (r" \|\| ", " && "),
    (r"\+ 1\b", "- 1"), (r"- 1\b", "+ 1"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
]
dirs = os.environ.get("MUT_DIRS", "src/platform src/settings src/conversion src/program src/cli").split()
files = [os.path.join(d, f) for d in dirs if os.path.isdir(os.path.join(tree, d))
         for f in sorted(os.listdir(os.path.join(tree, d))) if f.endswith(".cpp")]
cands = []
for path in files:
    for i, line in enumerate(open(os.path.join(tree, path), encoding="utf-8", errors="replace")):
        s = line.strip()
        if not s or s.startswith(("//", "#", "*", "/*")) or "<<" in s or "template" in s or '"' in s and s.count('"') > 2:
            continue
        for pat, rep in OPS:
            for m in re.finditer(pat, line):
                cands.append((path, i, m.start(), m.end(), rep))
        for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
            if "[" not in line[max(0, m.start() - 1):m.start()]:
                cands.append((path, i, m.start(), m.end(), str(int(m.group(1)) + 1)))
        if re.fullmatch(r"[A-Za-z_][\w:.>-]*\(.*\);", s) and not s.startswith("return"):
            cands.append((path, i, 0, len(line.rstrip("\n")), "{}"))
rng.shuffle(cands)

def objectOf(path):
    """The object file the build makes from `path`, relative to the build folder."""
    for root, _, names in os.walk(os.path.join(tree, "build", os.path.dirname(path))):
        if os.path.basename(path) + ".o" in names:
            return os.path.relpath(os.path.join(root, os.path.basename(path) + ".o"), os.path.join(tree, "build"))
    return None

def code(obj):
    """The object's code and data without its debug information, which records lines and columns."""
    stripped = os.path.join(tree, "build", "mutant-stripped.o")
    subprocess.run(["objcopy", "--strip-debug", os.path.join(tree, "build", obj), stripped], check=True)
    with open(stripped, "rb") as f:
        data = f.read()
    os.remove(stripped)
    return data

original = {}
for path in files:
    obj = objectOf(path)
    if obj:
        original[path] = (obj, code(obj))

killed = stillborn = tried = equivalent = 0
survivors = []
t0 = time.time()
for path, i, a, b, rep in cands:
    if tried >= n:
        break
    full = os.path.join(tree, path)
    lines = open(full, encoding="utf-8", errors="surrogateescape").read().split("\n")
    before = lines[i]
    lines[i] = before[:a] + rep + before[b:]
    open(full, "w", encoding="utf-8", errors="surrogateescape").write("\n".join(lines))
    try:
        if path in original:
            obj, before_code = original[path]
            if sh(f"ninja -C build {obj}", timeout=600).returncode:
                stillborn += 1
                continue
            if code(obj) == before_code:
                equivalent += 1
                print("EQUIVALENT", f"{path}:{i + 1}: {before.strip()}  ->  {lines[i].strip()}", flush=True)
                continue
        if sh(f"cmake --build build -j2 --target {targets}", timeout=600).returncode:
            stillborn += 1
            continue
        tried += 1
        try:
            r = sh(f"ctest --test-dir build {TESTS} -j2 --timeout 60 --stop-on-failure", timeout=900)
            dead = r.returncode != 0
        except subprocess.TimeoutExpired:
            dead = True
        if dead:
            killed += 1
        else:
            survivors.append(f"{path}:{i + 1}: {before.strip()}  ->  {lines[i].strip()}")
            print("SURVIVED", survivors[-1], flush=True)
    finally:
        sh(f"git checkout -q -- {path}")
sh(f"cmake --build build -j2 --target {targets}")
print(f"({time.time() - t0:.0f} s, seed {seed}; {equivalent} equivalent)")
print(f"mutation: {killed}/{tried} killed ({stillborn} stillborn)")
