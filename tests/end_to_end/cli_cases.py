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

CASES = [
    Case("no arguments", [], USAGE, 1),
    Case("lone view switch", ["/t"], USAGE, 1),
    Case("syntax error", ["/U", "{tmp}/a.lnk"], "Error: Syntax\n", 4),
]
