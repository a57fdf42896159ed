#!/usr/bin/env python3
"""Sums the results of every suite of a test run into one closing line.

Each build folder holds CTest's JUnit report (ctest-junit.xml) and, for the
GoogleTest executables, their own XML reports in test-results/. A GoogleTest
executable counts its test cases; any other CTest test counts as one. A test
that CTest saw fail but whose report shows no failure (a crash at exit, a
timeout) adds one failure.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(report):
    root = ET.parse(report).getroot()
    tests = int(root.get("tests", 0))
    failures = int(root.get("failures", 0)) + int(root.get("errors", 0))
    disabled = int(root.get("disabled", 0))
    skipped = sum(1 for case in root.iter("testcase") if case.find("skipped") is not None)
    return tests - disabled - skipped - failures, failures, skipped


def main(build_dirs):
    passed = failed = skipped = 0
    for build in map(Path, build_dirs):
        junit = build / "ctest-junit.xml"
        if not junit.exists():
            print(f"{build.name}: no test report (build or run failed)")
            failed += 1
            continue
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.get("status") == "run" and case.find("failure") is None
            report = build / "test-results" / f"{name}.xml"
            if report.exists():
                p, f, s = gtest_counts(report)
                if not ok and f == 0:
                    f = 1
            else:
                p, f, s = (1, 0, 0) if ok else (0, 1, 0)
            passed, failed, skipped = passed + p, failed + f, skipped + s
            print(f"{build.name}/{name}: {p} passed, {f} failed" + (f", {s} skipped" if s else ""))
    line = f"{passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
