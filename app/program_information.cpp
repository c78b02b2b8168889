#include "app/program_information.h"

#include <cstdio>
#include <string>

#include "app/tarnwell_version.h"
#include "general/run_plan.h"

namespace tarnwell {
namespace {

// The GNU way first: it is how Linux tools are asked.
constexpr char kGnuHelp[] =
    "Usage: tarnwell [OPTION]... [FOLDER]\n"
    "Deletes the dated log files (stem.YYYYMMDD.log) directly inside FOLDER whose date lies\n"
    "more than DAYS whole days before today, and reports how many it deleted. Without\n"
    "FOLDER, the default sweep: the folder the registry file names (below).\n"
    "\n"
    "  -d, --older-than=DAYS  delete files dated more than DAYS whole days ago; DAYS is a\n"
    "                         whole number from 1 to 1000000\n"
    "  -k, --keep=N           in each folder, keep the N newest logs of each stem\n"
    "      --names=PATTERNS   sweep logs named like PATTERNS ('--names=u_ex{yyMMdd}.log')\n"
    "      --depth=N          also sweep the sub-folders N levels down; needs FOLDER\n"
    "      --max-size=SIZE    cap the size of the dated logs that remain\n"
    "      --min-free=SIZE    keep SIZE, or a percentage, of the file system free\n"
    "      --rules            also sweep every retention rule; without --older-than,\n"
    "                         only the rules\n"
    "  -n, --dry-run          delete nothing; the count says how many files would go\n"
    "  -l, --list             print each file's full path as it is deleted (or would be)\n"
    "  -q, --quiet            no count message at the end\n"
    "      --json             the report as JSON Lines on standard output (/Json)\n"
    "  -h, --help             show this text\n"
    "  -V, --version          show the version\n"
    "\n"
    "Each option means what its switch below means: --older-than is /DeleteAfterDays,\n"
    "FOLDER /Path, --dry-run /WhatIf, --quiet /Silent, the others their namesakes. FOLDER\n"
    "is taken as written, a backslash part of a name; \"--\" ends the options (a folder\n"
    "named -x). A repeated option counts as given last. An unknown option, a bad or\n"
    "missing value, a second FOLDER or a Windows-style switch among the options says why\n"
    "on standard error and exits with status 2, nothing touched.\n"
    "\n"
    "Example: tarnwell -d 30 -k 7 -n -l /var/log/myapp lists the logs older than 30 days\n"
    "that a run would delete, always keeping the newest 7 of each log.\n"
    "\n"
    "The Windows way, when the first argument is no option, as Tarnwell.exe takes it:\n";

// Follows the usage message, exactly as a run without a day count shows it.
constexpr char kHelp[] =
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
    "  /MaxSize=SIZE       after the age rule, the oldest dated logs go until the rest\n"
    "                      take at most SIZE bytes (4G, 512M: powers of 1024), sub-folders\n"
    "                      counted together; never one dated today, kept or read-only\n"
    "  /MinFree=SIZE|P%    the oldest dated logs go until the folder's file system has\n"
    "                      SIZE bytes, or P% (1 to 99) of its size, free\n"
    "  /Rules              also sweep every retention rule ([Rule] sections in the *.conf\n"
    "                      files of $TARNWELL_RULES or /etc/tarnwell/rules.d), each by its\n"
    "                      own fields and said in a line, after the command line's own\n"
    "                      sweep; without /DeleteAfterDays, the rules alone\n"
    "  /Json               instead of the count message, JSON Lines on standard output:\n"
    "                      with /List an object a file ({\"path\": ...}), then a summary\n"
    "                      of the run and of each sweep; the usage message and notices\n"
    "                      go to standard error. In names, \\ and bytes that are not\n"
    "                      UTF-8 are written \\\\ and \\xHH\n"
    "\n"
    "Every argument must be one of these switches, in its form; anything else (an unknown\n"
    "switch, a folder without /Path=, /WhatIf=yes) shows the usage message and why.\n"
    "\n"
    "Example: /DeleteAfterDays=30 /Keep=7 /MaxSize=4G keeps at most 30 days of logs, at\n"
    "least the newest 7 of each, and never more than 4 GiB of them.\n"
    "\n"
    "Registry file: HKEY_LOCAL_MACHINE is the .reg file (the registry editor's export\n"
    "format) named by $TARNWELL_REGISTRY, or /etc/tarnwell/registry.reg.\n"
    "\n"
    "Notices on standard error, also with /Silent: a folder named that is not there, and\n"
    "old files whose deletion failed (files without a write bit stay on purpose).\n"
    "\n"
    "Exit status: 0 after a sweep, 2 after the usage message or a refused GNU command\n"
    "line (nothing touched), 1 after a run-time error (error 75 for a folder that is there\n"
    "but cannot be reached or listed; also when a /List line could not be written: every\n"
    "file is still deleted) or after a sweep with /Depth in which a sub-folder could not be\n"
    "read, or with /Rules after a sweep that failed or a rule that was refused (the other\n"
    "sweeps ran).\n"
    "See tarnwell(1).\n";

constexpr char kVersion[] = "tarnwell " TARNWELL_VERSION "\n";

}  // namespace

void PrintHelp() {
  std::fputs(kGnuHelp, stdout);
  std::puts(kUsageMessage);
  std::fputs(kHelp, stdout);
}

void PrintVersion() { std::fputs(kVersion, stdout); }

void PrintGnuRefusal(const std::string& why) {
  std::fputs(("tarnwell: " + why + "\nTry 'tarnwell --help' for more information.\n").c_str(),
             stderr);
}

}  // namespace tarnwell
