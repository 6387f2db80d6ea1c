#!/usr/bin/env python3
"""A fixed, seeded sample of mutants of src/core and src/cli, each built into
a plain (non-sanitizer) build and run against the core, end-to-end and CLI
tests. Prints killed / survived / total and lists the survivors, so that a
change of the suite can be judged by the faults it still finds.

The sample depends only on the seed and the source text: the same sources
give the same mutants, whatever the tests are. A mutant that does not
compile is skipped and replaced by the next candidate.

Usage: scripts/mutation-sample.py [--count 150] [--seed 1] [--build DIR]
                                  [--shard K/N] [--list] [--report FILE]

With --shard K/N a run takes every Nth candidate of the sample (from the
Kth, counting from 0) and count/N mutants; N runs in N copies of the tree
(the mutants are written into the sources) cover the sample together, and
the same N gives the same mutants every time.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCES = ["src/core", "src/cli"]
TEST_PROGRAMS = ["core_tests", "e2e_tests", "cli_tests"]  # cheapest first
TARGETS = TEST_PROGRAMS + ["vondrix-cli", "vondrix-phonesim", "smscom", "manuals"]

# (name, pattern on the masked line, replacement); the replacement of a
# function gets the match.
OPERATORS = [
    ("== to !=", re.compile(r"=="), "!="),
    ("!= to ==", re.compile(r"!="), "=="),
    ("< to <=", re.compile(r"(?<=\s)<(?=\s)"), "<="),
    ("<= to <", re.compile(r"(?<=\s)<=(?=\s)"), "<"),
    ("> to >=", re.compile(r"(?<=\s)>(?=\s)"), ">="),
    (">= to >", re.compile(r"(?<=\s)>=(?=\s)"), ">"),
    ("&& to ||", re.compile(r"&&"), "||"),
    ("|| to &&", re.compile(r"\|\|"), "&&"),
    ("true to false", re.compile(r"\btrue\b"), "false"),
    ("false to true", re.compile(r"\bfalse\b"), "true"),
    ("+ 1 to - 1", re.compile(r"(?<=\s)\+ 1\b"), "- 1"),
    ("- 1 to + 1", re.compile(r"(?<=\s)- 1\b"), "+ 1"),
    ("constant + 1", re.compile(r"(?<![\w.'])\d+(?![\w.'])"), lambda m: str(int(m.group(0)) + 1)),
    ("negation removed", re.compile(r"!(?=[\w(])"), ""),
]
STATEMENT_OPERATORS = [
    # A call whose result is not used, on one line.
    ("call removed", re.compile(r"^(\s*)(?!return\b|co_return\b|throw\b|delete\b)[A-Za-z_][\w:.\->]*(?:<[^;]*>)?\(.*\);\s*$")),
    ("return removed", re.compile(r"^(\s*)return;\s*$")),
    ("continue removed", re.compile(r"^(\s*)continue;\s*$")),
]


def mask(line):
    """The line with string and character literals and a trailing comment
    blanked out, so that no mutation lands inside them."""
    out = []
    i, n = 0, len(line)
    while i < n:
        c = line[i]
        if c == "/" and i + 1 < n and line[i + 1] == "/":
            out.append(" " * (n - i))
            break
        if c in "\"'":
            quote = c
            j = i + 1
            while j < n and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(quote + " " * (j - i - 2) + (quote if j - i >= 2 else ""))
            i = j
            continue
        out.append(c)
        i += 1
    return "".join(out)[:n]


# The kinds of fault the sample stands for; it takes them in turn, so that
# the many constants do not crowd out the rest.
FAMILIES = {
    "comparison": ["== to !=", "!= to =="],
    "bound": ["< to <=", "<= to <", "> to >=", ">= to >", "+ 1 to - 1", "- 1 to + 1"],
    "condition": ["&& to ||", "|| to &&", "negation removed", "true to false", "false to true"],
    "removal": ["call removed", "return removed", "continue removed"],
    "constant": ["constant + 1"],
}
# Data tables: their numbers are texts' ids, not logic.
EXCLUDED = {"src/core/foundation/Catalogue.cpp"}


def candidates():
    found = []
    files = sorted(p for d in SOURCES for p in (ROOT / d).rglob("*.cpp"))
    for path in files:
        rel = path.relative_to(ROOT).as_posix()
        # The Windows pieces are not built here: their mutants would survive.
        if rel in EXCLUDED or rel.endswith("Win32.cpp"):
            continue
        in_block_comment = in_raw_string = False
        for number, line in enumerate(path.read_text(encoding="latin-1").split("\n"), 1):
            stripped = line.strip()
            if in_raw_string:
                in_raw_string = ')"' not in line
                continue
            if re.search(r'\bR"[^(\s]*\(', line):
                in_raw_string = ')"' not in line[line.index('R"'):]
                continue
            if in_block_comment:
                in_block_comment = "*/" not in stripped
                continue
            if stripped.startswith("/*"):
                in_block_comment = "*/" not in stripped
                continue
            if not stripped or stripped.startswith(("//", "#", "*")) or "static_assert" in line:
                continue
            masked = mask(line)
            for name, pattern, replacement in OPERATORS:
                for match in pattern.finditer(masked):
                    text = replacement(match) if callable(replacement) else replacement
                    mutated = line[: match.start()] + text + line[match.end():]
                    found.append((rel, number, name, line, mutated))
            for name, pattern in STATEMENT_OPERATORS:
                match = pattern.match(masked)
                if match and masked.count("(") == masked.count(")"):
                    found.append((rel, number, name, line, match.group(1) + ";"))
    return found


def run(command, cwd, timeout=None, env=None):
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout, env=env)
        return done.returncode, done.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return None, "timed out"


def configure(build):
    if (build / "build.ninja").exists():
        return
    compiler = {"CC": "clang", "CXX": "clang++"} if shutil.which("clang++") else {}
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    code, out = run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                     "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1",
                     "-DVONDRIX_GUI=OFF", "-DVONDRIX_FUZZ=OFF", "-DVONDRIX_BENCH=OFF",
                     "-DVONDRIX_SANITIZE=OFF"] + launcher, ROOT, env={**os.environ, **compiler})
    if code != 0:
        sys.exit("configure failed:\n" + out)


def build_targets(build):
    return run(["ninja", "-C", str(build)] + TARGETS, ROOT)


def suite(build, timeouts):
    """'killed' with the first failing program, or 'survived'."""
    env = {**os.environ, "VONDRIX_LANG": "en", "LC_ALL": "C", "QT_QPA_PLATFORM": "offscreen"}
    for program in TEST_PROGRAMS:
        command = [str(build / "tests" / program), "--gtest_fail_fast", "--gtest_brief=1"]
        code, out = run(command, build / "tests", timeout=timeouts.get(program), env=env)
        if code is None:
            # A busy machine can make a sound suite slow: a time-out counts
            # only if a second run with three times the limit times out too.
            code, out = run(command, build / "tests", timeout=3 * timeouts.get(program, 60),
                            env=env)
        if code != 0:
            failed = re.findall(r"\[  FAILED  \] (\S+)", out)
            return "killed", program + (": " + failed[0] if failed else " (timed out or crashed)")
    return "survived", ""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--count", type=int, default=150)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default=str(ROOT / "build-mutation"))
    parser.add_argument("--shard", default="0/1", help="K/N: this run's share of the sample")
    parser.add_argument("--list", action="store_true", help="only list the sample, build nothing")
    parser.add_argument("--report", help="also write the result to this file")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    by_family = []
    for names in FAMILIES.values():
        family = [c for c in candidates() if c[2] in names]
        rng.shuffle(family)
        by_family.append(family)
    pool = [c for turn in zip(*by_family) for c in turn]
    shard, shards = (int(x) for x in args.shard.split("/"))
    if shards < 1 or not 0 <= shard < shards:
        sys.exit("--shard K/N needs 0 <= K < N")
    pool = pool[shard::shards]
    count = (args.count + shards - 1 - shard) // shards
    if args.list:
        for rel, number, name, _, mutated in pool[:count]:
            print(f"{rel}:{number}: {name}: {mutated.strip()}")
        return 0

    build = Path(args.build).resolve()
    configure(build)
    code, out = build_targets(build)
    if code != 0:
        sys.exit("the unmutated sources do not build:\n" + out[-4000:])
    timeouts = {}
    env = {**os.environ, "VONDRIX_LANG": "en", "LC_ALL": "C"}
    for program in TEST_PROGRAMS:
        started = time.monotonic()
        code, out = run([str(build / "tests" / program), "--gtest_brief=1"], build / "tests", env=env)
        if code != 0:
            sys.exit(f"{program} fails without a mutant:\n" + out[-4000:])
        # A mutant that makes the suite hang is killed by this limit.
        timeouts[program] = 3 * (time.monotonic() - started) + 20

    results, skipped = [], 0
    for rel, number, name, original, mutated in pool:
        if len(results) == count:
            break
        path = ROOT / rel
        text = path.read_text(encoding="latin-1")
        lines = text.split("\n")
        lines[number - 1] = mutated
        try:
            path.write_text("\n".join(lines), encoding="latin-1")
            code, _ = build_targets(build)
            if code != 0:
                skipped += 1
                continue
            outcome, why = suite(build, timeouts)
        finally:
            path.write_text(text, encoding="latin-1")
        results.append((outcome, rel, number, name, original.strip(), mutated.strip(), why))
        print(f"[{len(results)}/{count}] {outcome:8} {rel}:{number} {name}"
              + (f"  ({why})" if why else ""), flush=True)
    build_targets(build)  # leave the build matching the sources

    killed = sum(1 for r in results if r[0] == "killed")
    lines = [f"mutation sample: seed {args.seed}, shard {args.shard}, {len(results)} mutants of "
             f"{', '.join(SOURCES)}",
             f"killed {killed} / survived {len(results) - killed} / total {len(results)}"
             f" (score {100.0 * killed / max(len(results), 1):.1f} %); {skipped} did not compile",
             "survivors:"]
    lines += [f"  {rel}:{number}: {name}: {original}  ->  {mutated}"
              for outcome, rel, number, name, original, mutated, _ in results if outcome == "survived"]
    print("\n".join(lines))
    if args.report:
        Path(args.report).write_text("\n".join(lines) + "\n", encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
