#!/usr/bin/env python3
"""Mutation testing: how many small faults planted in the product code does the suite catch?

Each mutant changes one line of app/, sim/, input/, scene/ or image/: an arithmetic operator
swapped (+ -, * /), a comparison boundary moved (< <=, > >=), == != or && || flipped, a number
nudged (an integer by one, a decimal literal by one in its last digit) or a statement replaced
by an empty block. The candidates are enumerated in a fixed order and a sample is drawn with a
fixed seed, so the same mutants can be run again before and after a change to the tests.

For each mutant the file is changed in place, the game and both test programs are rebuilt
incrementally in their own build folder, the file is restored, and the suite runs: the logic
tests, then, if they pass, the display tests on a virtual display. A stage that fails is run
once more; the mutant is killed only if it fails again. A mutant whose programs come out
byte for byte as before (dead code, a constant that rounds to the same float) is reported as
unchanged and left out of the score, as is one that does not compile.

  tools/mutate.py [--count N] [--seed S] [--ids FILE] [--list] [--out FILE] [--build DIR]
"""
import argparse
import decimal
import fcntl
import hashlib
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path
from typing import NamedTuple

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ("app", "sim", "input", "scene", "image")
# The platform files this machine's build never compiles (CONVENTIONS.md, "Platforms").
OTHER_PLATFORMS = ("windows", "web")
TARGETS = ("marble", "tests/marble_tests", "tests/marble_display_tests")

# Binary operators: clang-format puts a space on each side, which tells them apart from
# unary minus, pointer stars, ->, ++, +=, << and template brackets.
BINARY = re.compile(r"(?<= )(==|!=|<=|>=|&&|\|\||[-+*/<>])(?= |$)")
SWAPS = {"+": "-", "-": "+", "*": "/", "/": "*", "<": "<=", "<=": "<", ">": ">=", ">=": ">",
         "==": "!=", "!=": "==", "&&": "||", "||": "&&"}
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|(?:\d+\.\d*|\.\d+|\d+)(?:[eE][-+]?\d+)?)"
                    r"([uUlLfF]*)(?![\w.])")
# A statement that is an expression: a call, an assignment or an increment, not a declaration.
STATEMENT = re.compile(r"(?:\+\+|--)?\**[A-Za-z_][\w:]*(?:\s*(?:\.|->)\s*\w+|\[[^\]]*\])*\s*"
                       r"(?:\(|=(?!=)|[-+*/%&|^]=|<<=|>>=|\+\+|--)")
KEYWORDS = re.compile(r"(return|break|continue|goto|throw|case|default|delete|using|typedef|"
                      r"static_assert|sizeof)\b")


class Mutant(NamedTuple):
    path: str
    line: int
    col: int
    old: str
    new: str

    @property
    def id(self):
        return f"{self.path}:{self.line}:{self.col} '{self.old}' -> '{self.new}'"


def mask(text):
    """The text with comments and the insides of string and character literals blanked."""
    out, i, n = list(text), 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        if text.startswith("//", i) or text.startswith("/*", i):
            end = "\n" if text[i + 1] == "/" else "*/"
            j = text.find(end, i + 2)
            j = n if j < 0 else j + (len(end) if end == "*/" else 0)
            blank(i, j)
        elif text[i] in "\"'":
            j = i + 1
            while j < n and text[j] != text[i]:
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, j)
            j += 1
        else:
            j = i + 1
        i = j
    return "".join(out)


def bump(literal):
    """The literal moved by one in its last digit: 7 -> 8, 0x1f -> 0x20, 0.9998 -> 0.9999."""
    if literal[:2] in ("0x", "0X"):
        digits = f"{int(literal, 16) + 1:0{len(literal) - 2}x}"
        return literal[:2] + (digits.upper() if literal[2:].isupper() else digits)
    if literal.isdigit():
        return str(int(literal) + 1)
    value = decimal.Decimal(literal)
    text = str(value + decimal.Decimal(1).scaleb(value.as_tuple().exponent))
    return text if re.search(r"[.eE]", text) else text + ".0"


def brace_kind(stack, pending, before):
    """What a '{' opens, judged from the text since the last ; { or }: an i(nitializer),
    a b(lock) inside a function, a f(unction) body or a t(ype) or namespace."""
    head = pending.strip()
    if stack[-1:] == ["i"] or head.endswith(("=", ",", "(")) or re.match(r"[\w\]]", before):
        return "i"
    if "f" in stack:
        return "b"
    if re.search(r"\b(class|struct|namespace|enum|union)\b", head):
        return "t"
    return "f" if ")" in head else "t"


def mutants_of(path):
    """Every mutant of one file, in line and column order."""
    text = read(ROOT / path)
    lines, masked = text.split("\n"), mask(text).split("\n")
    found, stack, pending, parens, previous = [], [], "", 0, ";"
    for number, (line, code) in enumerate(zip(lines, masked), 1):
        stripped = code.strip()
        if not stripped or stripped.startswith("#"):
            continue
        start_stack, start_parens = list(stack), parens
        for k, c in enumerate(code):
            if c == "{":
                stack.append(brace_kind(stack, pending, code[k - 1] if k else " "))
            elif c == "}" and stack:
                stack.pop()
            elif c in "()":
                parens += 1 if c == "(" else -1
            pending = "" if c in ";{}" else pending + c
        for m in BINARY.finditer(code):
            found.append(Mutant(path, number, m.start() + 1, m.group(1), SWAPS[m.group(1)]))
        for m in NUMBER.finditer(code):
            new = bump(m.group(1)) + m.group(2)
            found.append(Mutant(path, number, m.start() + 1, m.group(0), new))
        if ("f" in start_stack and start_stack[-1] != "i" and start_parens == 0 == parens
                and stack == start_stack and "{" not in stripped and stripped.endswith(";")
                and (previous[-1] in ";{}):" or previous in ("else", "do"))
                and STATEMENT.match(stripped) and not KEYWORDS.match(stripped)):
            col = len(code) - len(code.lstrip())
            found.append(Mutant(path, number, col + 1, line[col:col + len(stripped)], "{}"))
        previous = stripped
    return found


def read(path):
    return path.read_bytes().decode("utf-8", "surrogateescape")


def enumerate_mutants():
    files = sorted(str(p.relative_to(ROOT)) for d in FOLDERS for p in (ROOT / d).iterdir()
                   if p.suffix in (".cpp", ".h")
                   and not any(p.name.endswith(f".{o}.cpp") for o in OTHER_PLATFORMS))
    return sorted(m for f in files for m in mutants_of(f))  # by file, line, column, operator


class Runner:
    def __init__(self, build, jobs, factor):
        self.build, self.jobs, self.factor = ROOT / build, jobs, factor
        self.backups = self.build / "mutate-backup"
        tests = self.build / "tests"
        self.stages = [("logic", [str(tests / "marble_tests")]),
                       ("display", [str(ROOT / "tools/with-xvfb.sh"),
                                    str(tests / "marble_display_tests")])]
        self.timeouts = {}

    def run(self, cmd, timeout=None, cwd=ROOT):
        """(exit status or None on timeout, output). The command runs in a process group of
        its own, so a timeout or an interrupt also ends the virtual display and the game."""
        p = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             text=True, errors="replace", start_new_session=True)
        try:
            out = p.communicate(timeout=timeout)[0]
            return p.returncode, out
        except subprocess.TimeoutExpired:
            return None, "timeout"
        finally:
            if p.poll() is None:
                os.killpg(p.pid, signal.SIGTERM)
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    os.killpg(p.pid, signal.SIGKILL)
                    p.wait()
                p.stdout.close()

    def compile(self):
        cmd = ["cmake", "--build", str(self.build), "-j", str(self.jobs), "--target",
               *(Path(t).name for t in TARGETS)]
        return self.run(cmd, timeout=1800)[0] == 0

    def digest(self):
        h = hashlib.sha1()
        for t in TARGETS:
            h.update((self.build / t).read_bytes())
        return h.hexdigest()

    def stage(self, name, cmd):
        """None when the stage passes, else what failed: the first failing test, a timeout or
        the exit status."""
        status, out = self.run(cmd + ["--gtest_brief=1", "--gtest_fail_fast"],
                               self.timeouts.get(name), cwd=self.build / "tests")
        if status == 0:
            return None
        failed = re.search(r"^\[  FAILED  \] ([\w/]+\.[\w/]+)", out, re.M)
        if failed:
            return failed.group(1)
        if status is None:
            return "timeout"
        return signal.Signals(-status).name if status < 0 else f"exit status {status}"

    def restore_leftovers(self):
        for backup in self.backups.rglob("*") if self.backups.exists() else []:
            if backup.is_file():
                target = ROOT / backup.relative_to(self.backups)
                target.write_bytes(backup.read_bytes())
                backup.unlink()
                print(f"restored {target.relative_to(ROOT)} left mutated by an interrupted run")

    def baseline(self):
        if not (self.build / "CMakeCache.txt").exists():
            status, out = self.run(["cmake", "--preset", "mutate", "-B", str(self.build)])
            if status != 0:
                sys.exit(out + "\nmutate: cmake configuration failed")
        if not self.compile():
            sys.exit(f"mutate: the unmutated code does not build in {self.build}")
        self.original = self.digest()
        for name, cmd in self.stages:
            start = time.monotonic()
            failure = self.stage(name, cmd)
            if failure:
                sys.exit(f"mutate: the unmutated suite fails ({name}: {failure}); fix it first")
            took = time.monotonic() - start
            self.timeouts[name] = max(self.factor * took, 30.0)
            print(f"unmutated {name} tests pass in {took:.1f} s "
                  f"(timeout {self.timeouts[name]:.0f} s)", flush=True)

    def judge(self, m):
        """(outcome, stage, detail) for one mutant."""
        path, backup = ROOT / m.path, self.backups / m.path
        original = path.read_bytes()
        lines = read(path).split("\n")
        line = lines[m.line - 1]
        assert line[m.col - 1:m.col - 1 + len(m.old)] == m.old, m.id
        lines[m.line - 1] = line[:m.col - 1] + m.new + line[m.col - 1 + len(m.old):]
        backup.parent.mkdir(parents=True, exist_ok=True)
        backup.write_bytes(original)
        try:
            path.write_bytes("\n".join(lines).encode("utf-8", "surrogateescape"))
            built = self.compile()
        finally:
            path.write_bytes(original)  # a new mtime: the next build compiles it again
            backup.unlink()
        if not built:
            return "did-not-compile", "", ""
        if self.digest() == self.original:
            return "unchanged", "", "same programs as unmutated"
        flaky = []
        for name, cmd in self.stages:
            first = self.stage(name, cmd)
            if first and self.stage(name, cmd) is None:
                flaky.append(f"flaky {name}: {first}")
            elif first:
                return "killed", name, first
        return "survived", "", "; ".join(flaky)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--count", type=int, default=160, help="sample size (160); 0 runs every mutant")
    ap.add_argument("--seed", type=int, default=1, help="seed of the sample (1)")
    ap.add_argument("--ids", metavar="FILE", help="run the mutants whose ids are listed in FILE, one a line")
    ap.add_argument("--list", action="store_true", help="print the ids of the sample and stop")
    ap.add_argument("--out", metavar="FILE", help="write one tab-separated line per mutant to FILE")
    ap.add_argument("--build", default="build-mutate", help="build folder (build-mutate)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel compile jobs (2)")
    ap.add_argument("--timeout-factor", type=float, default=10.0,
                    help="a stage times out after this many times its unmutated duration (10)")
    args = ap.parse_args()

    runner = Runner(args.build, args.jobs, args.timeout_factor)
    candidates = enumerate_mutants()
    if args.ids:
        wanted = [s.strip() for s in Path(args.ids).read_text().splitlines()
                  if s.strip() and not s.startswith("#")]
        by_id = {m.id: m for m in candidates}
        missing = [i for i in wanted if i not in by_id]
        if missing:
            sys.exit("mutate: no such mutant:\n  " + "\n  ".join(missing))
        sample = [by_id[i] for i in wanted]
    else:
        count = len(candidates) if args.count <= 0 else min(args.count, len(candidates))
        chosen = set(random.Random(args.seed).sample(range(len(candidates)), count))
        sample = [m for k, m in enumerate(candidates) if k in chosen]
    print(f"{len(candidates)} candidate mutants; running {len(sample)}", file=sys.stderr)
    if args.list:
        print("\n".join(m.id for m in sample))
        return

    # One run a build folder: a second would restore, as left over, the file the first has
    # mutated, and rebuild its programs under it.
    runner.build.mkdir(parents=True, exist_ok=True)
    lock = open(runner.build / "mutate.lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        sys.exit(f"mutate: another run is using {args.build}; give this one --build another folder")
    runner.restore_leftovers()

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # restore the file on the way out
    runner.baseline()
    out = open(args.out, "w", buffering=1) if args.out else None
    if out:
        out.write("id\toutcome\tstage\tdetail\tseconds\n")
    results, started = [], time.monotonic()
    for k, m in enumerate(sample, 1):
        start = time.monotonic()
        outcome, stage, detail = runner.judge(m)
        took = time.monotonic() - start
        results.append((m, outcome))
        note = f" ({stage}: {detail})" if stage else f" ({detail})" if detail else ""
        print(f"[{k}/{len(sample)}] {m.id}: {outcome}{note} {took:.1f} s", flush=True)
        if out:
            out.write(f"{m.id}\t{outcome}\t{stage}\t{detail}\t{took:.1f}\n")

    counts = {o: sum(1 for _, r in results if r == o)
              for o in ("killed", "survived", "did-not-compile", "unchanged")}
    scored = counts["killed"] + counts["survived"]
    total = time.monotonic() - started
    print("\n" + ", ".join(f"{o} {n}" for o, n in counts.items()))
    if scored:
        print(f"score {counts['killed']}/{scored} = {100.0 * counts['killed'] / scored:.1f}%")
    print(f"time per mutant {total / max(len(results), 1):.1f} s (total {total / 60:.1f} min)")
    survivors = [m for m, r in results if r == "survived"]
    if survivors:
        print("survivors:")
        for m in survivors:
            source = read(ROOT / m.path).split("\n")[m.line - 1].strip()
            print(f"  {m.id}\n      {source}")


if __name__ == "__main__":
    main()
