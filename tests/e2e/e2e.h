// Runs of the built program as a user would start them, for the black-box tests of both
// targets. The runner and what differs by target are defined in <target>/<target>_e2e_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::e2e {

using Lines = std::vector<std::string>;

struct RunResult {
  int exit_code = -1;
  Lines messages;  // usage or count: stdout lines / information boxes
  Lines errors;    // run-time errors and notices: stderr lines, and on Windows error boxes
  Lines output;    // Windows: the standard output file (on Linux all of it is `messages`)
};

// Starts the program with `arguments` as a shell passes them (an argument may hold blanks),
// answers every message box with OK and waits for the end. No run reads the machine's own
// registry file or rules files on Linux.
RunResult RunTarnwell(const Lines& arguments);

// Whether /Silent also keeps a run-time error quiet: on Windows, so that no box waits for a
// click; on Linux the error line always goes to standard error.
extern const bool kSilentHidesErrors;

// Adds to `folder` old dated entries of the kinds this target never deletes: symbolic links
// and pipes on Linux, hidden and system files on Windows.
void AddEntriesNeverDeleted(const TestFolder& folder);

inline const Lines kUsage = {
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]"};

// The line that says why a command line was refused; `kUsageHint` follows the reason.
extern const char kUsageHint[];
inline std::string Refusal(const std::string& why) { return "tarnwell: " + why + kUsageHint; }

inline Lines Deleted(int count) { return {std::to_string(count) + " Debug files deleted"}; }

}  // namespace tarnwell::e2e
