"""The command-line cases of morvik, as data: one list, run by every runner
(the Linux build directly, the Windows build under Wine).

Each case gives the arguments after the program name, the exact standard
output (with "\n" line ends; a runner for a platform with CR LF line ends
converts them), and the exit code. Arguments and expected output may hold
placeholders that each runner fills in for its platform:

  {tmp}        a fresh empty folder for this case
  {corpus}     the folder of shortcut files written by Windows
  {fixtures}   tests/fixtures in the repository
  {missing}    a folder that does not exist

Paths are written with "/" and converted by the runner where needed.
Placeholders are replaced as plain text (not with str.format): other braces,
as in a printed target, are part of the text.
"""

from collections import namedtuple

Case = namedtuple("Case", "name args stdout exit_code")

RULE = "*" * 76 + "\n"
USAGE = (
    RULE
    + "* Morvik - Morvik project, morvik@example.org, https://morvik.example.org/ *\n"
    + RULE
    + "Syntax of Morvik:\n"
    + "/u <fileLNK> <targetFile>  ==> Create (or Modify) file LNK with targetFile\n"
    + "/t <fileLNK>               ==> View the targerFile\n"
)

SYNTAX = "Error: Syntax\n"


def create_failed(path):
    return "!Error: can'f create Shortcut <" + path + ">\n"


def view_failed(path):
    return "!Error: can'f create <" + path + ">\n"


# A shortcut written by Windows, and what the view command prints for it.
CORPUS_LINK = "{corpus}/microsoft_example.lnk"
CORPUS_TARGET = "C:\\test\\a.txt\n"

# Switches that only look like "/u" or "/t": the match is exact and
# case-sensitive, and an empty argument is no switch either.
NOT_SWITCHES = ["/U", "/T", "-t", "-u", "/tt", "/uu", "t", "/", ""]

CASES = [
    # Wrong counts: the usage screen.
    Case("no arguments", [], USAGE, 1),
    Case("lone view switch", ["/t"], USAGE, 1),
    Case("lone create switch", ["/u"], USAGE, 1),
    Case("lone unknown switch", ["/U"], USAGE, 1),
    Case("view with four arguments", ["/t", CORPUS_LINK, "a", "b"], USAGE, 1),
    Case("create with four arguments", ["/u", "{tmp}/a.lnk", "C:/a.txt", "b"], USAGE, 1),
    Case("create with five arguments", ["/u", "{tmp}/a.lnk", "C:/a.txt", "b", "c"], USAGE, 1),
    # The create command with its shortcut but no target shows how to call it.
    Case("create without target", ["/u", "{tmp}/a.lnk"], USAGE, 1),
] + [
    Case(f"syntax error: {switch!r} and {len(rest)} more", [switch] + rest, SYNTAX, 4)
    for switch in NOT_SWITCHES
    for rest in (["{tmp}/a.lnk"], ["{tmp}/a.lnk", "C:/a.txt"])
] + [
    # The switch is looked for in first place only.
    Case("view switch in second place", ["{tmp}/a.lnk", "/t"], SYNTAX, 4),
    Case("view switch in second place, one more", [CORPUS_LINK, "/t", "x"], SYNTAX, 4),
    Case("create switch in second place", ["{tmp}/a.lnk", "/u", "C:/a.txt"], SYNTAX, 4),

    # The view command.
    Case("view a shortcut", ["/t", CORPUS_LINK], CORPUS_TARGET, 0),
    Case("view ignores a third argument", ["/t", CORPUS_LINK, "{missing}/b.lnk"], CORPUS_TARGET, 0),
    Case("view ignores a switch as third argument", ["/t", CORPUS_LINK, "/u"], CORPUS_TARGET, 0),
    Case("view a shortcut without file-system target", ["/t", "{corpus}/sample3.lnk"], "\n", 0),
    Case("view a missing file", ["/t", "{missing}/a.lnk"], view_failed("{missing}/a.lnk"), 3),
    Case("view a missing file in an existing folder", ["/t", "{tmp}/a.lnk"], view_failed("{tmp}/a.lnk"), 3),
    Case("view a text file", ["/t", "{fixtures}/end_to_end/not_a_shortcut.txt"],
         view_failed("{fixtures}/end_to_end/not_a_shortcut.txt"), 3),
    Case("view an empty file", ["/t", "{fixtures}/end_to_end/empty.lnk"],
         view_failed("{fixtures}/end_to_end/empty.lnk"), 3),
    Case("view a header with the wrong class", ["/t", "{fixtures}/end_to_end/wrong_class_id.lnk"],
         view_failed("{fixtures}/end_to_end/wrong_class_id.lnk"), 3),
    Case("view an ID list running past the end", ["/t", "{fixtures}/end_to_end/id_list_past_end.lnk"],
         view_failed("{fixtures}/end_to_end/id_list_past_end.lnk"), 3),
    Case("view a folder", ["/t", "{tmp}"], view_failed("{tmp}"), 3),
    # Paths go to "%s", never into the format string itself.
    Case("view a target with percent signs", ["/t", "{fixtures}/end_to_end/percent_target.lnk"],
         "C:\\100%\\%s%n%d.txt\n", 0),
    Case("view failure with percent signs", ["/t", "{missing}/%s%n%d.lnk"],
         view_failed("{missing}/%s%n%d.lnk"), 3),

    # The create command.
    Case("create a shortcut", ["/u", "{tmp}/new.lnk", "C:/Windows/notepad.exe"], "", 0),
    Case("create a shortcut with percent signs", ["/u", "{tmp}/%s%n%d.lnk", "C:/%s%n%d.txt"], "", 0),
    Case("create into a missing folder", ["/u", "{missing}/a.lnk", "C:/a.txt"],
         create_failed("{missing}/a.lnk"), 2),
    Case("create onto a folder", ["/u", "{tmp}", "C:/a.txt"], create_failed("{tmp}"), 2),
    Case("create failure with percent signs", ["/u", "{missing}/%s%n%d.lnk", "C:/a.txt"],
         create_failed("{missing}/%s%n%d.lnk"), 2),
]
