"""Makes the run's throwaway Wine prefix (setup), or removes it (cleanup).

One prefix per test run: the first start of Wine in a new prefix is the slow
part, so every Wine test of the run shares this one.

Usage: wine_prefix.py setup|cleanup PREFIX
"""

import os
import shutil
import subprocess
import sys
import tempfile

from wine_support import MISSING_WINE, require_tool, wine_environment

BOOT_LIMIT_SECONDS = 300


def stop_server(env):
    # Only this prefix's server, which this run started; none running is fine.
    wineserver = shutil.which("wineserver")
    if wineserver:
        for flag in ("-k", "-w"):
            subprocess.run([wineserver, flag], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def setup(prefix):
    wine = require_tool("wine", MISSING_WINE)
    env = wine_environment(prefix)
    stop_server(env)
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.rmtree(env["HOME"], ignore_errors=True)
    os.makedirs(env["HOME"])
    # Output to a file, not a pipe: the helpers that wineboot starts keep a
    # pipe open for seconds after it returns.
    with tempfile.TemporaryFile() as log:
        code = subprocess.run(
            [wine, "wineboot", "--init"],
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=log,
            stderr=log,
            timeout=BOOT_LIMIT_SECONDS,
        ).returncode
        if code != 0 or not os.path.isdir(os.path.join(prefix, "dosdevices", "z:")):
            log.seek(0)
            sys.stderr.write(log.read().decode("utf-8", "replace"))
            sys.exit(f"FAILED: wineboot could not make a prefix with a Z: drive at {prefix} (exit {code})")
    print(f"Wine prefix ready at {prefix}")


def cleanup(prefix):
    env = wine_environment(prefix)
    stop_server(env)
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.rmtree(env["HOME"], ignore_errors=True)
    print(f"Wine prefix {prefix} removed")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("setup", "cleanup"):
        sys.exit(__doc__)
    {"setup": setup, "cleanup": cleanup}[sys.argv[1]](os.path.abspath(sys.argv[2]))
