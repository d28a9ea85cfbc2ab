"""Bad input, on both commands: files that are not shortcuts, shortcuts cut
short or pointing past their end, random bytes, and writes that cannot be
done. Each gives the failure message and exit code, never a crash, a hang
or a wrong target; a failed write loses nothing that was there."""

import os
import random
import stat
import struct

import lnk_bytes as lnk
import support
from support import Config
from test_corpus import read_expected

SEED = 20240611
PLAIN_TARGET = "C:\\dir\\a.txt"

# Corpus files whose target comes from the ID list, so that only the header,
# the ID list and LinkInfo are needed to read it.
PREFIX_CORPUS = ["microsoft_example.lnk", "sample7.lnk", "network_info.lnk"]
# And shortcuts that /u writes: Unicode fields in LinkInfo, and network items.
PREFIX_WRITTEN = ["C:\\Users\\Дима\\Документы\\файл.txt", "\\\\serveur\\données\\été.txt"]


def mandatory_end(data):
    """Where the structures end that a reader cannot do without: the header,
    then the ID list and LinkInfo when the flags announce them."""
    flags = struct.unpack_from("<I", data, 0x14)[0]
    end = lnk.HEADER_SIZE
    if flags & lnk.HAS_ID_LIST:
        end += 2 + struct.unpack_from("<H", data, end)[0]
    if flags & lnk.HAS_LINK_INFO:
        end += struct.unpack_from("<I", data, end)[0]
    return end


def replace_u32(data, offset, value):
    changed = bytearray(data)
    struct.pack_into("<I", changed, offset, value)
    return bytes(changed)


def link_info_only(link_info):
    return lnk.header(lnk.HAS_LINK_INFO | lnk.IS_UNICODE) + link_info + lnk.TERMINAL_BLOCK


def local_with(tail, flags=0):
    """A valid shortcut to PLAIN_TARGET, followed by `tail` instead of its end."""
    return (lnk.header(lnk.HAS_ID_LIST | lnk.HAS_LINK_INFO | lnk.IS_UNICODE | flags)
            + lnk.drive_id_list(PLAIN_TARGET) + lnk.link_info_local(PLAIN_TARGET) + tail)


NETWORK_INFO = lnk.link_info_network("\\\\srv\\share", "dir\\a.txt")
# LinkInfo's fields, by offset from its start.
NETWORK_LINK_OFFSET, SUFFIX_OFFSET = 20, 24

# Hand-made shortcuts that morvik must read, so that the damaged ones below
# are known to differ only in what they damage.
READABLE = [
    ("header, ID list and LinkInfo", lnk.local_shortcut(PLAIN_TARGET), PLAIN_TARGET),
    ("ID list only", lnk.header(lnk.HAS_ID_LIST) + lnk.drive_id_list(PLAIN_TARGET) + lnk.TERMINAL_BLOCK,
     PLAIN_TARGET),
    ("local LinkInfo only", link_info_only(lnk.link_info_local(PLAIN_TARGET)), PLAIN_TARGET),
    ("network LinkInfo only", link_info_only(NETWORK_INFO), "\\\\srv\\share\\dir\\a.txt"),
    ("parsing path only", lnk.header(lnk.IS_UNICODE) + lnk.parsing_path_block(PLAIN_TARGET) + lnk.TERMINAL_BLOCK,
     PLAIN_TARGET),
]

# Damage after the structures that give the target: it is still read.
TOLERATED = [
    ("no terminal block", local_with(b"")),
    ("arguments count past the end", local_with(lnk.counted_string("-x", count=900), lnk.HAS_ARGUMENTS)),
    ("working folder count past the end", local_with(lnk.counted_string("C:\\", count=0xFFFF), lnk.HAS_WORKING_DIR)),
    ("string data flagged but absent", local_with(b"", lnk.HAS_RELATIVE_PATH | lnk.HAS_WORKING_DIR)),
    ("extra block claiming more than the file", local_with(lnk.extra_block(lnk.UNKNOWN_BLOCK, b"abc", size=5000))),
    ("extra block smaller than its own header", local_with(lnk.u32(5) + b"\xff" * 12)),
    ("unknown extra block", local_with(lnk.extra_block(lnk.UNKNOWN_BLOCK, bytes(24)) + lnk.TERMINAL_BLOCK)),
    ("property store claiming more than the file",
     local_with(lnk.extra_block(lnk.PROPERTY_STORE_BLOCK, lnk.u32(0x7FFFFFFF) + bytes(20)))),
]

# A structure that is needed, cut short or pointing past its end: Load fails.
REJECTED = [
    ("header size 0x4D", lnk.header(0, header_size=0x4D) + bytes(40)),
    ("header size 0", lnk.header(0, header_size=0) + bytes(40)),
    ("right header size, wrong class", lnk.header(0, clsid=lnk.MY_COMPUTER) + lnk.TERMINAL_BLOCK),
    ("ID list size past the end", lnk.header(lnk.HAS_ID_LIST) + lnk.id_list([lnk.my_computer_item()], size=5000)),
    ("ID list size 0xFFFF", lnk.header(lnk.HAS_ID_LIST) + lnk.id_list([lnk.my_computer_item()], size=0xFFFF)),
    ("ID list flagged, file ends after the header", lnk.header(lnk.HAS_ID_LIST)),
    ("shell item past the end of the ID list",
     lnk.header(lnk.HAS_ID_LIST) + lnk.id_list([lnk.shell_item(b"\x1f\x50" + lnk.MY_COMPUTER, size=200)]) + bytes(300)),
    ("shell item smaller than its size field", lnk.header(lnk.HAS_ID_LIST) + lnk.id_list([lnk.shell_item(b"", size=1)])),
    ("LinkInfo size past the end", link_info_only(lnk.link_info_local(PLAIN_TARGET, size=5000))),
    ("LinkInfo size 0xFFFFFFFF", link_info_only(lnk.link_info_local(PLAIN_TARGET, size=0xFFFFFFFF))),
    ("LinkInfo smaller than its header", link_info_only(lnk.link_info_local(PLAIN_TARGET, size=8)) + bytes(64)),
    ("LinkInfo flagged, file ends after the ID list",
     lnk.header(lnk.HAS_ID_LIST | lnk.HAS_LINK_INFO) + lnk.drive_id_list(PLAIN_TARGET)),
]

# LinkInfo, the only structure that names the target here, points outside
# itself and the file: a structure pointing outside the file fails Load, as
# a structure cut short does.
LINK_INFO_POINTING_PAST_THE_END = [
    ("local base path offset past the end",
     link_info_only(lnk.link_info_local(PLAIN_TARGET, local_offset=0xFFFF0000))),
    ("local base path without its terminator",
     link_info_only(lnk.link_info_local(PLAIN_TARGET, terminate=False))),
    ("network link offset past the end",
     link_info_only(replace_u32(NETWORK_INFO, NETWORK_LINK_OFFSET, 0xFFFF0000))),
    ("network link size past the end",
     link_info_only(lnk.link_info_network("\\\\srv\\share", "a.txt", network_size=0xFFFF0000))),
]


def cut_parsing_path():
    """A parsing path whose character count runs past its value, which
    holds only "C:\\dir\\a", the start of PLAIN_TARGET."""
    block = bytearray(lnk.parsing_path_block(PLAIN_TARGET))
    text = PLAIN_TARGET.encode("utf-16-le") + b"\0\0"
    start = bytes(block).index(text)
    kept = len("C:\\dir\\a") * 2
    # Drop the rest of the string and shrink every size that holds it.
    del block[start + kept:start + len(text)]
    dropped = len(text) - kept
    value_size_offset = start - 4 - 4 - 1 - 2 - 2 - 4
    for offset in (0, 8, value_size_offset):  # block, storage, value
        struct.pack_into("<I", block, offset, struct.unpack_from("<I", block, offset)[0] - dropped)
    return lnk.header(lnk.IS_UNICODE) + bytes(block) + lnk.TERMINAL_BLOCK


class BadInput(support.MorvikTestCase):
    def write(self, folder, name, data):
        path = os.path.join(folder, name)
        with open(path, "wb") as file:
            file.write(data)
        return path

    def read(self, path):
        with open(path, "rb") as file:
            return file.read()

    def assert_view_prints_a_target_or_fails(self, run, shortcut):
        """What random input may give: the failure, or one target that the
        view buffer held whole, in UTF-8."""
        if run.code == support.VIEW_FAILED_EXIT:
            self.assertEqual(run.stdout, support.morvik_view_message(shortcut))
            return
        self.assertEqual(run.code, 0, run.stdout)
        self.assertTrue(run.stdout.endswith(b"\n"), run.stdout)
        self.assertLessEqual(len(run.stdout), 260, run.stdout)
        self.assertNotIn(b"\0", run.stdout)
        run.stdout.decode("utf-8")  # raises on a byte that is not UTF-8

    # --- view ---------------------------------------------------------------

    def test_view_of_what_is_no_shortcut_file(self):
        folder = self.make_folder()
        os.mkdir(os.path.join(folder, "a folder"))
        os.mkfifo(os.path.join(folder, "a pipe"))
        os.symlink("nowhere.lnk", os.path.join(folder, "dangling link"))
        os.symlink("loop b", os.path.join(folder, "loop a"))
        os.symlink("loop a", os.path.join(folder, "loop b"))
        self.write(folder, "empty.lnk", b"")
        self.write(folder, "text.lnk", b"[InternetShortcut]\r\nURL=https://morvik.example.org/\r\n")
        # An empty pipe: a reader that waited for data would hang here.
        for name in ["missing.lnk", "a folder", "a pipe", "dangling link", "loop a", "empty.lnk", "text.lnk",
                     "/dev/null"]:
            with self.subTest(name):
                self.assert_view_failed(self.view(name, folder), name)

    def test_hand_made_shortcuts_are_read(self):
        folder = self.make_folder()
        for name, data, target in READABLE:
            with self.subTest(name):
                self.assert_views_as(self.write(folder, "made.lnk", data), target, folder)

    def test_damage_after_the_target_is_tolerated(self):
        folder = self.make_folder()
        for name, data in TOLERATED:
            with self.subTest(name):
                self.assert_views_as(self.write(folder, "damaged.lnk", data), PLAIN_TARGET, folder)

    def test_needed_structures_cut_short_or_past_the_end_are_rejected(self):
        folder = self.make_folder()
        for name, data in REJECTED:
            with self.subTest(name):
                path = self.write(folder, "damaged.lnk", data)
                self.assert_view_failed(self.view(path, folder), path)

    def test_link_info_pointing_past_the_end_is_rejected(self):
        folder = self.make_folder()
        for name, data in LINK_INFO_POINTING_PAST_THE_END:
            with self.subTest(name):
                path = self.write(folder, "damaged.lnk", data)
                self.assert_view_failed(self.view(path, folder), path)

    def test_view_never_prints_a_part_of_the_target(self):
        # A part of a path names another file. Whether such a file is
        # unreadable or has no file-system target, it must not give the part.
        parts = [
            # Without its suffix the network name alone is the share.
            ("path suffix offset past the end", link_info_only(replace_u32(NETWORK_INFO, SUFFIX_OFFSET, 0xFFFF0000))),
            ("parsing path counted past its value", cut_parsing_path()),
        ]
        folder = self.make_folder()
        for name, data in parts:
            with self.subTest(name):
                path = self.write(folder, "damaged.lnk", data)
                run = self.view(path, folder)
                self.assertIn((run.code, run.stdout), [(support.VIEW_FAILED_EXIT, support.morvik_view_message(path)),
                                                       (0, b"\n")])

    def test_every_prefix_of_a_shortcut(self):
        folder = self.make_folder()
        shortcuts = []
        for target in PREFIX_WRITTEN:
            path = os.path.join(folder, f"written{len(shortcuts)}.lnk")
            self.assert_created(self.create(path, target, folder), path, folder)
            shortcuts.append((target, self.read(path), target))
        if support.corpus_available():
            expected = {row[1]: row[2] for row in read_expected(os.path.join(Config.corpus, "expected.tsv"))}
            for name in PREFIX_CORPUS:
                shortcuts.append((name, self.read(os.path.join(Config.corpus, name)), expected[name]))
        else:
            print(f"SKIPPED prefixes of corpus files: {support.corpus_absent_reason()}")

        for number, (name, data, target) in enumerate(shortcuts):
            end = mandatory_end(data)
            self.assertLess(end, len(data), f"{name}: no trailing data to cut")
            cuts = []
            for size in range(len(data) + 1):
                cuts.append(self.write(folder, f"cut-{number}-{size}.lnk", data[:size]))
            views = [["/t", cut] for cut in cuts]
            for size, (cut, args, done) in enumerate(zip(cuts, views, self.spawn_many(views, folder))):
                with self.subTest(shortcut=name, size=size):
                    run = self.checked(done, args)
                    if size < end:
                        self.assert_view_failed(run, cut)
                    else:
                        self.assertEqual((run.code, run.stdout), (0, (target + "\n").encode("utf-8")))

    def test_random_bytes(self):
        folder = self.make_folder()
        rng = random.Random(SEED)
        path = os.path.join(folder, "random.lnk")
        for round_ in range(40):
            with self.subTest("noise", round=round_):
                self.write(folder, "random.lnk", rng.randbytes(rng.randrange(0, 600)))
                self.assert_view_failed(self.view(path, folder), path)
        # Behind a valid header the noise reaches the deeper structures.
        for round_ in range(150):
            with self.subTest("header and noise", round=round_):
                flags = rng.getrandbits(10)
                self.write(folder, "random.lnk", lnk.header(flags) + rng.randbytes(rng.randrange(0, 500)))
                self.assert_view_prints_a_target_or_fails(self.view(path, folder), path)
        written = os.path.join(folder, "written.lnk")
        self.assert_created(self.create(written, "\\\\serveur\\données\\Дима\\été.txt", folder), written, folder)
        original = self.read(written)
        for round_ in range(150):
            with self.subTest("flipped bytes", round=round_):
                damaged = bytearray(original)
                for _ in range(rng.randrange(1, 9)):
                    damaged[rng.randrange(lnk.HEADER_SIZE, len(damaged))] = rng.getrandbits(8)
                self.write(folder, "random.lnk", bytes(damaged))
                self.assert_view_prints_a_target_or_fails(self.view(path, folder), path)

    def test_shortcut_path_of_260_characters_is_refused(self):
        # 259 characters and the terminator fill the 260-unit wide buffer;
        # one more cannot be passed on, whatever the file system allows.
        folder = self.make_folder()
        for length, fits in ((259, True), (260, False)):
            with self.subTest(length=length):
                subfolder = "d" * (length - 256)
                os.mkdir(os.path.join(folder, subfolder))
                shortcut = subfolder + "/" + "a" * 255
                self.assertEqual(len(shortcut), length)
                run = self.create(shortcut, PLAIN_TARGET, folder)
                if fits:
                    self.assert_created(run, shortcut, folder)
                    self.assert_views_as(shortcut, PLAIN_TARGET, folder)
                else:
                    self.assert_create_failed(run, shortcut)
                    self.assertFalse(os.path.lexists(os.path.join(folder, shortcut)))
                    # A readable shortcut there is not read either.
                    self.write(folder, shortcut, lnk.local_shortcut(PLAIN_TARGET))
                    self.assert_view_failed(self.view(shortcut, folder), shortcut)
                    self.assert_create_failed(self.create(shortcut, "C:\\other.txt", folder), shortcut)
                    self.assertEqual(self.read(os.path.join(folder, shortcut)), lnk.local_shortcut(PLAIN_TARGET))

    # --- create -------------------------------------------------------------

    def test_create_into_a_missing_folder(self):
        folder = self.make_folder()
        for shortcut in ["missing/a.lnk", "missing/deeper/a.lnk", os.path.join(folder, "gone", "a.lnk")]:
            with self.subTest(shortcut):
                self.assert_create_failed(self.create(shortcut, PLAIN_TARGET, folder), shortcut)
                self.assertEqual(os.listdir(folder), [])

    def test_create_onto_a_folder(self):
        folder = self.make_folder()
        os.mkdir(os.path.join(folder, "empty folder"))
        os.mkdir(os.path.join(folder, "full folder"))
        self.write(folder, "full folder/kept.txt", b"kept\n")
        for name in ["empty folder", "full folder", "full folder/"]:
            with self.subTest(name):
                self.assert_create_failed(self.create(name, PLAIN_TARGET, folder), name)
                self.assertEqual(sorted(os.listdir(folder)), ["empty folder", "full folder"])
                self.assertEqual(os.listdir(os.path.join(folder, "empty folder")), [])
                self.assertEqual(os.listdir(os.path.join(folder, "full folder")), ["kept.txt"])
                self.assertEqual(self.read(os.path.join(folder, "full folder", "kept.txt")), b"kept\n")

    def test_failed_create_keeps_the_old_shortcut(self):
        folder = self.make_folder()
        old = lnk.local_shortcut(PLAIN_TARGET)
        for name, target in [("target of 260 characters", "C:\\" + "x" * 100 + "\\" + "y" * 100 + "\\" + "z" * 55),
                             ("target with a forbidden character", "C:\\a|b.txt"),
                             ("empty target", "")]:
            with self.subTest(name):
                shortcut = self.write(folder, "old.lnk", old)
                self.assert_create_failed(self.create(shortcut, target, folder), shortcut)
                self.assertEqual(self.read(shortcut), old)
                self.assertEqual(os.listdir(folder), ["old.lnk"])
                self.assert_views_as(shortcut, PLAIN_TARGET, folder)

    def test_create_in_a_read_only_folder(self):
        if os.geteuid() == 0:
            reason = "running as root, whom folder permissions do not stop"
            print(f"SKIPPED read-only folder: {reason}")
            self.skipTest(reason)
        folder = self.make_folder()
        locked = os.path.join(folder, "locked")
        os.mkdir(locked)
        old = lnk.local_shortcut(PLAIN_TARGET)
        shortcut = self.write(locked, "old.lnk", old)
        os.chmod(locked, stat.S_IRUSR | stat.S_IXUSR)
        for path in [shortcut, os.path.join(locked, "new.lnk")]:
            with self.subTest(path):
                self.assert_create_failed(self.create(path, "C:\\new.txt", folder), path)
                self.assertEqual(os.listdir(locked), ["old.lnk"])
                self.assertEqual(self.read(shortcut), old)

    def test_create_replaces_a_symbolic_link_not_what_it_points_at(self):
        folder = self.make_folder()
        self.write(folder, "pointed.txt", b"must stay as it is\n")
        os.mkdir(os.path.join(folder, "pointed folder"))
        cases = {"link to a file": "pointed.txt", "dangling link": "nowhere.txt", "link to a folder": "pointed folder"}
        for name, pointed in cases.items():
            with self.subTest(name):
                link = os.path.join(folder, name + ".lnk")
                os.symlink(pointed, link)
                self.assert_created(self.create(link, PLAIN_TARGET, folder), link, folder)
                self.assert_views_as(link, PLAIN_TARGET, folder)
        self.assertEqual(self.read(os.path.join(folder, "pointed.txt")), b"must stay as it is\n")
        self.assertEqual(os.listdir(os.path.join(folder, "pointed folder")), [])
        self.assertFalse(os.path.lexists(os.path.join(folder, "nowhere.txt")))


if __name__ == "__main__":
    support.main()
