"""Independent readers agree with what `/u` writes: lnkinfo (Debian package
liblnk-utils) parses every shortcut of the round-trip table without error
and finds the target in it, and `file` calls it a Windows shortcut."""

import datetime
import os
import re
import shutil
import subprocess

import support
from round_trip_table import PRESENT_BYTES, TARGETS, case_places, fill, prepare_case_folder

# lnkinfo's output is read as UTF-8 whatever the locale of the run.
LNKINFO_ENV = dict(os.environ, LC_ALL="C.UTF-8")
TIME = re.compile(r"(\w{3}) (\d{1,2}), (\d{4}) (\d\d):(\d\d):(\d\d)\.(\d{9}) UTC")
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
UNIX_EPOCH = datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)
ARCHIVE, DIRECTORY = 0x20, 0x10
# Lines of the shell items in lnkinfo's report.
LONG_NAME = re.compile(r"^\t\tLong name\t+: (.*)$", re.MULTILINE)
LOCATION = re.compile(r"^\t\tLocation\t+: (.*)$", re.MULTILINE)


def link_information(output):
    """The "Link information:" section of lnkinfo's report, as a dict."""
    fields, inside = {}, False
    for line in output.splitlines():
        if line == "Link information:":
            inside = True
        elif inside and line.startswith("\t") and not line.startswith("\t\t"):
            key, _, value = line[1:].partition(":")
            fields[key.strip()] = value.strip()
        elif inside and line.strip() and not line.startswith("\t"):
            break
    return fields


def nanoseconds_since_1970(text):
    match = TIME.fullmatch(text)
    if not match:
        return None
    month, day, year, hour, minute, second, fraction = match.groups()
    moment = datetime.datetime(int(year), MONTHS.index(month) + 1, int(day), int(hour), int(minute), int(second),
                               tzinfo=datetime.timezone.utc)
    return (moment - UNIX_EPOCH) // datetime.timedelta(seconds=1) * 10**9 + int(fraction)


def in_windows_1252(text):
    try:
        text.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


class IndependentReaders(support.MorvikTestCase):
    def setUp(self):
        for tool, package in (("lnkinfo", "liblnk-utils"), ("file", "file")):
            if shutil.which(tool) is None:
                self.fail(f"'{tool}' is not installed; the tests need it: apt-get install -y {package}")

    def test_round_trip_shortcuts(self):
        for target in TARGETS:
            with self.subTest(target.name):
                folder = os.path.realpath(self.make_folder())
                prepare_case_folder(folder)
                places = case_places(folder)
                shortcut = os.path.join(folder, "target.lnk")
                expected = fill(target.expected, places)
                # Before /u: writing the shortcut changes its folder's times.
                facts = os.stat(local_path_of(expected)) if target.on_disk in ("file", "folder") else None
                run = self.create(shortcut, fill(target.argument, places), os.path.join(folder, target.cwd))
                self.assert_created(run, shortcut, folder)
                self.check_lnkinfo(shortcut, expected, target.on_disk, facts)
                self.check_file(shortcut)

    def check_lnkinfo(self, shortcut, expected, on_disk, facts):
        done = subprocess.run(["lnkinfo", shortcut], capture_output=True, env=LNKINFO_ENV,
                              timeout=support.HANG_GUARD_SECONDS)
        output = done.stdout.decode("utf-8", "replace")
        errors = done.stderr.decode("utf-8", "replace")
        self.assertEqual((done.returncode, errors), (0, ""), f"lnkinfo could not parse it:\n{output}")
        fields = link_information(output)
        network = expected.startswith("\\\\")
        key, other = ("Network path", "Local path") if network else ("Local path", "Network path")
        self.assertIn(key, fields, output)
        self.assertNotIn(other, fields, output)
        # For other names lnkinfo shows its own decoding; parsing is what counts.
        if in_windows_1252(expected):
            self.assertEqual(fields[key], expected, output)
            # /t reads the ID list first: its items must spell the same path.
            if network:
                server, share, *names = expected[2:].split("\\")
                self.assertEqual(LOCATION.findall(output), ["\\\\" + server, f"\\\\{server}\\{share}"], output)
            else:
                names = expected[3:].split("\\") if len(expected) > 3 else []
            self.assertEqual(LONG_NAME.findall(output), names, output)

        if on_disk is None and expected.startswith("Z:"):
            return  # a path of this machine's that the table does not control
        size, attributes = int(fields["File size"].split()[0]), int(fields["File attribute flags"], 16)
        if on_disk in ("file", "folder"):
            self.assertEqual(attributes, ARCHIVE if on_disk == "file" else DIRECTORY, output)
            self.assertEqual(size, len(PRESENT_BYTES) if on_disk == "file" else 0, output)
            # FILETIME keeps 100 ns steps.
            self.assertEqual(nanoseconds_since_1970(fields["Modification time"]),
                             facts.st_mtime_ns // 100 * 100, output)
        else:
            # A target that is not here: a fresh shell link object's zeros.
            self.assertEqual((size, attributes), (0, 0), output)
            for time in ("Creation time", "Modification time", "Access time"):
                self.assertEqual(fields[time], "Not set (0)", output)

    def check_file(self, shortcut):
        done = subprocess.run(["file", "-b", shortcut], capture_output=True, text=True,
                              timeout=support.HANG_GUARD_SECONDS)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(done.stdout.startswith("MS Windows shortcut"), done.stdout)


def local_path_of(z_path):
    """This machine's path for a path on drive Z:."""
    return "/" + z_path[3:].replace("\\", "/")


if __name__ == "__main__":
    support.main()
