"""Runs the command-line cases of tests/end_to_end/cli_cases.py on the
Windows build under Wine: the same table as the Linux runner, with the
placeholders filled by Windows paths (Linux folders seen through drive Z:),
the expected output in the ANSI code page with CR LF line ends, and the
exit code.

A case that cannot hold under Wine for a reason of the platform is named in
EXCLUSIONS with that reason and with what Wine does instead; it still runs,
and the run fails when Wine does something else (so a stale exclusion shows).

Usage: run_cli_cases_wine.py --exe morvik.exe --prefix WINEPREFIX [--corpus DIR]
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
from collections import namedtuple

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "end_to_end"))

from cli_cases import CASES  # noqa: E402
from wine_support import Wine, as_printed, to_windows  # noqa: E402

FIXTURES = os.path.normpath(os.path.join(HERE, "..", "fixtures"))

# A placeholder and the rest of the path written after it with "/". The
# path ends at white space or at a character no Windows name holds (<, >,
# ", |), which is where a message ends the path it quotes; a "/" after a
# space stays as it is, in the argument and in the message alike.
PLACED_PATH = re.compile(r"\{(tmp|corpus|fixtures|missing)\}([^\s<>\"|]*)")

# What Wine does instead, for a case the platform makes differ.
Exclusion = namedtuple("Exclusion", "reason stdout exit_code")

EXCLUSIONS = {
    "view an ID list running past the end": Exclusion(
        "Wine's shell link object does not hold the ID list's size against the file: it loads the "
        "cut file as a shortcut without a target and prints an empty line, where ours refuses a "
        "shortcut whose mandatory structure is cut short (see docs/wine-differences.md)",
        "\n",
        0,
    ),
}


def fill(text, places):
    """Windows paths for the placeholders, and "\\" for each "/" of the path
    that follows one; the same rule for arguments and expected output, so
    that a message quotes exactly the argument it was given."""
    return PLACED_PATH.sub(lambda m: places[m.group(1)] + m.group(2).replace("/", "\\"), text)


def uses_corpus(case):
    return any("{corpus}" in text for text in case.args + [case.stdout])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--corpus", default="")
    options = parser.parse_args()
    wine = Wine(os.path.abspath(options.exe), os.path.abspath(options.prefix))
    corpus = os.path.abspath(options.corpus) if options.corpus else ""
    have_corpus = bool(corpus) and os.path.isfile(os.path.join(corpus, "expected.tsv"))

    names = [case.name for case in CASES]
    unknown = sorted(set(EXCLUSIONS) - set(names))
    failures = [f"exclusion for a case the table does not have: {name!r}" for name in unknown]
    passed = excluded = skipped = 0

    run_root = tempfile.mkdtemp(prefix="morvik-wine-cli-")
    try:
        for number, case in enumerate(CASES):
            if uses_corpus(case) and not have_corpus:
                print(f"SKIPPED {case.name!r}: the corpus folder {corpus or '(not given)'} is absent")
                skipped += 1
                continue
            parent = os.path.join(run_root, str(number))
            tmp = os.path.join(parent, "case")
            os.makedirs(tmp)
            places = {
                "tmp": to_windows(tmp),
                "corpus": to_windows(corpus) if corpus else "",
                "fixtures": to_windows(FIXTURES),
                "missing": to_windows(os.path.join(parent, "missing")),
            }
            stdout, code, stderr = wine.run([fill(arg, places) for arg in case.args], cwd=tmp)

            exclusion = EXCLUSIONS.get(case.name)
            want = exclusion or case
            want_stdout = as_printed(fill(want.stdout, places))
            if (stdout, code) == (want_stdout, want.exit_code):
                if exclusion:
                    excluded += 1
                    print(f"excluded {case.name!r}: {exclusion.reason} (Wine still does that)")
                else:
                    passed += 1
                    print(f"ok {case.name!r}")
                continue
            what = "excluded case changed" if exclusion else "FAILED"
            failures.append(
                f"{what} {case.name!r}: args {case.args!r}\n"
                f"  expected exit {want.exit_code}, stdout {want_stdout!r}\n"
                f"  got      exit {code}, stdout {stdout!r}\n"
                f"  stderr {stderr.strip()!r}"
            )
    finally:
        shutil.rmtree(run_root, ignore_errors=True)

    for failure in failures:
        print(failure)
    print(f"{excluded} of the passed cases hold as documented exclusions")
    print(f"{passed + excluded} passed, {len(failures)} failed, {skipped} skipped")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
