"""What every Wine runner shares: the environment Wine runs in, the Z: path
mapping, the ANSI code page, and one way to run morvik.exe."""

import os
import shutil
import subprocess
import sys
import tempfile

# A default prefix under a C or C.UTF-8 locale has this ANSI code page; the
# arguments main() receives and the text it prints are in it.
ANSI_CODE_PAGE = "cp1252"

# A hung Wine must not hang the suite; no run of morvik.exe comes near this.
RUN_LIMIT_SECONDS = 120

MISSING_WINE = (
    "wine not found on PATH: install the Debian packages wine and wine64 "
    "(scripts/install-test-packages does)"
)


def require_tool(name, message):
    path = shutil.which(name)
    if path is None:
        sys.exit("FAILED: " + message)
    return path


def wine_environment(prefix):
    """The environment of every Wine process: the run's own throwaway prefix,
    no debug channels, no display, a fixed locale (so the code page and the
    UTF-8 file names do not depend on the caller's), and a home folder of
    its own so that Wine writes nothing into the user's."""
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WINE", "LC_"))}
    env.pop("WAYLAND_DISPLAY", None)
    home = prefix + "-home"
    os.makedirs(home, exist_ok=True)
    env.update(
        WINEPREFIX=prefix,
        WINEDEBUG="-all",
        DISPLAY="",
        HOME=home,
        LANG="C.UTF-8",
        LC_ALL="C.UTF-8",
        # No Mono or Gecko installer prompts, no menu entries or file
        # associations written for the desktop.
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
    )
    return env


def require_prefix(prefix):
    if not os.path.isdir(os.path.join(prefix, "dosdevices", "z:")):
        sys.exit(f"FAILED: no Wine prefix at {prefix}: the test windows.wine_prefix makes it")


def to_windows(path):
    """The path under which the Windows build sees a Linux file: Wine's Z:
    drive is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# The bytes that Python's code page 1252 leaves unassigned.
_C1_UNASSIGNED = frozenset((0x81, 0x8D, 0x8F, 0x90, 0x9D))


def encode_ansi(text):
    """`text` as the Windows build prints it: in the ANSI code page, a
    character that it lacks becoming '?'. The five bytes Python leaves
    unassigned stand for the C1 controls of the same value, as on Windows."""
    out = bytearray()
    for ch in text:
        try:
            out += ch.encode(ANSI_CODE_PAGE)
        except UnicodeEncodeError:
            out += bytes([ord(ch)]) if ord(ch) in _C1_UNASSIGNED else b"?"
    return bytes(out)


def decode_ansi(data):
    return "".join(chr(b) if b in _C1_UNASSIGNED else bytes([b]).decode(ANSI_CODE_PAGE) for b in data)


def as_printed(text):
    """A line of text as the Windows build writes it: ANSI bytes, and each
    "\\n" reaching the output as CR LF through text mode."""
    return encode_ansi(text).replace(b"\n", b"\r\n")


class Wine:
    def __init__(self, exe, prefix):
        self.wine = require_tool("wine", MISSING_WINE)
        require_prefix(prefix)
        if not os.path.isfile(exe):
            sys.exit(f"FAILED: {exe} not found: the test windows.cross_build makes it")
        self.exe = exe
        self.env = wine_environment(prefix)

    def run(self, args, cwd=None):
        """Runs morvik.exe with `args` in the Linux folder `cwd` (Wine's
        current folder is then that folder on drive Z:); returns (stdout
        bytes, exit code, stderr text). Wine's own notes go to stderr, which
        no test compares."""
        # Files, not pipes: the wineserver and the helpers that a wine start
        # may launch inherit the output handles and outlive morvik.exe, so a
        # pipe would only reach its end when they exit, seconds later.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(
                [self.wine, self.exe, *args],
                cwd=cwd,
                env=self.env,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
                timeout=RUN_LIMIT_SECONDS,
            ).returncode
            out.seek(0)
            err.seek(0)
            return out.read(), code, err.read().decode("utf-8", "replace")
