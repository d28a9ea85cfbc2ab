"""What the Linux end-to-end runners of morvik share: their command line,
running the built binary, and fresh folders that are removed afterwards.

Every runner is called as
    python3 RUNNER --binary PATH/TO/morvik --corpus CORPUS_FOLDER [unittest options]
"""

import argparse
import concurrent.futures
import glob
import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import unittest
from collections import namedtuple

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.normpath(os.path.join(HERE, "..", "fixtures"))

# The first bytes of every shortcut file: header size 0x4C, then the shell
# link class identifier.
LNK_SIGNATURE = bytes.fromhex("4c000000" "0114020000000000c000000000000046")

CREATE_FAILED_EXIT = 2
VIEW_FAILED_EXIT = 3

# Long enough for any run here; only there so that a hang fails instead of
# stalling the whole suite.
HANG_GUARD_SECONDS = 60


class Config:
    binary = None
    corpus = None


Run = namedtuple("Run", "code stdout stderr")


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--binary", required=True)
    parser.add_argument("--corpus", default="")
    options, rest = parser.parse_known_args()
    Config.binary = os.path.abspath(options.binary)
    Config.corpus = os.path.abspath(options.corpus) if options.corpus else ""
    if not os.access(Config.binary, os.X_OK):
        sys.exit(f"morvik binary not found or not executable: {Config.binary}")
    unittest.main(module="__main__", argv=[sys.argv[0]] + rest, verbosity=2)


def corpus_available():
    return bool(Config.corpus) and os.path.isfile(os.path.join(Config.corpus, "expected.tsv"))


def corpus_absent_reason():
    return f"the corpus folder '{Config.corpus or '(not given)'}' is absent or has no expected.tsv"


def encode(argument):
    # Arguments reach main as UTF-8 bytes whatever the locale of the run.
    return argument if isinstance(argument, bytes) else argument.encode("utf-8", "surrogateescape")


def morvik_create_message(shortcut):
    return b"!Error: can'f create Shortcut <" + encode(shortcut) + b">\n"


def morvik_view_message(shortcut):
    return b"!Error: can'f create <" + encode(shortcut) + b">\n"


def leftover_temporaries(folder):
    return sorted(glob.glob(os.path.join(glob.escape(folder), ".morvik-*.tmp")))


def spawn(args, cwd):
    """The finished process, or None when it hung."""
    argv = [Config.binary] + [encode(a) for a in args]
    try:
        return subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=HANG_GUARD_SECONDS)
    except subprocess.TimeoutExpired:
        return None


def remove_tree(folder):
    # A test may have taken the write bit from a folder; give it back first.
    for root, dirs, _ in os.walk(folder):
        for name in dirs:
            path = os.path.join(root, name)
            if not os.path.islink(path):
                os.chmod(path, stat.S_IRWXU)
    os.chmod(folder, stat.S_IRWXU)
    shutil.rmtree(folder)


class MorvikTestCase(unittest.TestCase):
    maxDiff = None

    def make_folder(self):
        folder = tempfile.mkdtemp(prefix="morvik-e2e-")
        self.addCleanup(remove_tree, folder)
        return folder

    def run_morvik(self, args, cwd):
        """Runs the binary and checks what holds for every run: it did not
        crash or hang, and it wrote nothing to standard error."""
        return self.checked(spawn(args, cwd), args)

    def spawn_many(self, runs, cwd):
        """The processes for many argument lists, run as many at a time as
        there are processors, in the same order; check each with checked()."""
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 1) as pool:
            return list(pool.map(lambda args: spawn(args, cwd), runs))

    def checked(self, done, args):
        if done is None:
            self.fail(f"morvik hung: {args!r}")
        if done.returncode < 0:
            self.fail(f"morvik crashed with {signal.Signals(-done.returncode).name}: {args!r}")
        self.assertEqual(done.stderr, b"", f"morvik wrote to standard error: {args!r}")
        return Run(done.returncode, done.stdout, done.stderr)

    def view(self, shortcut, cwd):
        return self.run_morvik(["/t", shortcut], cwd)

    def create(self, shortcut, target, cwd):
        """`/u`; afterwards no temporary file may be left in the shortcut's folder."""
        run = self.run_morvik(["/u", shortcut, target], cwd)
        folder = os.path.dirname(os.path.join(cwd, shortcut))
        if os.path.isdir(folder):
            self.assertEqual(leftover_temporaries(folder), [], f"/u left a temporary file: {shortcut!r}")
        return run

    def assert_created(self, run, shortcut, cwd):
        self.assertEqual((run.code, run.stdout), (0, b""), f"/u failed for {shortcut!r}")
        path = os.path.join(cwd, shortcut)
        self.assertTrue(os.path.isfile(path) and not os.path.islink(path), f"no regular file at {path}")
        with open(path, "rb") as file:
            self.assertEqual(file.read(len(LNK_SIGNATURE)), LNK_SIGNATURE, f"{path} is not a shortcut")

    def assert_create_failed(self, run, shortcut):
        self.assertEqual((run.code, run.stdout), (CREATE_FAILED_EXIT, morvik_create_message(shortcut)))

    def assert_view_failed(self, run, shortcut):
        self.assertEqual((run.code, run.stdout), (VIEW_FAILED_EXIT, morvik_view_message(shortcut)))

    def assert_views_as(self, shortcut, target, cwd):
        run = self.view(shortcut, cwd)
        self.assertEqual((run.code, run.stdout), (0, encode(target) + b"\n"), f"/t {shortcut!r}")
