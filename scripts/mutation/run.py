#!/usr/bin/env python3
"""Seeded faults: applies one fault at a time to the source tree, builds, runs the tests and
reports which faults no test caught. Run by hand, not in CI:

    python3 scripts/mutation/run.py BUILD_DIR [--faults FILE] [--only ID,ID] [--full]
                                    [--report FILE]

BUILD_DIR is a configured build of this checkout (the normal build of scripts/test.sh). Each
fault names the test folders that should catch it; they run first, and with --full the whole
suite (without the long real-time runs) runs for a fault they missed. The source file is put
back after every fault, also when the script is interrupted.
"""

import argparse
import configparser
import pathlib
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


def suite_fails(build, folders):
    """True when a test of the given folders (None: the whole suite) fails."""
    dirs = [build] if folders is None else [build / folder for folder in folders]
    for test_dir in dirs:
        if not test_dir.exists():
            continue
        code, _ = run(["ctest", "--test-dir", str(test_dir), "-LE", "long", "-j2",
                       "--timeout", "300", "--stop-on-failure"], timeout=1800)
        if code != 0:
            return True
    return False


def try_fault(fault, build, full):
    source = ROOT / fault["file"]
    original = source.read_text(encoding="utf-8")
    if original.count(fault["find"]) != 1:
        return "stale"
    try:
        source.write_text(original.replace(fault["find"], fault["replace"], 1), encoding="utf-8")
        code, _ = run(["cmake", "--build", str(build), "-j2"], timeout=1800)
        if code != 0:
            return "build-failed"
        if suite_fails(build, fault["tests"]):
            return "caught"
        if full and suite_fails(build, None):
            return "caught-elsewhere"
        return "missed"
    finally:
        source.write_text(original, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--faults", default=str(ROOT / "scripts/mutation/faults.txt"))
    parser.add_argument("--only", default="")
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--report")
    args = parser.parse_args()

    build = pathlib.Path(args.build).resolve()
    faults = load_faults(args.faults)
    if args.only:
        wanted = set(args.only.split(","))
        faults = [fault for fault in faults if fault["id"] in wanted]

    results = []
    for fault in faults:
        started = time.monotonic()
        verdict = try_fault(fault, build, args.full)
        results.append((fault["id"], verdict))
        print(f"{fault['id']:<40} {verdict:<16} {time.monotonic() - started:6.0f} s", flush=True)
    run(["cmake", "--build", str(build), "-j2"], timeout=1800)

    counts = {}
    for _, verdict in results:
        counts[verdict] = counts.get(verdict, 0) + 1
    summary = ", ".join(f"{verdict} {count}" for verdict, count in sorted(counts.items()))
    print(f"{len(results)} faults: {summary}")
    if args.report:
        lines = [f"{fault_id} {verdict}" for fault_id, verdict in results]
        pathlib.Path(args.report).write_text("\n".join(lines) + "\n", encoding="utf-8")
    return 1 if any(v in ("missed", "stale", "build-failed") for _, v in results) else 0


if __name__ == "__main__":
    sys.exit(main())
