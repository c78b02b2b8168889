#include "app/program_information.h"

#include <cstdio>

#include "app/tarnwell_version.h"
#include "general/run_plan.h"

namespace tarnwell {
namespace {

// Follows the usage message, exactly as a run without a day count shows it.
constexpr char kHelp[] =
    "\n"
    "Deletes the dated log files (stem.YYYYMMDD.log) directly inside a folder whose date\n"
    "lies more than NumberOfDays whole days before today, and reports how many it deleted.\n"
    "\n"
    "  /DeleteAfterDays=N  delete files dated more than N whole days ago (N is rounded half\n"
    "                      to even and must come out above 0)\n"
    "  /Path=FOLDER        sweep FOLDER alone; without any /Path, sweep the folder named\n"
    "                      by the value DebugPath of HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\n"
    "                      (its WOW6432Node key first); a /Path that yields no folder, or\n"
    "                      not exactly the one its argument holds, shows the usage message\n"
    "  /Silent             no count message at the end\n"
    "  /WhatIf             delete nothing; the count says how many files would go\n"
    "  /List               print each file's full path as it is deleted (or would be),\n"
    "                      absolute, one a line; a backslash, line feed, carriage return,\n"
    "                      tab or other control byte in it is written \\\\, \\n, \\r, \\t, \\xHH\n"
    "  /Keep=N             in each folder, keep the N newest logs of each stem (the name\n"
    "                      without date and extension) whatever their age; N is 1 to\n"
    "                      1000000, anything else shows the usage message\n"
    "  /Names=PATTERNS     sweep logs named like PATTERNS instead: a file name with one\n"
    "                      date field in braces (yyyy or yy, MM, dd; HH, mm, ss), * and ?\n"
    "                      around it, several separated by |; quote the switch:\n"
    "                      '/Names=u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log' (IIS),\n"
    "                      '/Names=*-{yyyy-MM-dd}.log' (log4j), '/Names=log{yyyyMMdd}.txt'\n"
    "                      (Serilog); dates are strict, and /Keep counts by the name\n"
    "                      before the field\n"
    "  /Depth=N            also sweep the sub-folders N levels down (0 to 16), each as a\n"
    "                      folder of its own, never through a link or onto a mount;\n"
    "                      needs /Path\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Every argument must be one of these switches, in its form; anything else (an unknown\n"
    "switch, a folder without /Path=, /WhatIf=yes) shows the usage message and why.\n"
    "\n"
    "Example: /DeleteAfterDays=30 /Keep=7 deletes logs older than 30 days, but always\n"
    "keeps the newest 7 of each log.\n"
    "\n"
    "Registry file: HKEY_LOCAL_MACHINE is the .reg file (the registry editor's export\n"
    "format) named by $TARNWELL_REGISTRY, or /etc/tarnwell/registry.reg.\n"
    "\n"
    "Notices on standard error, also with /Silent: a folder named that is not there, and\n"
    "old files whose deletion failed (files without a write bit stay on purpose).\n"
    "\n"
    "Exit status: 0 after a sweep, 2 after the usage message (nothing touched), 1 after a\n"
    "run-time error (error 75 for a folder that is there but cannot be reached or listed;\n"
    "also when a /List line could not be written: every file is still deleted) or after a\n"
    "sweep with /Depth in which a sub-folder could not be read.\n"
    "See tarnwell(1).\n";

constexpr char kVersion[] = "tarnwell " TARNWELL_VERSION "\n";

}  // namespace

bool PrintProgramInformation(std::string_view argument) {
  if (argument == "--help") {
    std::puts(kUsageMessage);
    std::fputs(kHelp, stdout);
    return true;
  }
  if (argument != "--version") return false;
  std::fputs(kVersion, stdout);
  return true;
}

}  // namespace tarnwell
