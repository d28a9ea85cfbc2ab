"""Runs every command-line case of cli_cases.py against the built binary:
standard output byte for byte, the exit code, nothing on standard error.
On top of the table, what a Linux run can also see: a failed or refused
command leaves no file behind, and a successful /u leaves a shortcut."""

import os
import re

import cli_cases
import support
from support import Config

PLACEHOLDER = re.compile(r"\{(tmp|corpus|fixtures|missing)\}")
ANY_PLACEHOLDER = re.compile(r"\{[a-z_]+\}")


def fill(text, places):
    return PLACEHOLDER.sub(lambda match: places[match.group(1)], text)


def uses_corpus(case):
    return any("{corpus}" in text for text in case.args + [case.stdout])


class CliCases(support.MorvikTestCase):
    def test_table_is_well_formed(self):
        names = [case.name for case in cli_cases.CASES]
        self.assertEqual(len(names), len(set(names)), "case names must be unique")
        self.assertEqual({case.exit_code for case in cli_cases.CASES}, {0, 1, 2, 3, 4})
        for case in cli_cases.CASES:
            for text in case.args + [case.stdout]:
                self.assertIsInstance(text, str, case.name)
                # A misspelt placeholder would reach the binary as text.
                unknown = [name for name in ANY_PLACEHOLDER.findall(text) if not PLACEHOLDER.fullmatch(name)]
                self.assertEqual(unknown, [], f"{case.name}: unknown placeholder")

    def test_usage_screen_layout(self):
        lines = cli_cases.USAGE.split("\n")
        self.assertEqual(lines[-1], "", "the screen ends with a line end")
        lines = lines[:-1]
        self.assertEqual(len(lines), 6)
        self.assertEqual(lines[0], "*" * 76)
        self.assertEqual(lines[2], "*" * 76)
        title = lines[1]
        self.assertEqual(len(title), 76)
        self.assertTrue(title.startswith("* Morvik - ") and title.endswith(" *"), title)
        self.assertRegex(title, r"\b[\w.]+@example\.org\b")
        self.assertRegex(title, r"https?://([\w-]+\.)*example\.org/")
        self.assertEqual(lines[3], "Syntax of Morvik:")
        # Column 28, counted from 1.
        self.assertEqual(lines[4].index("==>"), 27)
        self.assertEqual(lines[5].index("==>"), 27)

    def test_cases(self):
        for case in cli_cases.CASES:
            with self.subTest(case.name):
                if uses_corpus(case) and not support.corpus_available():
                    print(f"SKIPPED case {case.name!r}: {support.corpus_absent_reason()}")
                    self.skipTest(support.corpus_absent_reason())
                self.check_case(case)

    def check_case(self, case):
        parent = self.make_folder()
        tmp = os.path.join(parent, "case")
        os.mkdir(tmp)
        places = {"tmp": tmp, "corpus": Config.corpus, "fixtures": support.FIXTURES,
                  "missing": os.path.join(parent, "missing")}
        args = [fill(arg, places) for arg in case.args]

        run = self.run_morvik(args, cwd=tmp)
        self.assertEqual(run.stdout, fill(case.stdout, places).encode("utf-8"))
        self.assertEqual(run.code, case.exit_code)

        # A shortcut path that is a folder gets its temporary file beside it.
        self.assertEqual(os.listdir(parent), ["case"], "a file was left beside the case folder")
        created = case.args[:1] == ["/u"] and len(case.args) == 3 and run.code == 0
        if created:
            self.assert_created(run, args[1], tmp)
            self.assertEqual(os.listdir(tmp), [os.path.basename(args[1])])
        else:
            self.assertEqual(os.listdir(tmp), [], "a command that wrote no shortcut left a file")


if __name__ == "__main__":
    support.main()
