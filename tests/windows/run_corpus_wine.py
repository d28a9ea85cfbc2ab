"""Reads every shortcut of the corpus (files Windows wrote) with the Windows
build under Wine, whose shell link object is Wine's own, and holds what it
prints against expected.tsv, which the Linux build follows.

The files on which Wine disagrees are listed, with what Wine prints and why
ours is right, in the corpus table of docs/wine-differences.md. The run
fails unless the disagreeing files are exactly the listed ones, each
printing what the table says, so that a change on either side shows.

Usage: run_corpus_wine.py --exe morvik.exe --prefix WINEPREFIX --corpus DIR --doc FILE
Exits 77 (skipped) when the corpus folder is absent.
"""

import argparse
import os
import re
import sys
from collections import namedtuple

from wine_support import Wine, as_printed, decode_ansi, to_windows

SKIPPED = 77
TABLE_HEADING = "## The corpus"

# What a cell of the table says was printed: a line of text, or a failure.
Printed = namedtuple("Printed", "text exit_code")


def read_expected(corpus):
    rows = {}
    with open(os.path.join(corpus, "expected.tsv"), encoding="utf-8") as file:
        for line in file:
            if line.startswith("#") or not line.strip("\n"):
                continue
            name, expected = line.rstrip("\n").split("\t")[:2]
            rows[name] = expected
    return rows


def parse_cell(cell):
    """`text` is a printed line, the words "empty line" an empty one, and
    "exit N" a failure with that exit code. Only plain spaces around the
    cell are padding: a no-break space inside a code span is text."""
    cell = cell.strip(" ")
    if len(cell) >= 2 and cell[0] == "`" and cell[-1] == "`":
        return Printed(cell[1:-1], 0)
    if cell == "empty line":
        return Printed("", 0)
    match = re.fullmatch(r"exit (\d+)\b.*", cell)
    if match:
        return Printed(None, int(match.group(1)))
    raise ValueError(f"cannot read the cell {cell!r}")


def read_documented(doc):
    """The corpus table: | `file` | Wine prints | ours prints | why |."""
    rows, in_table = {}, False
    with open(doc, encoding="utf-8") as file:
        for line in file:
            line = line.rstrip("\n")
            if line.startswith("## "):
                in_table = line == TABLE_HEADING
                continue
            if not in_table or not line.startswith("| `"):
                continue
            cells = line.strip("|").split("|")
            name = cells[0].strip(" ").strip("`")
            rows[name] = (parse_cell(cells[1]), parse_cell(cells[2]))
    if not rows:
        sys.exit(f"FAILED: no table of files under '{TABLE_HEADING}' in {doc}")
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--corpus", default="")
    parser.add_argument("--doc", required=True)
    options = parser.parse_args()
    corpus = os.path.abspath(options.corpus) if options.corpus else ""
    if not corpus or not os.path.isfile(os.path.join(corpus, "expected.tsv")):
        print(f"SKIPPED: the corpus folder {corpus or '(not given)'} is absent or has no expected.tsv")
        return SKIPPED
    wine = Wine(os.path.abspath(options.exe), os.path.abspath(options.prefix))
    expected = read_expected(corpus)
    documented = read_documented(options.doc)

    failures = []
    disagreeing = set()
    for name, target in expected.items():
        stdout, code, stderr = wine.run(["/t", to_windows(os.path.join(corpus, name))])
        if (stdout, code) == (as_printed(target + "\n"), 0):
            print(f"agrees {name}")
            if name in documented:
                failures.append(f"{name}: documented as a disagreement, but Wine now prints the expected {target!r}")
            continue
        disagreeing.add(name)
        shown = decode_ansi(stdout).replace("\r\n", "\n")
        print(f"differs {name}: Wine exit {code}, {shown!r}; expected.tsv {target!r}")
        if name not in documented:
            failures.append(f"{name}: Wine disagrees with expected.tsv, and docs/wine-differences.md does not say so")
            continue
        wine_cell, ours_cell = documented[name]
        if wine_cell.exit_code != code or (
            wine_cell.text is not None and stdout != as_printed(wine_cell.text + "\n")
        ):
            failures.append(f"{name}: the table says Wine prints {wine_cell}, it printed {shown!r} with exit {code}")
        if ours_cell != Printed(target, 0):
            failures.append(f"{name}: the table gives ours as {ours_cell.text!r}, expected.tsv as {target!r}")

    for name in sorted(set(documented) - set(expected)):
        failures.append(f"{name}: in the table, but not in expected.tsv")
    for failure in failures:
        print("FAILED " + failure)
    failed_files = {failure.split(":")[0] for failure in failures}
    print(f"Wine disagrees with expected.tsv on {len(disagreeing)} of {len(expected)} files")
    print(f"{len(set(expected) - failed_files)} passed, {len(failed_files)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
