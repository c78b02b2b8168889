// The Linux command line the GNU way, `tarnwell [OPTION]... [FOLDER]`: each option a
// Windows-style switch written as Linux tools write theirs, read into the same run plan.
// Linux only: Tarnwell.exe reads its switches alone, as it always has.
#pragma once

#include <string>
#include <vector>

#include "general/run_plan.h"

namespace tarnwell {

// What a command line read the GNU way asks for.
struct GnuCommandLine {
  enum class Asks { kRun, kHelp, kVersion, kRefusal };
  Asks asks = Asks::kRun;
  // kRun: the plan its Windows-style twin reads into; never the usage, never an error.
  RunPlan plan = {};
  // kRefusal: why, as GNU tools say it after "tarnwell: " ("unrecognized option '--foo'").
  std::string refusal = "";
};

// Whether `arguments` (argv without argv[0]) are read the GNU way: the first one begins
// with "-" and is not "-" alone. Every other command line, the empty one too, is read the
// Windows way (ReadRunPlan), exactly as before the GNU way existed.
bool IsGnuCommandLine(const std::vector<std::string>& arguments);

// Reads `arguments` the GNU way with glibc's getopt_long: long options may be abbreviated to
// a unique prefix and take their value after "=" or as the next argument; short ones may be
// clustered (-nl) and take theirs glued or next; options and the operand come in any order;
// "--" ends the options. A repeated option counts as given last, as in other GNU tools (the
// Windows way keeps the first). --help and --version answer when met, before what follows.
//
// The plan is what the Windows-style twin of the command line reads into: each value goes
// through SetRuleField, the FOLDER operand becomes the sweep's folder verbatim. Refused: an
// unknown or ambiguous option, a missing value, a value on an option that takes none, a
// bad value (--older-than: a whole number from 1 to 1,000,000 in decimal digits), a second
// operand, an empty one, an operand before "--" written as a Windows-style switch this
// program knows (the two ways do not mix), no --older-than without --rules, a folder or a
// value of the sweep with --rules but without --older-than (then only the rules are swept),
// a --depth above 0 without a folder.
//
// getopt_long keeps its state in globals: optind, optarg, optopt, opterr, and inside glibc
// the place within a cluster of short options. Setting optind to 0, as this does before
// its first call, makes glibc start afresh (1 would go on inside a half-read cluster), and
// opterr 0 keeps it from printing: every message is made here. So the reading can run any
// number of times in one process (the tests, the fuzzer), one at a time: it is not
// thread-safe. The options are returned in order ("-" leads the option string), which also
// keeps POSIXLY_CORRECT from ending them at the first operand: nothing but `arguments` is
// read.
GnuCommandLine ReadGnuCommandLine(const std::vector<std::string>& arguments);

}  // namespace tarnwell
