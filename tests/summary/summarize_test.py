#!/usr/bin/env python3
"""tools/summarize.py over what a failing run leaves: a GoogleTest report holding bytes that are not XML, one cut
short, none (a crash, a hang), a failed script, a build with no report. It must still name the failing tests and
end with the counts."""
import subprocess
import sys
import tempfile
from pathlib import Path

REPORT = (b'<testsuites><testsuite><testcase name="Twin" classname="Utf16File" status="run"/>\n'
          b'<testcase name="Pairs" classname="Utf16File" status="run"><failure message="\xED\xB0\x80\xFF\x01 &#x1;">'
          b'\xC3</failure></testcase></testsuite></testsuites>')
CASES = [  # CTest's name, status, failure message and the console output it kept (Wine's line ends in one)
    ("core_tests", "fail", "Failed", "raw \xff\x02"), ("srtdump_golden", "run", "", ""),
    ("e2e_tests", "fail", "Timeout", "[ RUN      ] Panel.Opens\r\n[       OK ] Panel.Opens (5 ms)\r\n"
                                     "[ RUN      ] Overlay.Hangs\r\n"),
    ("win_tests", "fail", "Failed", "[ RUN      ] W.Draws\n[       OK ] W.Draws (1 ms)\n[ RUN      ] W/P.Crashes/0\n"
                                    "[  FAILED  ] W/P.Crashes/0 (9 ms)\n"), ("dist_test", "fail", "Timeout", "")]
EXPECTED = """FAILED native/core_tests: Utf16File.Pairs
FAILED native/e2e_tests: Overlay.Hangs (never ended)
FAILED native/win_tests: W/P.Crashes/0
FAILED native/dist_test: fail: Timeout
FAILED win: no test report
4 passed, 5 failed
"""

with tempfile.TemporaryDirectory() as temp:
    results = Path(temp, "native", "test-results")
    results.mkdir(parents=True)
    (results / "core_tests.xml").write_bytes(REPORT)
    (results / "win_tests.xml").write_bytes(REPORT[:90])  # cut short
    junit = "".join(f'<testcase name="{n}" status="{s}">' + (f'<failure message="{m}"/>' if m else "") +
                    f"<system-out>{out}</system-out></testcase>" for n, s, m, out in CASES)
    Path(temp, "native", "ctest-junit.xml").write_bytes(f"<testsuite>{junit}".encode() + b"\xFF</testsuite>")
    run = subprocess.run([sys.executable, sys.argv[1], str(results.parent), str(Path(temp, "win"))],
                         capture_output=True, text=True)
    if run.returncode != 1 or not run.stdout.endswith(EXPECTED):
        sys.exit(f"exit {run.returncode}, expected 1; output:\n{run.stdout}{run.stderr}")
print("summarize: 4 passed, 5 failed as expected")
