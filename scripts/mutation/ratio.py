#!/usr/bin/env python3
"""Test lines against code lines, by folder: non-blank, non-comment lines of tests/ (without
tests/data) against those of src/, app/ and tools/. bench/ and fuzz/ count as neither.

    python3 scripts/mutation/ratio.py
"""

import pathlib

ROOT = pathlib.Path(__file__).resolve().parents[2]
CPP = {".cpp", ".h", ".hpp", ".c"}
HASH = {".sh", ".py", ".cmake"}


def counted_lines(path):
    hash_comments = path.suffix in HASH or path.name == "CMakeLists.txt"
    if path.suffix not in CPP and not hash_comments:
        return 0
    count = 0
    in_block = False
    for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
        text = line.strip()
        if in_block:
            in_block = "*/" not in text
            continue
        if not text:
            continue
        if hash_comments and text.startswith("#") and not text.startswith("#!"):
            continue
        if not hash_comments and text.startswith("//"):
            continue
        if not hash_comments and text.startswith("/*"):
            in_block = "*/" not in text
            continue
        count += 1
    return count


def by_folder(top, skip=()):
    totals = {}
    for path in sorted((ROOT / top).rglob("*")):
        relative = path.relative_to(ROOT / top)
        if not path.is_file() or any(relative.parts[0] == s for s in skip):
            continue
        folder = relative.parts[0] if len(relative.parts) > 1 else "(top level)"
        totals[folder] = totals.get(folder, 0) + counted_lines(path)
    return totals


def main():
    tests = by_folder("tests", skip=("data",))
    code = {f"src/{k}": v for k, v in by_folder("src").items()}
    code["app"] = sum(by_folder("app").values())
    code["tools"] = sum(by_folder("tools").values())
    print(f"{'folder':<16} {'tests':>7} {'code':>7} {'ratio':>6}")
    for folder in sorted(set(tests) | {k.split("/")[-1] for k in code}):
        code_key = folder if folder in ("app", "tools") else f"src/{folder}"
        test_lines = tests.get(folder, 0)
        code_lines = code.get(code_key, 0)
        ratio = f"{test_lines / code_lines:.2f}" if code_lines else "-"
        print(f"{folder:<16} {test_lines:>7} {code_lines:>7} {ratio:>6}")
    test_total = sum(tests.values())
    code_total = sum(code.values())
    print(f"{'total':<16} {test_total:>7} {code_total:>7} {test_total / code_total:>6.2f}")


if __name__ == "__main__":
    main()
