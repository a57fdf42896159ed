#!/usr/bin/env python3
"""Golden tests of srtdump's own part (output format, escaping, arguments): exit status and standard output
against EXPECTED_DIR/<case>.expected. SRTDUMP_COMMAND may start with an emulator (wine) before the program.

  srtdump_golden.py WORK_DIR EXPECTED_DIR [--update] -- SRTDUMP_COMMAND...
"""
import subprocess
import sys
from pathlib import Path

THREE = (b"1\n00:00:01,000 --> 00:00:03,500\nOne\n\n2\n00:00:05,000 --> 00:00:07,000\nTwo\nlines\n\n"
         b"3\n00:00:08,250 --> 00:00:09,000\nThree\n\n")
VTT = (b"\xef\xbb\xbfWEBVTT - golden\r\n\r\nNOTE between\r\n\r\n1\r\n00:01.000 --> 00:04.000 align:start\r\n"
       b"<v Ann>Hi <i>there</i> &amp; &lt;3&nbsp;caf&#xE9;\r\n\r\n01:00:00.000 --> 01:00:00.001\r\n<b>late\r\n\r\n"
       b"00:05.000 --> 00:06.000\r\n<ruby>\xe6\xbc\xa2<rt>kan</rt></ruby>\tend\r\n\r\n00:07.000 --> 00:07.000\r\nnever\r\n")
ASS = (b"[Script Info]\nScriptType: v4.00+\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, "
       b"MarginV, Effect, Text\nDialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,Second, with a comma\n"
       b"Dialogue: 0,0:00:01.00,0:00:02.50,Default,,0,0,0,,{\\an8\\i1}First{\\i0}\\N{\\c&H00FF00&}green <x>\n"
       b"Comment: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,hidden\n"
       b"Dialogue: 0,0:00:05.00,0:00:07.00,Default,,0,0,0,,{\\p1}m 0 0 l 10 10{\\p0}\n")
# name: (file bytes or None for a missing file, arguments after the file, or None for no arguments)
CASES = {
    "three_cues_lf": (THREE, []), "offset_at_a_start": (THREE, ["+8250"]), "negative_offset": (THREE, ["-5"]),
    "missing_file": (None, []),
    "escapes": (b"7\n00:00:00,000 --> 00:00:01,000\nback\\slash\ttab\rcr \x01\x1f\x7f \x80\xff caf\xc3\xa9 \"quoted\" ~\n\n"
                b"8\n00:00:02,000 --> 00:00:03,000\n  lead\n  kept\n\n", []),
    # WebVTT and ASS/SSA are told by their content: the file names stay .srt.
    "webvtt": (VTT, []), "webvtt_offset": (VTT, ["4000"]), "webvtt_offset_past_all": (VTT, ["3600001"]),
    "ass": (ASS, []), "ass_offset": (ASS, ["1500"]),
    "bad_args_none": (None, None), "bad_args_offset": (THREE, ["12x"]), "bad_args_offset_fraction": (THREE, ["1.5"]),
    "bad_args_too_many": (THREE, ["0", "1"]),
}


def check(work, expected_dir, command, update):
    failures = 0
    for name, (data, extra) in CASES.items():
        path = work / f"{name}.srt"
        path.unlink(missing_ok=True)
        if data is not None:
            path.write_bytes(data)
        run = subprocess.run(command + ([] if extra is None else [str(path)] + extra), capture_output=True, timeout=120)
        status, out, err = run.returncode, run.stdout, run.stderr
        # A failure: one line on stderr and nothing on stdout; else nothing on stderr.
        err_lines = err.replace(b"\r\n", b"\n").splitlines()
        stderr_ok = (len(err_lines) == 1 and err_lines[0].strip() and not out) if status == 2 else not err
        actual, golden = b"status %d\n" % status + out, expected_dir / f"{name}.expected"
        if update:
            golden.write_bytes(actual)
        want = golden.read_bytes() if golden.exists() else b"<missing>\n"
        if want != actual or not stderr_ok:
            failures += 1
            print(f"FAIL {name}: stderr {err!r}\n--- expected\n{want.decode('latin-1')}--- actual\n"
                  f"{actual.decode('latin-1')}")
    print(f"{len(CASES) - failures} of {len(CASES)} cases match")
    return 1 if failures else 0


if __name__ == "__main__":
    if "--" not in sys.argv:
        sys.exit(print(__doc__) or 2)
    split = sys.argv.index("--")
    work, expected = (Path(o) for o in sys.argv[1:split] if o != "--update")
    work.mkdir(parents=True, exist_ok=True)
    sys.exit(check(work, expected, sys.argv[split + 1:], "--update" in sys.argv[1:split]))
