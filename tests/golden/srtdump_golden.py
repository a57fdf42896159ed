#!/usr/bin/env python3
"""Golden tests of srtdump's own part: output format, escaping, arguments.

  srtdump_golden.py check WORK_DIR EXPECTED_DIR [--update] -- SRTDUMP_COMMAND...
      Compares exit status and standard output with EXPECTED_DIR/<case>.expected.
  srtdump_golden.py compare WORK_DIR COUNT OTHER_SRTDUMP -- SRTDUMP_COMMAND...
      Requires identical bytes from both programs on COUNT generated files.
SRTDUMP_COMMAND may start with an emulator (wine) before the program.
"""
import random
import subprocess
import sys
from pathlib import Path

THREE = (b"1\n00:00:01,000 --> 00:00:03,500\nOne\n\n2\n00:00:05,000 --> 00:00:07,000\nTwo\nlines\n\n"
         b"3\n00:00:08,250 --> 00:00:09,000\nThree\n\n")
# name: (file bytes or None for a missing file, arguments after the file, or None for no arguments)
CASES = {
    "three_cues_lf": (THREE, []), "offset_at_a_start": (THREE, ["+8250"]), "negative_offset": (THREE, ["-5"]),
    "missing_file": (None, []),
    "escapes": (b"7\n00:00:00,000 --> 00:00:01,000\nback\\slash\ttab\rcr \x01\x1f\x7f \x80\xff caf\xc3\xa9 \"quoted\" ~\n\n"
                b"8\n00:00:02,000 --> 00:00:03,000\n  lead\n  kept\n\n", []),
    "overlong_line_then_cue": (b"1\n00:00:01,000 --> 00:00:02,000\n" + b"x" * 5000 + b"\n2\nmore\n\n"
                               b"3\n00:00:03,000 --> 00:00:04,000\nNext\n\n", []),
    "bad_args_none": (None, None), "bad_args_offset": (THREE, ["12x"]), "bad_args_offset_fraction": (THREE, ["1.5"]),
    "bad_args_too_many": (THREE, ["0", "1"]),
}


def run(command, path, extra):
    result = subprocess.run(command + ([] if extra is None else [str(path)] + extra), capture_output=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


def check(work, expected_dir, command, update):
    failures = 0
    for name, (data, extra) in CASES.items():
        path = work / f"{name}.srt"
        path.unlink(missing_ok=True)
        if data is not None:
            path.write_bytes(data)
        status, out, err = run(command, path, extra)
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


def generated(seed, size):
    """A SubRip-like file with noise: cues in several shapes and line ends, noise, long lines."""
    rnd = random.Random(seed)
    pieces, number = [b"\xef\xbb\xbf"] if rnd.randrange(3) == 0 else [], 1
    stamp = lambda t: "%02d:%02d:%02d,%03d" % (t // 3600000, t // 60000 % 60, t // 1000 % 60, t % 1000)
    while sum(map(len, pieces)) < size:
        kind = rnd.randrange(10)
        if kind < 7:
            ms = number * 1000 + rnd.randrange(500)
            text = "\n".join(f"line {number}.{k} " + "w" * rnd.randrange(30) for k in range(1 + rnd.randrange(3)))
            piece = f"{number}\n{stamp(ms)} --> {stamp(ms + 800)}\n{text}\n\n".encode()
            piece = piece.replace(b"\n", b"\r\n") if rnd.randrange(2) else piece
        elif kind < 9:
            piece = bytes(rnd.choice(b"0123456789 \t\r\n\x1a:,->+.xZ\xff\x00\\") for _ in range(rnd.randrange(40)))
        else:
            piece = b"y" * (400 + rnd.randrange(300))
        pieces.append(piece)
        number += 1
    return b"".join(pieces)


def compare(work, count, other, command):
    failures = 0
    for i in range(count):
        path, offset = work / f"generated_{i}.srt", ["0", "5000", "20000"][i % 3]
        path.write_bytes(generated(i, 2000 + 8000 * i))
        mine, theirs = run(command, path, [offset]), run([other], path, [offset])
        failures += mine != theirs
        print(f"{'FAIL' if mine != theirs else 'ok  '} {path.name} offset {offset}: {mine[1].count(b'cue ')} cues")
    return 1 if failures else 0


def main(argv):
    if "--" not in argv:
        return print(__doc__) or 2
    split = argv.index("--")
    options, command = [o for o in argv[1:split] if o != "--update"], argv[split + 1:]
    Path(options[1]).mkdir(parents=True, exist_ok=True)
    if options[0] == "check":
        return check(Path(options[1]), Path(options[2]), command, "--update" in argv[1:split])
    return compare(Path(options[1]), int(options[2]), options[3], command)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
