#!/usr/bin/env python3
"""A failure at each step of saving: `/u` exits 2 with its message, the
shortcut that was at the path is byte for byte as it was (or there is still
none), and no temporary file is left in the folder. Faults that saving must
ride out (short and interrupted writes) still give the whole shortcut.

    save_faults.py MORVIK MORVIK_SAVE_FAULTS

MORVIK_SAVE_FAULTS is the real main linked with save_faults.cpp, which
installs the fault named by MORVIK_TEST_SAVE_FAULT through the file-saving
seam.
"""
import os
import subprocess
import sys
import tempfile

OLD_TARGET = "C:\\Old\\target.exe"
NEW_TARGET = "D:\\New folder\\другой.txt"

# fault, what /u must do
FAILING = ["open", "open_taken", "write", "short_write", "zero_write", "fsync", "close", "rename"]
RIDDEN_OUT = ["trickle", "interrupt"]


def run(binary, args, fault=None):
    env = dict(os.environ)
    env.pop("MORVIK_TEST_SAVE_FAULT", None)
    if fault:
        env["MORVIK_TEST_SAVE_FAULT"] = fault
    return subprocess.run([binary, *args], env=env, capture_output=True)


def main():
    morvik, faulty = sys.argv[1], sys.argv[2]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)
            print("FAIL:", what)

    with tempfile.TemporaryDirectory() as work:
        # What a good save writes, for comparing byte for byte.
        reference = os.path.join(work, "reference.lnk")
        assert run(morvik, ["/u", reference, NEW_TARGET]).returncode == 0
        new_bytes = open(reference, "rb").read()

        cases = [(fault, existing) for fault in FAILING + RIDDEN_OUT for existing in (True, False)]
        for fault, existing in cases:
            name = f"{fault}, {'over an old shortcut' if existing else 'where there was none'}"
            folder = os.path.join(work, f"{fault}-{existing}")
            os.mkdir(folder)
            path = os.path.join(folder, "link.lnk")
            failed_before = len(failures)
            old_bytes = None
            if existing:
                assert run(morvik, ["/u", path, OLD_TARGET]).returncode == 0
                old_bytes = open(path, "rb").read()
            before = sorted(os.listdir(folder))

            result = run(faulty, ["/u", path, NEW_TARGET], fault)
            stderr = result.stderr.decode(errors="replace")
            check(f"morvik_save_faults: injected {fault}\n" in stderr, f"{name}: the fault was not reached ({stderr!r})")
            if fault in FAILING:
                check(result.returncode == 2, f"{name}: exit code {result.returncode}, not 2")
                expected = f"!Error: can'f create Shortcut <{path}>\n".encode()
                check(result.stdout == expected, f"{name}: printed {result.stdout!r}")
                if existing:
                    check(open(path, "rb").read() == old_bytes, f"{name}: the old shortcut changed")
                else:
                    check(not os.path.lexists(path), f"{name}: a file appeared at the path")
                check(sorted(os.listdir(folder)) == before,
                      f"{name}: folder was {before}, is {sorted(os.listdir(folder))}")
            else:
                check(result.returncode == 0, f"{name}: exit code {result.returncode}, not 0")
                check(result.stdout == b"", f"{name}: printed {result.stdout!r}")
                check(open(path, "rb").read() == new_bytes, f"{name}: not the whole new shortcut")
                check(sorted(os.listdir(folder)) == ["link.lnk"], f"{name}: folder holds {os.listdir(folder)}")
            print(f"{'ok  ' if len(failures) == failed_before else 'FAIL'} {name}")

        # Without a fault the test binary saves as the product does.
        plain = os.path.join(work, "plain.lnk")
        result = run(faulty, ["/u", plain, NEW_TARGET])
        check(result.returncode == 0 and open(plain, "rb").read() == new_bytes,
              "without a fault the test binary does not save as morvik does")

    if failures:
        print(f"{len(failures)} failed checks")
        return 1
    print(f"all {len(cases)} fault cases hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
