"""`/u` then `/t` gives the target back in its normalised form, for every
target of round_trip_table.py; targets the format cannot hold are refused
with exit code 2; `/u` over an existing file replaces it whole."""

import os

import lnk_bytes
import support
from round_trip_table import (PRESENT_FILE, TARGETS, case_places, fill, padded, prepare_case_folder,
                              z_form)

# Targets that SetPath refuses, so that /u fails and writes nothing. Each
# "{tmp}" is the case folder, which is also the current folder.
REFUSED = [
    ("260 characters", padded("C:\\", 260)),
    ("260 characters UNC", padded("\\\\server\\share", 260)),
    ("260 characters once on drive Z:", padded("/", 258, "/")),
    # The limit holds for the resolved path, not for what was typed.
    ("relative path too long once resolved", "r" * 250),
    ("a name of 256 characters", "C:\\" + "n" * 256),
] + [
    (f"a name with {char!r}", f"C:\\dir\\a{char}b.txt") for char in '<>:"|?*'
] + [
    ("a control character in a name", "C:\\dir\\a\x01b.txt"),
    ("a POSIX name with a colon", "{tmp}/a:b.txt"),
    ("an empty target", ""),
    ("a server without a share", "\\\\server"),
    ("a server and a separator", "\\\\server\\"),
    ("a drive-relative path", "C:notes.txt"),
    ("a long-path prefix alone", "\\\\?\\"),
    ("a long-path prefix before a relative path", "\\\\?\\dir\\x.txt"),
]


class RoundTrip(support.MorvikTestCase):
    def case_folder(self):
        folder = os.path.realpath(self.make_folder())
        prepare_case_folder(folder)
        return folder

    def test_targets_come_back_normalised(self):
        for target in TARGETS:
            with self.subTest(target.name):
                folder = self.case_folder()
                places = case_places(folder)
                shortcut = os.path.join(folder, "target.lnk")
                run = self.create(shortcut, fill(target.argument, places), os.path.join(folder, target.cwd))
                self.assert_created(run, shortcut, folder)
                # Viewed from elsewhere: a relative target was resolved when
                # the shortcut was made, not when it is read.
                self.assert_views_as(shortcut, fill(target.expected, places), self.make_folder())

    def test_targets_that_cannot_be_stored_are_refused(self):
        for name, argument in REFUSED:
            with self.subTest(name):
                folder = self.case_folder()
                before = sorted(os.listdir(folder))
                shortcut = os.path.join(folder, "refused.lnk")
                self.assert_create_failed(self.create(shortcut, fill(argument, case_places(folder)), folder),
                                          shortcut)
                self.assertEqual(sorted(os.listdir(folder)), before, "a refused target left a file")

    def test_view_never_prints_a_cut_target(self):
        # /u counts UTF-16 units against MAX_PATH; /t fills a buffer of 260
        # bytes of UTF-8, so a target of few units but many bytes is stored
        # and then cannot be shown whole: /t must fail rather than cut it.
        cases = [
            ("259 bytes", "C:\\" + "é" * 128, True),
            ("260 bytes", "C:\\" + "é" * 128 + "a", False),
            ("259 units, 514 bytes", "C:\\" + "д" * 128 + "\\" + "д" * 127, False),
        ]
        for name, target, printable in cases:
            with self.subTest(name):
                folder = self.case_folder()
                shortcut = os.path.join(folder, "long.lnk")
                self.assert_created(self.create(shortcut, target, folder), shortcut, folder)
                if printable:
                    self.assert_views_as(shortcut, target, folder)
                else:
                    self.assert_view_failed(self.view(shortcut, folder), shortcut)

    def test_create_over_an_existing_file_replaces_it_whole(self):
        folder = self.case_folder()
        target = "C:\\new\\target.txt"
        fresh = os.path.join(folder, "fresh.lnk")
        self.assert_created(self.create(fresh, target, folder), fresh, folder)
        with open(fresh, "rb") as file:
            fresh_bytes = file.read()

        older = os.path.join(folder, "older.lnk")
        self.assert_created(self.create(older, padded("\\\\server\\share", 250), folder), older, folder)
        with open(older, "rb") as file:
            longer_shortcut = file.read()
        # Everything a shortcut can hold besides its target, which the new
        # one must not carry over.
        flags = (lnk_bytes.HAS_ID_LIST | lnk_bytes.HAS_LINK_INFO | lnk_bytes.HAS_RELATIVE_PATH
                 | lnk_bytes.HAS_WORKING_DIR | lnk_bytes.HAS_ARGUMENTS | lnk_bytes.IS_UNICODE)
        with_strings = (lnk_bytes.header(flags) + lnk_bytes.drive_id_list("C:\\old\\app.exe")
                        + lnk_bytes.link_info_local("C:\\old\\app.exe") + lnk_bytes.counted_string("..\\app.exe")
                        + lnk_bytes.counted_string("C:\\old") + lnk_bytes.counted_string("--old-argument")
                        + lnk_bytes.TERMINAL_BLOCK)
        olds = {
            "a longer shortcut": longer_shortcut,
            "a shortcut with arguments and working folder": with_strings,
            "a text file": b"not a shortcut\n",
            "a large file": bytes(range(256)) * 300,
        }
        for name, old in olds.items():
            with self.subTest(name):
                shortcut = os.path.join(folder, "replaced.lnk")
                with open(shortcut, "wb") as file:
                    file.write(old)
                self.assert_created(self.create(shortcut, target, folder), shortcut, folder)
                with open(shortcut, "rb") as file:
                    self.assertEqual(file.read(), fresh_bytes, "the new shortcut differs from a fresh one")
                self.assert_views_as(shortcut, target, folder)

    def test_relative_shortcut_path(self):
        # The shortcut path itself is used as given, relative to the
        # current folder; only the target is made absolute.
        folder = self.case_folder()
        os.mkdir(os.path.join(folder, "links"))
        self.assert_created(self.create("links/rel.lnk", PRESENT_FILE, folder), "links/rel.lnk", folder)
        self.assert_views_as("links/rel.lnk", z_form(folder) + "\\" + PRESENT_FILE, folder)


if __name__ == "__main__":
    support.main()
