#!/usr/bin/env python3
"""Seeded faults: applies one fault at a time to the source tree, builds, runs the tests and
reports which faults no test caught. Run by hand, not in CI:

    python3 scripts/mutation/run.py BUILD_DIR [--faults FILE] [--only ID,ID] [--full]
                                    [--every] [--report FILE] [--skip REGEX]

BUILD_DIR is a configured build of this checkout (the normal build of scripts/test.sh). Each
fault names the test folders that should catch it; they run first, and with --full the whole
suite runs for a fault they missed. The source file is put back after every fault, also when
the script is interrupted. With --every the named folders' tests all run and the report lists
every test that failed, not only the first: a test that is no fault's only catcher is a
candidate for cutting.
"""

import argparse
import configparser
import datetime
import json
import os
import pathlib
import re
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]


def load_faults(path):
    parser = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    faults = []
    for fault_id in parser.sections():
        section = parser[fault_id]
        faults.append({
            "id": fault_id,
            "file": section["file"],
            "find": section["find"],
            "replace": section.get("replace", ""),
            "tests": section["tests"].split(),
        })
    return faults


def run(command, timeout):
    try:
        result = subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, timeout=timeout, text=True)
        return result.returncode, result.stdout
    except subprocess.TimeoutExpired:
        return -1, "timed out"


def targets_of(build, folders):
    """The build targets whose programs the tests of the given folders run (None: all)."""
    if folders is None:
        return None
    _, listing = run(["cmake", "--build", str(build), "--target", "help"], timeout=120)
    known = {line[4:].split()[0] for line in listing.splitlines() if line.startswith("... ")}
    wanted = set()
    for folder in folders:
        code, text = run(["ctest", "--test-dir", str(build / folder), "--show-only=json-v1"],
                         timeout=120)
        if code != 0:
            continue
        try:
            tests = json.loads(text[text.find("{"):]).get("tests", [])
        except ValueError:
            return None
        for test in tests:
            for argument in test.get("command", []):
                name = os.path.basename(argument)
                if name in known and argument.startswith(str(build)):
                    wanted.add(name)
    return sorted(wanted) or None


def build_fails(build, targets):
    command = ["cmake", "--build", str(build), "-j2"]
    if targets:
        command += ["--target", *targets]
    code, _ = run(command, timeout=1800)
    return code != 0


SKIPPED = "^(source_format|folder_layers)$"


def failing_tests(build, folders, every=False):
    """The failing tests of the given folders (None: the whole suite): the first one, or with
    `every` all of them."""
    dirs = [build] if folders is None else [build / folder for folder in folders]
    failed = []
    for test_dir in dirs:
        if not test_dir.exists():
            continue
        # The checks of the source text itself would fail on any unformatted fault.
        command = ["ctest", "--test-dir", str(test_dir), "-E", SKIPPED,
                   "-j2", "--timeout", "300"]
        code, output = run(command if every else command + ["--stop-on-failure"],
                           timeout=1800)
        if code == 0:
            continue
        listing = output.split("The following tests FAILED:")[-1]
        names = re.findall(r"^\s*\d+ - (\S+)", listing, flags=re.MULTILINE)
        # A folder nested in an earlier one repeats its failures: they are listed once.
        failed += [name for name in names if name not in failed] if names else [test_dir.name]
        if not every:
            return failed[:1]
    return failed


def faulty(original, find, replace):
    """The text with the fault applied, or None when `find` does not occur exactly once.

    A one-line `find` is a snippet anywhere in a line. A multi-line one (configparser drops the
    continuation lines' indentation) matches whole lines whatever their indentation, and the
    replacement lines take the indentation of the first matched line."""
    if "\n" not in find:
        return original.replace(find, replace, 1) if original.count(find) == 1 else None
    wanted = [line.strip() for line in find.split("\n")]
    lines = original.split("\n")
    starts = [i for i in range(len(lines) - len(wanted) + 1)
              if all(lines[i + k].strip() == wanted[k] for k in range(len(wanted)))]
    if len(starts) != 1:
        return None
    first = starts[0]
    indent = lines[first][:len(lines[first]) - len(lines[first].lstrip())]
    new = [indent + line.strip() if line.strip() else "" for line in replace.split("\n")]
    new = [] if not replace.strip() else new
    return "\n".join(lines[:first] + new + lines[first + len(wanted):])


def try_fault(fault, build, full, targets, every):
    source = ROOT / fault["file"]
    original = source.read_text(encoding="utf-8")
    changed = faulty(original, fault["find"], fault["replace"])
    if changed is None or changed == original:
        return "stale", ""
    try:
        source.write_text(changed, encoding="utf-8")
        if build_fails(build, targets):
            return "build-failed", ""
        failed = failing_tests(build, fault["tests"], every)
        if failed:
            return "caught", " ".join(failed)
        if full and not build_fails(build, None):
            failed = failing_tests(build, None)
            if failed:
                return "caught-elsewhere", failed[0]
        return "missed", ""
    finally:
        source.write_text(original, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--faults", default=str(ROOT / "scripts/mutation/faults.txt"))
    parser.add_argument("--only", default="")
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--every", action="store_true")
    parser.add_argument("--report")
    # Tests to leave out besides the source-text checks, e.g. a slow browser run for faults
    # that cannot reach its page.
    parser.add_argument("--skip")
    args = parser.parse_args()
    if args.skip:
        global SKIPPED
        SKIPPED = "^(source_format|folder_layers)$|" + args.skip

    build = pathlib.Path(args.build).resolve()
    faults = load_faults(args.faults)
    if args.only:
        wanted = set(args.only.split(","))
        faults = [fault for fault in faults if fault["id"] in wanted]

    # Only the programs the named folders' tests run are built for a fault; a full build per
    # fault would relink every program for nothing.
    targets = {}
    results = []
    began = time.monotonic()
    for fault in faults:
        started = time.monotonic()
        key = " ".join(fault["tests"])
        if key not in targets:
            targets[key] = targets_of(build, fault["tests"])
        verdict, test = try_fault(fault, build, args.full, targets[key], args.every)
        seconds = time.monotonic() - started
        results.append((fault["id"], verdict, seconds, test))
        print(f"{fault['id']:<40} {verdict:<16} {seconds:6.0f} s  {test}", flush=True)
    run(["cmake", "--build", str(build), "-j2"], timeout=1800)

    counts = {}
    for _, verdict, _, _ in results:
        counts[verdict] = counts.get(verdict, 0) + 1
    summary = ", ".join(f"{verdict} {count}" for verdict, count in sorted(counts.items()))
    total = time.monotonic() - began
    print(f"{len(results)} faults: {summary} ({total:.0f} s)")
    if args.report:
        _, commit = run(["git", "rev-parse", "--short", "HEAD"], timeout=60)
        when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
        mode = "full suite for misses" if args.full else "named folders"
        mode += ", every failing test" if args.every else ""
        lines = [f"# {when}, commit {commit.strip()}, {mode}: {summary}, {total:.0f} s"]
        lines += [f"{fault_id:<40} {verdict:<16} {seconds:5.0f} s  {test}".rstrip()
                  for fault_id, verdict, seconds, test in results]
        pathlib.Path(args.report).write_text("\n".join(lines) + "\n", encoding="utf-8")
    return 1 if any(v in ("missed", "stale", "build-failed") for _, v, _, _ in results) else 0


if __name__ == "__main__":
    sys.exit(main())
