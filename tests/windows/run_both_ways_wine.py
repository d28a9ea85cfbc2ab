"""Shortcuts both ways between the Linux build and the Windows build under
Wine, for every target of tests/end_to_end/round_trip_table.py:

  ours-to-theirs   the Linux build's /u writes the shortcut; the Windows
                   build's /t under Wine must print the target in its ANSI
                   code page (a character it lacks as '?');
  theirs-to-ours   the Windows build's /u under Wine writes it; the Linux
                   build's /t must print the target exactly.

Where the platform makes a target come out otherwise, that is said below,
by target or by a rule that names its reason, together with what comes out
instead; the run fails when something else comes out.

Usage: run_both_ways_wine.py ours-to-theirs|theirs-to-ours
           --exe morvik.exe --prefix WINEPREFIX --linux-morvik PATH
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "end_to_end"))

from round_trip_table import TARGETS, case_places, fill, prepare_case_folder  # noqa: E402
from wine_support import RUN_LIMIT_SECONDS, Wine, as_printed, encode_ansi, decode_ansi, to_windows  # noqa: E402

UNC_UNREAD = (
    "Wine prints an empty line for a UNC target stored as Windows stores it: it reads neither "
    "LinkInfo's network part nor the ID list's network items (docs/wine-differences.md)"
)

LOSSY = (
    "not in code page 1252: Wine hands main() '?' or a near letter for those characters, so the "
    "shortcut holds another target; ours must read what Wine itself reads from it"
)

# Targets that the Windows build under Wine stores otherwise than ours, and
# what the Linux build then prints, with the reason.
THEIRS_DIFFER = {
    "drive file": (
        r"C:\windows\notepad.exe",
        "the file exists in the Wine prefix, spelled C:\\windows; the ID list holds the names "
        "as they are on disk, as Windows' does, and ours reads the ID list first",
    ),
    "dot and dot-dot segments": (
        r"C:\a\.\b\..\c\.\d.txt",
        "for a path that does not exist Wine keeps '.' and '..' as items of the ID list (only "
        "its LinkInfo holds the resolved path), and ours reads the ID list first",
    ),
    "dot-dot stops at the root": (
        r"C:\..\..\x.txt",
        "Wine keeps '..' items in the ID list, as above",
    ),
    "long-path prefix": (
        r"\\?\C:\Long\x.txt",
        "Wine stores the path with its \\\\?\\ prefix as LinkInfo's local path, and no ID list",
    ),
    "UNC long-path prefix": (
        r"\\?\UNC\server\share\x.txt",
        "Wine stores the path with its \\\\?\\UNC\\ prefix as LinkInfo's local path, and no ID list",
    ),
}


def lossless(text):
    return decode_ansi(encode_ansi(text)) == text


def windows_argument(argument):
    """The argument as one gives it on Windows: a POSIX absolute path on
    drive Z:, the rest as it is (relative paths resolve against the
    current folder, which is the same folder through Z:)."""
    if argument.startswith("/") and not argument.startswith("//"):
        return "Z:" + argument
    return argument


def run_linux(morvik, args, cwd):
    proc = subprocess.run([morvik, *args], cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=RUN_LIMIT_SECONDS)
    return proc.stdout, proc.returncode


def ours_to_theirs(target, folder, places, wine, morvik):
    """Returns None when the case holds, else what went wrong; and the
    reason when the platform makes it differ."""
    argument, expected = fill(target.argument, places), fill(target.expected, places)
    shortcut = os.path.join(folder, "ours.lnk")
    stdout, code = run_linux(morvik, ["/u", shortcut, argument], os.path.join(folder, target.cwd))
    if (stdout, code) != (b"", 0):
        return f"the Linux build's /u failed: exit {code}, {stdout!r}", None
    reason = UNC_UNREAD if expected.startswith("\\\\") else None
    want = as_printed(("" if reason else expected) + "\n")
    stdout, code, stderr = wine.run(["/t", to_windows(shortcut)], cwd=folder)
    if (stdout, code) != (want, 0):
        return f"Wine's /t: expected exit 0, {want!r}; got exit {code}, {stdout!r} (stderr {stderr.strip()!r})", reason
    return None, reason


def theirs_to_ours(target, folder, places, wine, morvik):
    argument, expected = fill(target.argument, places), fill(target.expected, places)
    shortcut = os.path.join(folder, "theirs.lnk")
    stdout, code, stderr = wine.run(["/u", to_windows(shortcut), windows_argument(argument)],
                                    cwd=os.path.join(folder, target.cwd))
    if (stdout, code) != (b"", 0):
        return f"Wine's /u failed: exit {code}, {stdout!r} (stderr {stderr.strip()!r})", None
    stdout, code = run_linux(morvik, ["/t", shortcut], folder)
    if code != 0:
        return f"the Linux build's /t failed: exit {code}, {stdout!r}", None
    ours = stdout.decode("utf-8", "replace")
    if not (lossless(argument) and lossless(expected)):
        wine_stdout, wine_code, _ = wine.run(["/t", to_windows(shortcut)], cwd=folder)
        theirs = decode_ansi(wine_stdout).replace("\r\n", "\n")
        if wine_code != 0 or not same_as_wine_reads(ours, theirs):
            return f"the Linux build's /t printed {ours!r}, Wine's /t {theirs!r} (exit {wine_code})", LOSSY
        return None, LOSSY
    reason = None
    if target.name in THEIRS_DIFFER:
        expected, reason = THEIRS_DIFFER[target.name]
    if ours != expected + "\n":
        return f"the Linux build's /t: expected {expected!r}, got {ours!r}", reason
    return None, reason


def same_as_wine_reads(ours, theirs):
    """Wine reads its own shortcut from LinkInfo, ours from the ID list,
    where Wine's SetPath put what a '?' matched in the prefix: it takes '?'
    as a wildcard. So each '?' Wine reads stands for one character, and
    names compare without regard to case, as on Windows."""
    pattern = "".join("." if ch == "?" else re.escape(ch) for ch in theirs)
    return re.fullmatch(pattern, ours, re.IGNORECASE | re.DOTALL) is not None


DIRECTIONS = {"ours-to-theirs": ours_to_theirs, "theirs-to-ours": theirs_to_ours}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("direction", choices=sorted(DIRECTIONS))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--linux-morvik", required=True)
    options = parser.parse_args()
    wine = Wine(os.path.abspath(options.exe), os.path.abspath(options.prefix))
    morvik = os.path.abspath(options.linux_morvik)
    check = DIRECTIONS[options.direction]

    names = {target.name for target in TARGETS}
    failures = [f"a difference named for a target the table does not have: {name!r}"
                for name in sorted(set(THEIRS_DIFFER) - names)]
    passed = differing = 0
    run_root = os.path.realpath(tempfile.mkdtemp(prefix="morvik-wine-both-"))
    try:
        for number, target in enumerate(TARGETS):
            folder = os.path.join(run_root, str(number))
            os.mkdir(folder)
            prepare_case_folder(folder)
            failure, reason = check(target, folder, case_places(folder), wine, morvik)
            if failure:
                failures.append(f"FAILED {target.name!r} ({target.argument!r}): {failure}"
                                + (f"\n  known difference: {reason}" if reason else ""))
            elif reason:
                differing += 1
                print(f"ok, as documented {target.name!r}: {reason}")
            else:
                passed += 1
                print(f"ok {target.name!r}")
    finally:
        shutil.rmtree(run_root, ignore_errors=True)

    for failure in failures:
        print(failure)
    print(f"{differing} of the passed targets come out otherwise, for the reasons given")
    print(f"{passed + differing} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
