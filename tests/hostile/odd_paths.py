#!/usr/bin/env python3
"""Shortcut paths that are not what they seem.

  - a symbolic link at the path is replaced by the shortcut, never written
    through: the file (or folder) it points at stays as it was;
  - a folder the process may not write: `/u` exits 2 and the folder stays
    as it was. Permissions do not stop root, so as root the command runs as
    the user nobody (setpriv), and the case is skipped, saying so, when
    that cannot be done;
  - a path with a newline or a percent sign is a path like any other, in
    what is written and in the messages;
  - `/t` on what is not a regular file (a pipe, a device, a symbolic-link
    loop, a link to a folder) fails at once with exit 3, never waits;
  - a file whose size memory cannot hold (sparse) fails to read, exit 3.

    odd_paths.py MORVIK [--sanitized]

--sanitized: MORVIK is built with AddressSanitizer, whose operator new ends
the process when memory cannot be had instead of throwing; the sparse-file
case is then skipped.
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile

TARGET = "C:\\Tools\\tool.exe"
failures = []
skips = []


def run(morvik, *args, as_nobody=False):
    command = [morvik, *args]
    if as_nobody:
        command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", *command]
    return subprocess.run(command, capture_output=True)


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)
    return ok


def listing(folder):
    return sorted((name, open(os.path.join(folder, name), "rb").read() if os.path.isfile(os.path.join(folder, name))
                   else None) for name in os.listdir(folder))


def replaced_not_followed(morvik, work, name, make_link):
    """make_link(link_path, folder) makes the link and returns a snapshot function of what it points at."""
    folder = os.path.join(work, name)
    os.mkdir(folder)
    path = os.path.join(folder, "link.lnk")
    snapshot = make_link(path, folder)
    before = snapshot()
    result = run(morvik, "/u", path, TARGET)
    ok = check(result.returncode == 0 and result.stdout == b"", f"{name}: /u gave {result.returncode} {result.stdout!r}")
    ok &= check(not os.path.islink(path) and os.path.isfile(path), f"{name}: the path is not a regular file now")
    ok &= check(snapshot() == before, f"{name}: what the link pointed at changed")
    view = run(morvik, "/t", path)
    ok &= check(view.stdout == (TARGET + "\n").encode(), f"{name}: /t gives {view.stdout!r}")
    ok &= check(not any(n.startswith(".morvik-") for n in os.listdir(folder)), f"{name}: temporary file left")
    print(f"{'ok  ' if ok else 'FAIL'} {name}")


def symlink_cases(morvik, work):
    def to_file(path, folder):
        victim = os.path.join(work, "victim.txt")
        with open(victim, "wb") as out:
            out.write(b"precious, not a shortcut\n")
        os.symlink(victim, path)
        return lambda: open(victim, "rb").read()

    def to_shortcut(path, folder):
        other = os.path.join(work, "other.lnk")
        subprocess.run([morvik, "/u", other, "E:\\other.txt"], check=True)
        os.symlink(other, path)
        return lambda: open(other, "rb").read()

    def dangling(path, folder):
        missing = os.path.join(work, "nowhere", "missing.lnk")
        os.symlink(missing, path)
        return lambda: os.path.lexists(missing) or os.path.lexists(os.path.dirname(missing))

    def to_folder(path, folder):
        inside = os.path.join(work, "pointed-folder")
        os.mkdir(inside)
        os.symlink(inside, path)
        return lambda: listing(inside)

    def relative(path, folder):
        with open(os.path.join(folder, "beside.txt"), "wb") as out:
            out.write(b"beside\n")
        os.symlink("beside.txt", path)
        return lambda: open(os.path.join(folder, "beside.txt"), "rb").read()

    replaced_not_followed(morvik, work, "symlink to a file", to_file)
    replaced_not_followed(morvik, work, "symlink to another shortcut", to_shortcut)
    replaced_not_followed(morvik, work, "dangling symlink", dangling)
    replaced_not_followed(morvik, work, "symlink to a folder", to_folder)
    replaced_not_followed(morvik, work, "relative symlink", relative)


def read_only_folder(morvik, work):
    name = "folder the process may not write"
    as_nobody = os.geteuid() == 0
    if as_nobody and shutil.which("setpriv") is None:
        skips.append(name)
        print(f"skipped: {name}: running as root, whom permissions do not stop, and setpriv is absent")
        return
    folder = os.path.join(work, "read-only")
    os.mkdir(folder)
    path = os.path.join(folder, "link.lnk")
    subprocess.run([morvik, "/u", path, "E:\\before.txt"], check=True)
    os.chmod(path, 0o644)
    os.chmod(folder, 0o555)
    before = listing(folder)
    try:
        result = run(morvik, "/u", path, TARGET, as_nobody=as_nobody)
        new = run(morvik, "/u", os.path.join(folder, "new.lnk"), TARGET, as_nobody=as_nobody)
    finally:
        os.chmod(folder, 0o755)
    who = " (as nobody: root is not stopped by permissions)" if as_nobody else ""
    ok = check(result.returncode == 2, f"{name}: replacing gave exit {result.returncode}")
    ok &= check(result.stdout == f"!Error: can'f create Shortcut <{path}>\n".encode(), f"{name}: printed {result.stdout!r}")
    ok &= check(new.returncode == 2, f"{name}: creating gave exit {new.returncode}")
    ok &= check(listing(folder) == before, f"{name}: the folder changed")
    print(f"{'ok  ' if ok else 'FAIL'} {name}{who}")


def odd_names(morvik, work):
    names = ["new\nline.lnk", "100%.lnk", "%s%n%d%x.lnk", "%%\n%s\n.lnk", " lead and trail .lnk"]
    for name in names:
        folder = os.path.join(work, "odd " + str(names.index(name)) + "\n%s")
        os.mkdir(folder)
        path = os.path.join(folder, name)
        made = run(morvik, "/u", path, TARGET)
        view = run(morvik, "/t", path)
        ok = check(made.returncode == 0 and made.stdout == b"", f"{name!r}: /u gave {made.returncode} {made.stdout!r}")
        ok &= check(sorted(os.listdir(folder)) == [name], f"{name!r}: folder holds {os.listdir(folder)!r}")
        ok &= check(view.returncode == 0 and view.stdout == (TARGET + "\n").encode(), f"{name!r}: /t gave {view.stdout!r}")
        # Messages print the path as it is, percent signs and newlines too.
        missing = os.path.join(folder, "missing %s\n", name)
        failed_u = run(morvik, "/u", missing, TARGET)
        failed_t = run(morvik, "/t", missing)
        ok &= check(failed_u.returncode == 2 and failed_u.stdout == f"!Error: can'f create Shortcut <{missing}>\n".encode(),
                    f"{name!r}: failed /u gave {failed_u.returncode} {failed_u.stdout!r}")
        ok &= check(failed_t.returncode == 3 and failed_t.stdout == f"!Error: can'f create <{missing}>\n".encode(),
                    f"{name!r}: failed /t gave {failed_t.returncode} {failed_t.stdout!r}")
        print(f"{'ok  ' if ok else 'FAIL'} path named {name!r}")


def not_regular_files(morvik, work):
    folder = os.path.join(work, "not regular")
    os.mkdir(folder)
    fifo = os.path.join(folder, "pipe.lnk")
    os.mkfifo(fifo)
    loop = os.path.join(folder, "loop.lnk")
    os.symlink(loop, loop)
    to_folder = os.path.join(folder, "to-folder.lnk")
    os.symlink(work, to_folder)
    cases = [("a named pipe", fifo), ("/dev/zero", "/dev/zero"), ("a symbolic-link loop", loop),
             ("a link to a folder", to_folder)]
    for name, path in cases:
        try:
            result = subprocess.run([morvik, "/t", path], capture_output=True, timeout=60)
        except subprocess.TimeoutExpired:
            check(False, f"/t on {name}: still waiting after a minute")
            print(f"FAIL /t on {name}")
            continue
        ok = check(result.returncode == 3 and result.stdout == f"!Error: can'f create <{path}>\n".encode(),
                   f"/t on {name}: exit {result.returncode}, printed {result.stdout!r}")
        print(f"{'ok  ' if ok else 'FAIL'} /t on {name}")


def huge_sparse_file(morvik, work, sanitized):
    name = "sparse file of 1 TiB"
    if sanitized:
        skips.append(name)
        print(f"skipped: {name}: under AddressSanitizer a failed operator new ends the process by design")
        return
    path = os.path.join(work, "huge.lnk")
    try:
        with open(path, "wb") as out:
            out.truncate(1 << 40)
    except OSError as error:
        skips.append(name)
        print(f"skipped: {name}: this file system cannot hold it ({error})")
        return
    result = run(morvik, "/t", path)
    os.unlink(path)
    ok = check(result.returncode == 3 and result.stdout == f"!Error: can'f create <{path}>\n".encode(),
               f"{name}: /t gave {result.returncode} {result.stdout!r} {result.stderr[-300:]!r}")
    print(f"{'ok  ' if ok else 'FAIL'} {name}")


def main():
    morvik = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        os.chmod(work, 0o755)  # the user nobody must reach the read-only folder
        symlink_cases(morvik, work)
        read_only_folder(morvik, work)
        odd_names(morvik, work)
        not_regular_files(morvik, work)
        huge_sparse_file(morvik, work, "--sanitized" in sys.argv[2:])
    if failures:
        print(f"{len(failures)} failed checks")
        return 1
    print("all cases hold" + (f" ({len(skips)} skipped: {', '.join(skips)})" if skips else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
