#!/usr/bin/env python3
"""Golden tests of srtdump, on SubRip files this script writes itself.

  srtdump_golden.py check WORK_DIR EXPECTED_DIR -- SRTDUMP_COMMAND...
      Runs every case and compares standard output and exit status with the
      checked-in EXPECTED_DIR/<case>.expected. --update rewrites those files.
  srtdump_golden.py compare WORK_DIR COUNT OTHER_SRTDUMP -- SRTDUMP_COMMAND...
      Runs both programs on COUNT generated files and requires identical bytes
      (the Windows build against the native one).

SRTDUMP_COMMAND may start with an emulator (wine) before the program.
"""
import subprocess
import sys
from pathlib import Path

CRLF = {"crlf": True}


def srt(*blocks, crlf=False, tail="\n"):
    """Blocks of (number, timing line, text lines...) joined as a SubRip file."""
    text = ""
    for number, timing, *lines in blocks:
        text += f"{number}\n{timing}\n" + "".join(line + "\n" for line in lines) + tail
    data = text.encode("latin-1")
    return data.replace(b"\n", b"\r\n") if crlf else data


THREE = [
    (1, "00:00:01,000 --> 00:00:03,500", "One"),
    (2, "00:00:05,000 --> 00:00:07,000", "Two", "lines"),
    (3, "00:00:08,250 --> 00:00:09,000", "Three"),
]

# name: (file bytes or None for a missing file, extra arguments)
CASES = {
    "three_cues_lf": (srt(*THREE), []),
    "three_cues_crlf": (srt(*THREE, crlf=True), []),
    "skip_to_offset": (srt(*THREE, crlf=True), ["2000"]),
    "offset_at_a_start": (srt(*THREE), ["+8250"]),
    "offset_past_last_start": (srt(*THREE), ["8251"]),
    "negative_offset": (srt(*THREE), ["-5"]),
    "missing_file": (None, []),
    "empty_file": (b"", []),
    "only_blank_lines": (b"\r\n\r\n \t\n", []),
    "byte_order_mark": (b"\xef\xbb\xbf" + srt(*THREE[:2], crlf=True), []),
    "escapes": (srt((7, "00:00:00,000 --> 00:00:01,000",
                     "back\\slash\ttab\rcr \x01\x1f\x7f \x80\xff caf\xc3\xa9 \"quoted\" ~"),
                    (8, "00:00:02,000 --> 00:00:03,000", "  lead", "  kept")), []),
    "malformed_headers": (
        b"1\n00:00:01,000 --> 00:00:02,000 X1:100 Y1:200\nCoordinates\n\n"
        b"2\n00:00:03.500 --> 00:00:04,000\nDot\n\n"
        b"3\n00:00:05,000 --> 00:00:06,000\nSpace separator\n \n"
        b"4\n00:00:07,000 --> 00:00:08,000\nJoined\n\n"
        b"5\n00:00:09,000 --> 00:00:10,000\n\n"
        b"6\n00:00:11,000 --> 00:00:12,000\nSwallowed\n\n"
        b"7 00:00:13,5-->00:00:14,05\nOne line header\n\n"
        b"Stray text\n\n"
        b"9\n00:00:15,000 --> 00:00:16,000\nAfter stray\n\n", []),
    "long_text": (b"1\n00:00:01,000 --> 00:00:02,000\n" + b"abcdefghij" * 49 + b"klmnopqrXY"
                  + b"2\n00:00:03,000 --> 00:00:04,000\nShort\n\n", []),
    "overlong_line_then_cue": (b"1\n00:00:01,000 --> 00:00:02,000\n" + b"x" * 5000 + b"\n2\nmore\n\n"
                               b"3\n00:00:03,000 --> 00:00:04,000\nNext\n\n", []),
    "nul_and_ctrl_z": (b"1\n00:00:01,000 --> 00:00:02,000\nBefore\x00after\nmore\n\n"
                       b"2\n00:00:03,000 --> 00:00:04,000\nCut\x1ahidden\n\n"
                       b"3\n00:00:05,000 --> 00:00:06,000\nNever\n\n", []),
    "last_line_without_line_end": (b"1\r\n00:00:01,000 --> 00:00:02,000\r\nFirst\r\n\r\n"
                                   b"2\r\n00:00:03,000 --> 00:00:04,000\r\nNo line end", []),
    "last_block_single_line_end": (srt(*THREE, tail=""), []),
    "lone_cr_line_ends": (b"1\r00:00:01,000 --> 00:00:02,000\rOld Mac\r\r2\r00:00:03,000 --> 00:00:04,000\rB\r\r",
                          []),
    "large_numbers": (b"4294967297\n2147483647:59:59,999 --> -2147483648:0:0,-1\nHuge\n\n"
                      b"2\n99999999999:00:00,000 --> 00:00:00,4294967296\nWrapped\n\n", []),
    "bad_args_none": (None, "noargs"),
    "bad_args_offset": (srt(*THREE), ["12x"]),
    "bad_args_offset_fraction": (srt(*THREE), ["1.5"]),
    "bad_args_too_many": (srt(*THREE), ["0", "1"]),
}


def run(command, path, extra):
    args = [] if extra == "noargs" else [str(path)] + extra
    result = subprocess.run(command + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return result.returncode, result.stdout, result.stderr


def render(status, out, err):
    """The golden form: the exit status, then stdout as it is; stderr must be
    one line for a failure and nothing otherwise."""
    return b"status %d\n" % status + out


def check(work, expected_dir, command, update):
    work.mkdir(parents=True, exist_ok=True)
    failures = 0
    for name, (data, extra) in CASES.items():
        path = work / f"{name}.srt"
        if path.exists():
            path.unlink()
        if data is not None:
            path.write_bytes(data)
        status, out, err = run(command, path, extra)
        problems = []
        lines = err.replace(b"\r\n", b"\n").splitlines()
        if status == 2 and (len(lines) != 1 or not lines[0].strip() or out):
            problems.append(f"expected one line on stderr and nothing on stdout, got {err!r} / {out!r}")
        if status != 2 and err:
            problems.append(f"unexpected stderr {err!r}")
        actual = render(status, out, err)
        golden = expected_dir / f"{name}.expected"
        if update:
            golden.write_bytes(actual)
        elif not golden.exists() or golden.read_bytes() != actual:
            want = golden.read_bytes() if golden.exists() else b"<missing>"
            problems.append(f"output differs\n--- expected\n{want.decode('latin-1')}--- actual\n"
                            f"{actual.decode('latin-1')}")
        if problems:
            failures += 1
            print(f"FAIL {name}: " + "\n".join(problems))
        else:
            print(f"ok   {name}")
    print(f"{len(CASES) - failures} of {len(CASES)} cases match")
    return 1 if failures else 0


def generated(seed, size):
    """A SubRip-like file with noise: cues in several shapes and line ends."""
    state = seed * 2654435761 + 1
    def rnd(n):
        nonlocal state
        state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        return (state >> 33) % n
    pieces = [b"\xef\xbb\xbf"] if rnd(3) == 0 else []
    noise = b"0123456789 \t\r\n\x1a:,->+.xZ\xff\x00\\"
    number = 1
    length = 0
    while length < size:
        kind = rnd(10)
        if kind < 7:
            ms = number * 1000 + rnd(500)
            timing = "%02d:%02d:%02d,%03d --> %02d:%02d:%02d,%03d" % (
                ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000,
                (ms + 800) // 3600000, (ms + 800) // 60000 % 60, (ms + 800) // 1000 % 60, (ms + 800) % 1000)
            text = "\n".join("line %d.%d %s" % (number, k, "w" * rnd(30)) for k in range(1 + rnd(3)))
            piece = f"{number}\n{timing}\n{text}\n\n".encode()
            if rnd(2):
                piece = piece.replace(b"\n", b"\r\n")
        elif kind < 9:
            piece = bytes(noise[rnd(len(noise))] for _ in range(rnd(40)))
            if 0x1a in piece and rnd(4):
                piece = piece.replace(b"\x1a", b"\r")
        else:
            piece = b"y" * (400 + rnd(300))
        pieces.append(piece)
        length += len(piece)
        number += 1
    return b"".join(pieces)


def compare(work, count, other, command):
    work.mkdir(parents=True, exist_ok=True)
    failures = 0
    for i in range(count):
        path = work / f"generated_{i}.srt"
        path.write_bytes(generated(i, 2000 + 8000 * i))
        offset = ["0", "5000", "20000"][i % 3]
        mine = run(command, path, [offset])
        theirs = run([other], path, [offset])
        if mine != theirs:
            failures += 1
            print(f"FAIL {path.name} offset {offset}: outputs differ ({len(mine[1])} and {len(theirs[1])} bytes)")
        else:
            print(f"ok   {path.name} offset {offset}: {mine[1].count(b'cue ')} cues, {len(mine[1])} bytes")
    return 1 if failures else 0


def main(argv):
    if "--" not in argv or len(argv) < 4:
        print(__doc__)
        return 2
    split = argv.index("--")
    options, command = argv[1:split], argv[split + 1:]
    update = "--update" in options
    options = [o for o in options if o != "--update"]
    if options[0] == "check":
        return check(Path(options[1]), Path(options[2]), command, update)
    if options[0] == "compare":
        return compare(Path(options[1]), int(options[2]), options[3], command)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
