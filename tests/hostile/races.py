#!/usr/bin/env python3
"""Writers and readers on one shortcut path at once: 8 processes run `/u`
with their own targets, 200 times each, while 2 others run `/t` on the same
path until the writers are done. Every `/t` must print one of the targets
in full and exit 0 (a reader must never meet a half-written file), and the
file left at the end must be one whole shortcut, byte for byte what `/u`
writes for its target, with no temporary file beside it.

    races.py MORVIK
"""
import os
import subprocess
import sys
import tempfile
import threading

WRITERS = 8
WRITES_EACH = 200
READERS = 2


def target_of(writer):
    # Lengths differ, so that a file mixing two writers' bytes could not
    # pass for either.
    return f"C:\\Race\\writer {writer}\\" + "n" * (10 + 17 * writer) + ".exe"


def main():
    morvik = sys.argv[1]
    targets = [target_of(i) for i in range(WRITERS)]
    with tempfile.TemporaryDirectory() as work:
        whole = {}
        for i, target in enumerate(targets):
            reference = os.path.join(work, f"reference-{i}.lnk")
            subprocess.run([morvik, "/u", reference, target], check=True)
            whole[open(reference, "rb").read()] = target

        folder = os.path.join(work, "race")
        os.mkdir(folder)
        path = os.path.join(folder, "shared.lnk")
        subprocess.run([morvik, "/u", path, targets[0]], check=True)  # readers never see no file

        writer_failures = []
        reads = []
        done = threading.Event()

        def writer(i):
            for _ in range(WRITES_EACH):
                result = subprocess.run([morvik, "/u", path, targets[i]], capture_output=True)
                if result.returncode != 0 or result.stdout:
                    writer_failures.append((i, result.returncode, result.stdout))

        def reader():
            while not done.is_set():
                result = subprocess.run([morvik, "/t", path], capture_output=True)
                reads.append((result.returncode, result.stdout))

        writer_threads = [threading.Thread(target=writer, args=(i,)) for i in range(WRITERS)]
        reader_threads = [threading.Thread(target=reader) for _ in range(READERS)]
        for thread in reader_threads + writer_threads:
            thread.start()
        for thread in writer_threads:
            thread.join()
        done.set()
        for thread in reader_threads:
            thread.join()

        expected_lines = {(target + "\n").encode() for target in targets}
        bad_reads = [read for read in reads if read[0] != 0 or read[1] not in expected_lines]
        seen = {read[1] for read in reads if read[0] == 0 and read[1] in expected_lines}
        final = open(path, "rb").read()
        leftovers = sorted(set(os.listdir(folder)) - {"shared.lnk"})
        final_view = subprocess.run([morvik, "/t", path], capture_output=True).stdout

    failed = False
    print(f"{WRITERS} writers x {WRITES_EACH} saves, {len(reads)} reads; {len(seen)} different targets read")
    if writer_failures:
        failed = True
        print(f"FAIL: {len(writer_failures)} saves failed, first: {writer_failures[0]}")
    if bad_reads:
        failed = True
        print(f"FAIL: {len(bad_reads)} reads gave no whole target, first: {bad_reads[0]}")
    if len(reads) < READERS:
        failed = True
        print("FAIL: the readers did not run")
    if final not in whole:
        failed = True
        print(f"FAIL: the file left at the end ({len(final)} bytes) is not what /u writes for any target")
    elif final_view != (whole[final] + "\n").encode():
        failed = True
        print(f"FAIL: the final file reads as {final_view!r}")
    if leftovers:
        failed = True
        print(f"FAIL: left in the folder: {leftovers}")
    if not failed:
        print("ok: every read gave a whole target; the file left is one whole shortcut")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
