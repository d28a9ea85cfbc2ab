"""Targets that `/u` takes and `/t` gives back, each with the normalised
form morvik stores. test_round_trip.py and test_lnkinfo.py both run this
one table.

Placeholders, filled in by case_places():
  {tmp}     the case's fresh folder (POSIX path); it is also the current
            folder, unless `cwd` names a folder inside it
  {tmp_z}   the same folder as Windows sees it through drive Z:
  {up_z}    its parent folder, through Z:

Every case folder holds a file "present.txt" (PRESENT_BYTES) and a folder
"present dir". `on_disk` says what the target is on this machine: "file",
"folder", "absent" (a Z: path known not to exist), or None where nothing
is looked up (other drives and shares).
"""

import os
from collections import namedtuple

Target = namedtuple("Target", "name argument expected on_disk cwd", defaults=(None, ""))

PRESENT_FILE = "present.txt"
PRESENT_FOLDER = "present dir"
PRESENT_BYTES = b"round trip\n"


def z_form(posix_path):
    return "Z:" + posix_path.replace("/", "\\")


def padded(root, length, separator="\\"):
    """`root` and names of up to 100 letters, `length` characters in all."""
    path, letter = root, ord("a")
    while len(path) < length:
        if not path.endswith(separator):
            path += separator
        path += chr(letter) * min(100, length - len(path))
        letter += 1
    assert len(path) == length and not path.endswith(separator)
    return path


# 259 characters: with its terminator the target just fills MAX_PATH.
PATH_259 = padded("C:\\", 259)
UNC_259 = padded("\\\\server\\share", 259)
# 257 characters from "/" on, 259 once they are on drive Z:.
POSIX_257 = padded("/", 257, "/")

TARGETS = [
    # Drive paths and folders.
    Target("drive file", r"C:\Windows\notepad.exe", r"C:\Windows\notepad.exe"),
    Target("lower-case drive letter", r"c:\Data\report.docx", r"C:\Data\report.docx"),
    Target("folder", r"D:\Projects\morvik", r"D:\Projects\morvik"),
    Target("folder with trailing separator", "D:\\Projects\\morvik\\", r"D:\Projects\morvik"),
    Target("drive root", "E:\\", "E:\\"),
    Target("drive root with a slash", "E:/", "E:\\"),
    Target("slash separators", "C:/Program Files/Morvik/morvik.exe", r"C:\Program Files\Morvik\morvik.exe"),
    Target("doubled and mixed separators", "C:\\a//b\\\\c/d.txt", r"C:\a\b\c\d.txt"),
    Target("dot and dot-dot segments", r"C:\a\.\b\..\c\.\d.txt", r"C:\a\c\d.txt"),
    Target("dot-dot stops at the root", r"C:\..\..\x.txt", r"C:\x.txt"),
    Target("long-path prefix", "\\\\?\\C:\\Long\\x.txt", r"C:\Long\x.txt"),
    Target("spaces", r"C:\Program Files (x86)\My App\read me.txt", r"C:\Program Files (x86)\My App\read me.txt"),
    Target("percent signs", r"C:\50% off\%s%n%d.txt", r"C:\50% off\%s%n%d.txt"),
    Target("short-name look-alike", r"C:\PROGRA~1\APP.EXE", r"C:\PROGRA~1\APP.EXE"),
    Target("many dots, no extension", r"C:\v1.2.3\Makefile", r"C:\v1.2.3\Makefile"),
    Target("259 characters", PATH_259, PATH_259),
    Target("259 characters UNC", UNC_259, UNC_259),
    Target("259 characters once on drive Z:", POSIX_257, z_form(POSIX_257)),

    # UNC paths.
    Target("UNC share", r"\\server\share", r"\\server\share"),
    Target("UNC file", r"\\server\share\dir\file.txt", r"\\server\share\dir\file.txt"),
    Target("UNC deep", r"\\fileserver\Public\Team A\2024\Q1\budget.xlsx",
           r"\\fileserver\Public\Team A\2024\Q1\budget.xlsx"),
    Target("UNC server by address", r"\\10.0.0.150\LMmetal\doc.pdf", r"\\10.0.0.150\LMmetal\doc.pdf"),
    Target("UNC with slashes", "//server/share/dir/file.txt", r"\\server\share\dir\file.txt"),
    Target("UNC dot-dot", r"\\server\share\a\..\b.txt", r"\\server\share\b.txt"),
    Target("UNC dot-dot stops at the share", r"\\server\share\..\x.txt", r"\\server\share\x.txt"),
    Target("UNC long-path prefix", "\\\\?\\UNC\\server\\share\\x.txt", r"\\server\share\x.txt"),

    # Names beyond ASCII, given in UTF-8.
    Target("accented Latin", r"C:\Café\naïve résumé.txt", r"C:\Café\naïve résumé.txt"),
    Target("Windows-1252 punctuation", "C:\\Prices €\\“quoted” – dash.txt", "C:\\Prices €\\“quoted” – dash.txt"),
    Target("Cyrillic", r"C:\Users\Дима\Документы\файл.txt", r"C:\Users\Дима\Документы\файл.txt"),
    Target("CJK", r"C:\数据\文件.txt", r"C:\数据\文件.txt"),
    Target("emoji", r"C:\emoji\😀 smile.txt", r"C:\emoji\😀 smile.txt"),
    Target("accented UNC", r"\\serveur\données\été.txt", r"\\serveur\données\été.txt"),
    Target("Cyrillic UNC", r"\\сервер\общий\файл.txt", r"\\сервер\общий\файл.txt"),
    Target("no-break space name", "C:\\\u00a0\\x.txt", "C:\\\u00a0\\x.txt"),

    # POSIX paths are on drive Z:.
    Target("POSIX absolute", "/a/b", r"Z:\a\b"),
    Target("POSIX root", "/", "Z:\\", "folder"),
    Target("POSIX dot segments", "/a/./b/../c", r"Z:\a\c"),
    Target("existing file", "{tmp}/" + PRESENT_FILE, "{tmp_z}\\" + PRESENT_FILE, "file"),
    Target("existing folder", "{tmp}/" + PRESENT_FOLDER, "{tmp_z}\\" + PRESENT_FOLDER, "folder"),
    Target("missing file here", "{tmp}/absent.txt", "{tmp_z}\\absent.txt", "absent"),
    Target("existing file through dot-dot", "{tmp}/sub/../" + PRESENT_FILE, "{tmp_z}\\" + PRESENT_FILE, "file"),

    # Relative paths are resolved against the current folder.
    Target("relative file", PRESENT_FILE, "{tmp_z}\\" + PRESENT_FILE, "file"),
    Target("relative folder", PRESENT_FOLDER, "{tmp_z}\\" + PRESENT_FOLDER, "folder"),
    Target("current folder", ".", "{tmp_z}", "folder"),
    Target("relative dot-dot", "../x.txt", "{up_z}\\x.txt"),
    Target("relative missing", "absent/file.txt", "{tmp_z}\\absent\\file.txt", "absent"),
    Target("relative from a non-ASCII folder", "файл.txt", "{tmp_z}\\папка\\файл.txt", "absent", "папка"),
    Target("relative up from a subfolder", "../" + PRESENT_FILE, "{tmp_z}\\" + PRESENT_FILE, "file", "sub"),

    # A target that does not exist anywhere here.
    Target("other drive, nothing there", r"Q:\nowhere\nothing.txt", r"Q:\nowhere\nothing.txt"),
]


def prepare_case_folder(folder):
    """Lays out what the table expects in a fresh case folder."""
    with open(os.path.join(folder, PRESENT_FILE), "wb") as file:
        file.write(PRESENT_BYTES)
    os.mkdir(os.path.join(folder, PRESENT_FOLDER))
    for target in TARGETS:
        if target.cwd:
            os.makedirs(os.path.join(folder, target.cwd), exist_ok=True)


def case_places(folder):
    folder = os.path.realpath(folder)
    return {"tmp": folder, "tmp_z": z_form(folder), "up_z": z_form(os.path.dirname(folder))}


def fill(text, places):
    for name, value in places.items():
        text = text.replace("{" + name + "}", value)
    return text
