#!/usr/bin/env python3
"""The saved finds of tests/fixtures/hostile through the real command.

reader/: `morvik /t` on each file gives the expected line and exit code.
round_trip/: each file holds a target (NUL ends it); `morvik /u` either
refuses it (exit 2) or writes a shortcut that `/t` reads back as expected.
Every fixture must have its row here, so that none is left unchecked.

    fixtures_cli.py MORVIK FIXTURES_DIR
"""
import os
import subprocess
import sys
import tempfile

# file -> (exit code, standard output; {path} is the file's path)
READER = {
    "id_list_of_empty_items.lnk": (0, "C:\\x\n"),
    "base_path_longer_than_any_path.lnk": (3, "!Error: can'f create <{path}>\n"),
    "property_string_longer_than_any_path.lnk": (0, "C:\\WINDOWS\\CMD.EXE\n"),
    "property_store_of_empty_strings.lnk": (0, "C:\\WINDOWS\\CMD.EXE\n"),
}

# file -> target that /t gives back, or None when /u must refuse it
ROUND_TRIP = {
    "long_path_prefix_alone.txt": None,
    "unc_server_outside_1252.txt": "\\\\сервер\\share\\f.txt",
    "unc_share_outside_1252.txt": "\\\\server\\Общий\\f.txt",
}


def main():
    morvik, fixtures = sys.argv[1], sys.argv[2]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)
            print("FAIL:", what)
        return ok

    for folder, table in (("reader", READER), ("round_trip", ROUND_TRIP)):
        present = sorted(n for n in os.listdir(os.path.join(fixtures, folder)) if not n.startswith("."))
        check(present == sorted(table), f"{folder}/ holds {present}, the table names {sorted(table)}")

    for name, (code, stdout) in READER.items():
        path = os.path.join(fixtures, "reader", name)
        result = subprocess.run([morvik, "/t", path], capture_output=True)
        ok = check(result.returncode == code and result.stdout == stdout.format(path=path).encode(),
                   f"reader/{name}: exit {result.returncode}, printed {result.stdout[:200]!r}")
        print(f"{'ok  ' if ok else 'FAIL'} reader/{name}")

    with tempfile.TemporaryDirectory() as work:
        for name, expected in ROUND_TRIP.items():
            target = open(os.path.join(fixtures, "round_trip", name), "rb").read().split(b"\0")[0]
            path = os.path.join(work, name + ".lnk")
            made = subprocess.run([morvik, "/u", path, target], capture_output=True)
            if expected is None:
                ok = check(made.returncode == 2 and not os.path.lexists(path),
                           f"round_trip/{name}: /u gave {made.returncode}, not a refusal")
            else:
                view = subprocess.run([morvik, "/t", path], capture_output=True)
                ok = check(made.returncode == 0 and view.returncode == 0 and
                           view.stdout == (expected + "\n").encode(),
                           f"round_trip/{name}: /u {made.returncode}, /t {view.returncode} {view.stdout!r}")
            print(f"{'ok  ' if ok else 'FAIL'} round_trip/{name}")

    if failures:
        print(f"{len(failures)} failed checks")
        return 1
    print("every fixture holds")
    return 0


if __name__ == "__main__":
    sys.exit(main())
