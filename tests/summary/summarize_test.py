#!/usr/bin/env python3
"""tools/summarize.py over the reports a failing run leaves: a GoogleTest report holding bytes that are not XML,
one cut short, none at all (a hang, a crash), a failed script, a build with no report. The run must still end
with the names of the failing tests and the counts."""
import subprocess
import sys
import tempfile
from pathlib import Path

REPORT = (b'<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="2" failures="1">\n<testsuite name="Utf16File">\n'
          b'<testcase name="Twin" classname="Utf16File" status="run" result="completed"/>\n'
          b'<testcase name="Pairs" classname="Utf16File" status="run" result="completed">'
          b'<failure message="got \xED\xB0\x80\xFF\x01 &#x1; &#0;">raw \xC3</failure></testcase>\n</testsuite></testsuites>\n')
CONSOLE = {  # what CTest kept of each executable's output, with Wine's line ends
    "e2e_tests": "[ RUN      ] Panel.Opens\r\n[       OK ] Panel.Opens (5 ms)\r\n[ RUN      ] Overlay.Hangs\r\n",
    "win_tests": "[ RUN      ] W.Draws\n[       OK ] W.Draws (1 ms)\n[ RUN      ] W/Param.Hangs/0\n\n"
                 "[  FAILED  ] W/Param.Hangs/0 (still running after 30 s: given up)\n",
}
EXPECTED = """FAILED native/core_tests: Utf16File.Pairs
FAILED native/e2e_tests: Overlay.Hangs (never ended)
FAILED native/win_tests: W/Param.Hangs/0
FAILED native/dist_test: fail: Timeout
FAILED win: no test report
4 passed, 5 failed
"""


def case(name, status, failure="", out=""):
    failed = f'<failure message="{failure}"/>' if failure else ""
    return f'<testcase name="{name}" status="{status}">{failed}<system-out>{out}</system-out></testcase>'.encode()


with tempfile.TemporaryDirectory() as temp:
    native = Path(temp, "native")
    (native / "test-results").mkdir(parents=True)
    (native / "test-results" / "core_tests.xml").write_bytes(REPORT)
    (native / "test-results" / "win_tests.xml").write_bytes(REPORT[:150])  # cut short
    cases = [case("core_tests", "fail", "Failed", "raw \xff\x02 bytes"), case("srtdump_golden", "run"),
             case("e2e_tests", "fail", "Timeout", CONSOLE["e2e_tests"]),
             case("win_tests", "fail", "Failed", CONSOLE["win_tests"]), case("dist_test", "fail", "Timeout")]
    (native / "ctest-junit.xml").write_bytes(b"<testsuite>" + b"".join(cases) + b"\xFF</testsuite>")
    run = subprocess.run([sys.executable, sys.argv[1], str(native), str(Path(temp, "win"))], capture_output=True,
                         text=True)
    tail = "".join(run.stdout.splitlines(keepends=True)[-6:])
    if run.returncode != 1 or tail != EXPECTED:
        sys.exit(f"exit {run.returncode}, expected 1; output:\n{run.stdout}{run.stderr}")
print("summarize: 4 passed, 5 failed as expected")
