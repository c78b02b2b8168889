// /WhatIf and /List from outside, on both targets: the preview must promise exactly what
// a real run then does, and the record must name exactly the files that are gone.
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

// The run with its /List record in `output` and its one message in `messages`: on Linux
// both share standard output, the message last.
RunResult Separated(RunResult run) {
  const auto message = run.messages.end() - (run.messages.empty() ? 0 : 1);
  run.output.insert(run.output.begin(), run.messages.begin(), message);
  run.messages.erase(run.messages.begin(), message);
  return run;
}

// The folder path holds "/WhatIf" inside a word, which must not count.
TEST(PreviewAndRecord, ThePreviewCountsAndListsExactlyWhatTheRealRunThenDeletes) {
  TestFolder folder("logs \xC3\xA4/WhatIf");
  const Names old = {LogName("app", -8), LogName("\xC3\xA9t\xC3\xA9", -30), LogName("a.b", -400)};
  folder.Create(old);
  folder.Create({LogName("young", -7), LogName(".dot", -30), "x.99999999.log", "app.2014080x.log"});
  folder.Add(LogName("read-only", -30), true);
  fs::create_directory(folder.Path() / LogName("folder", -30));
  AddEntriesNeverDeleted(folder);
  const Names before = folder.Entries();
  Names record;
  for (const std::string& name : old)
    record.insert(folder.Text() + char(fs::path::preferred_separator) + name);

  const Lines real_run = {"/DeleteAfterDays=7", "/Path=" + folder.Text(), "/List"};
  const RunResult preview = Separated(RunTarnwell({real_run[0], real_run[1], "/LIST", "/whatif"}));
  EXPECT_EQ(preview.exit_code, 0);
  EXPECT_EQ(preview.messages, Lines{"3 Debug files would be deleted"});
  EXPECT_EQ(folder.Entries(), before);
  const RunResult real = Separated(RunTarnwell(real_run));
  EXPECT_EQ(real.exit_code, 0);
  EXPECT_EQ(real.messages, Deleted(3));
  Names gone = before;
  for (const std::string& name : folder.Entries()) gone.erase(name);
  EXPECT_EQ(gone, old);
  EXPECT_EQ(Names(real.output.begin(), real.output.end()), record);
  EXPECT_EQ(preview.output, real.output);  // one line each, in the same order
}

}  // namespace
}  // namespace tarnwell::e2e
