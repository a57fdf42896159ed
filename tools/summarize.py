#!/usr/bin/env python3
"""Sums the results of every suite of a test run into one closing line.

Each build folder holds CTest's JUnit report (ctest-junit.xml) and, for the
GoogleTest executables, their own XML reports in test-results/. A GoogleTest
executable counts its test cases; any other CTest test counts as one. A test
that CTest saw fail but whose report shows no failure (a crash at exit, a
timeout) adds one failure.

Nothing that a failing run leaves may stop the summary: bytes that are not
XML in a report (a failure message quoting raw bytes) are replaced, and a
GoogleTest executable whose report is missing or cut short (a crash, a hang
ended by CTest's timeout) is counted from its console output as CTest kept it,
a test that started and never ended counting as failed. The
names of the failing tests come before the closing line, which is always the
last line: "N passed, N failed" (", N skipped").
"""
import re
import sys
import traceback
import xml.etree.ElementTree as ET
from pathlib import Path

NAME = r"([\w/]+\.[\w/]+)"  # Suite.Test, with GoogleTest's "/" of parameterised tests
CONSOLE = {mark: re.compile(r"^\[ *" + mark + r" *\] " + NAME, re.M) for mark in ("RUN", "OK", "FAILED", "SKIPPED")}


def allowed(code):
    return code in (0x9, 0xA, 0xD) or 0x20 <= code <= 0xD7FF or 0xE000 <= code <= 0xFFFD or 0x10000 <= code <= 0x10FFFF


def read_xml(path):
    """The root element of an XML file, or None when it is missing or unreadable even once cleaned."""
    try:
        text = path.read_bytes().decode("utf-8", "replace")
    except OSError:
        return None
    text = "".join(c if allowed(ord(c)) else "\ufffd" for c in text)

    def reference(m):  # &#1; is no more XML than the byte itself
        return m[0] if allowed(int(m[1][1:], 16) if m[1][0] in "xX" else int(m[1])) else "\ufffd"
    text = re.sub(r"&#([xX][0-9a-fA-F]{1,8}|[0-9]{1,10});", reference, text)
    try:
        return ET.fromstring(text.encode("utf-8"))
    except ET.ParseError:
        return None


def from_report(root):
    """Passed count, failed names, skipped count from a GoogleTest XML report."""
    passed, failed, skipped = 0, [], 0
    for case in root.iter("testcase"):
        name = f"{case.get('classname')}.{case.get('name')}"
        if case.find("failure") is not None or case.find("error") is not None:
            failed.append(name)
        elif case.find("skipped") is not None or case.get("result") == "skipped":
            skipped += 1
        elif case.get("status", "run") == "run":
            passed += 1
    return passed, failed, skipped


def from_console(output):
    """The same from GoogleTest's console output; None when it shows no test started."""
    seen = {mark: list(dict.fromkeys(pattern.findall(output))) for mark, pattern in CONSOLE.items()}
    if not seen["RUN"]:
        return None
    ended = set(seen["OK"]) | set(seen["FAILED"]) | set(seen["SKIPPED"])
    unfinished = [name + " (never ended)" for name in seen["RUN"] if name not in ended]
    return len(seen["OK"]), seen["FAILED"] + unfinished, len(seen["SKIPPED"])


def summarize_build(build, failures):
    junit = read_xml(build / "ctest-junit.xml")
    if junit is None:
        print(f"{build.name}: no readable test report (build or run failed)")
        failures.append(f"{build.name}: no test report")
        return 0, 1, 0
    total = [0, 0, 0]
    for case in junit.iter("testcase"):
        name, status = case.get("name"), case.get("status")
        if status == "disabled":
            continue
        ok = status == "run" and case.find("failure") is None
        output = case.findtext("system-out") or ""
        report = read_xml(build / "test-results" / f"{name}.xml")
        counts = from_report(report) if report is not None else from_console(output)
        p, names, s = counts if counts else ((1, [], 0) if ok else (0, [], 0))
        if not ok and not names:
            failure = case.find("failure")
            names = [f"{status}: {failure.get('message', '')}" if failure is not None else str(status)]
        failures.extend(f"{build.name}/{name}: {n}" for n in names)
        total = [total[0] + p, total[1] + len(names), total[2] + s]
        print(f"{build.name}/{name}: {p} passed, {len(names)} failed" + (f", {s} skipped" if s else ""))
    return tuple(total)


def main(build_dirs):
    passed = failed = skipped = 0
    failures = []
    for build in map(Path, build_dirs):
        try:
            p, f, s = summarize_build(build, failures)
        except Exception:  # the summary still ends with its counts
            traceback.print_exc()
            p, f, s = 0, 1, 0
            failures.append(f"{build.name}: its reports could not be summed")
        passed, failed, skipped = passed + p, failed + f, skipped + s
    for name in failures:
        print(f"FAILED {name}")
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
