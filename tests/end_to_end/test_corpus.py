"""Shortcut files written by Windows: `/t` prints the expected target of
expected.tsv and exits 0. The files are read where they are, never copied."""

import os
import sys

import support
from support import Config

# Printed when the corpus is missing; CTest turns it into "skipped".
SKIP_MARK = "SKIPPED: morvik corpus absent"


def read_expected(path):
    """Rows of expected.tsv as (file, expected, also accepted, why). Fields
    are split on single tabs: an empty field (an empty expected target) is
    a value, and a target may end in a space or a no-break space."""
    rows = []
    with open(path, encoding="utf-8", newline="") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if line.startswith("#") or line == "":
                continue
            fields = line.split("\t")
            if len(fields) != 4:
                raise ValueError(f"{path}:{number}: {len(fields)} fields, 4 expected")
            rows.append((number, *fields))
    return rows


class Corpus(support.MorvikTestCase):
    def setUp(self):
        if not support.corpus_available():
            print(f"{SKIP_MARK}: {support.corpus_absent_reason()}", file=sys.stderr)
            self.skipTest(support.corpus_absent_reason())
        self.rows = read_expected(os.path.join(Config.corpus, "expected.tsv"))

    def test_every_shortcut_of_the_folder_has_a_row(self):
        listed = [row[1] for row in self.rows]
        self.assertEqual(len(listed), len(set(listed)), "a file is listed twice")
        present = sorted(name for name in os.listdir(Config.corpus) if name.lower().endswith(".lnk"))
        self.assertEqual(sorted(listed), present)

    def test_view_prints_the_expected_target(self):
        cwd = self.make_folder()
        for number, name, expected, also_accepted, why in self.rows:
            with self.subTest(name):
                run = self.view(os.path.join(Config.corpus, name), cwd)
                got = run.stdout.decode("utf-8", "replace")
                note = f"expected.tsv line {number} ({why or 'no note'})"
                if also_accepted and got == also_accepted + "\n":
                    note += "; this is only the tolerated lesser reading"
                self.assertEqual((run.code, got), (0, expected + "\n"), note)
                # Bytes too: a replacement character must not hide a bad byte.
                self.assertEqual(run.stdout, (expected + "\n").encode("utf-8"), note)


if __name__ == "__main__":
    support.main()
