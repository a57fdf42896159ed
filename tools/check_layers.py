#!/usr/bin/env python3
"""Fails the build when an include points up a layer or across to a sibling.

core/ is portable: only core/ and the C++ standard library, never a platform
header. framework/ is our Win32 layer and knows nothing of the application.
panel/ and overlay/ build on core/, framework/ and res/, never on each other
(they meet through core/OverlayLink.h); app/ wires everything together.
"""
import re
import sys
from pathlib import Path

STANDARD = set("""
algorithm any array atomic bitset cassert cctype cerrno cfenv cfloat charconv chrono cinttypes climits clocale
cmath codecvt complex condition_variable csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime
cuchar cwchar cwctype deque exception execution filesystem forward_list fstream functional future
initializer_list iomanip ios iosfwd iostream istream iterator limits list locale map memory memory_resource
mutex new numeric optional ostream queue random ratio regex scoped_allocator set shared_mutex sstream stack
stdexcept streambuf string string_view system_error thread tuple type_traits typeindex typeinfo
unordered_map unordered_set utility valarray variant vector
""".split())

ALLOWED = {
    "core": {"core"},
    "framework": {"core", "framework"},
    "panel": {"core", "framework", "panel", "res"},
    "overlay": {"core", "framework", "overlay", "res"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def main(root):
    root = Path(root)
    faults = []
    for layer, allowed in ALLOWED.items():
        for source in sorted((root / layer).glob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            for kind, name in INCLUDE.findall(source.read_text(encoding="utf-8", errors="replace")):
                where = f"{layer}/{source.name}: #include {kind}{name}{'>' if kind == '<' else chr(34)}"
                if kind == '"':
                    if name.split("/")[0] not in allowed:
                        faults.append(f"{where} points outside {', '.join(sorted(allowed))}")
                elif layer == "core" and name not in STANDARD:
                    faults.append(f"{where} is not the C++ standard library")
    for fault in faults:
        print(f"layers: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent))
