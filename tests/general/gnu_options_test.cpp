// The GNU way: each command line read into the plan of its Windows-style twin, or refused
// as GNU tools refuse.
#include "general/gnu_options.h"

#include <gtest/gtest.h>

#include <tuple>

#include "general/argument_text.h"

namespace tarnwell {
namespace {

using Arguments = std::vector<std::string>;
using Asks = GnuCommandLine::Asks;

TEST(ReadGnuCommandLine, ReadsThePlanOfItsWindowsStyleTwin) {
  const struct {
    Arguments gnu, twin;
  } rows[] = {
      {.gnu = {"-d", "7"}, .twin = {"/DeleteAfterDays=7"}},
      {.gnu = {"--older-than=30", "-k", "7", "--dry-run", "--list", "--quiet", "/srv/my logs"},
       .twin = {"/DeleteAfterDays=30", "/Keep=7", "/WhatIf", "/List", "/Silent",
                "/Path=/srv/my logs"}},
      // Clusters, glued values, unique prefixes, options after the operand, the last counts.
      {.gnu = {"-nlqd3", "x", "-k7", "--kee=2", "--old", "5"},
       .twin = {"/WhatIf", "/List", "/Silent", "/Path=x", "/Keep=2", "/DeleteAfterDays=5"}},
      {.gnu = {"--names", "u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log", "--depth=1", "--max-size=4G",
               "--min-free=10%", "-d", "7", "/srv/iis"},
       .twin = {"/Names=u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log", "/Depth=1", "/MaxSize=4G",
                "/MinFree=10%", "/DeleteAfterDays=7", "/Path=/srv/iis"}},
      {.gnu = {"--json", "--rules", "-d", "7"}, .twin = {"/Json", "/Rules", "/DeleteAfterDays=7"}},
      // After "--" every argument is the folder, as written.
      {.gnu = {"-d", "7", "--", "-x"}, .twin = {"/DeleteAfterDays=7", "/Path=-x"}},
  };
  for (const auto& row : rows) {
    const GnuCommandLine gnu = ReadGnuCommandLine(row.gnu);
    RunPlan twin = ReadRunPlan(ArgumentTextFromArguments(row.twin), &row.twin);
    twin.sweep.verbatim_folder = !twin.sweep.folder.empty();  // an operand is never /Path's
    const std::string trace = testing::PrintToString(row.gnu);
    ASSERT_FALSE(twin.usage || twin.error) << trace;
    EXPECT_EQ(std::tuple(gnu.asks, gnu.refusal), std::tuple(Asks::kRun, "")) << trace;
    EXPECT_EQ(std::tuple(gnu.plan.sweep, gnu.plan.rules, gnu.plan.choices),
              std::tuple(twin.sweep, twin.rules, twin.choices))
        << trace;
  }
}

TEST(ReadGnuCommandLine, RefusesAsGnuToolsDoOrAnswers) {
  const std::string days = "': the days must be a whole number from 1 to 1000000";
  const struct {
    Arguments gnu;
    std::string refusal;  // "" for an answer
    Asks asks = Asks::kRefusal;
  } rows[] = {
      {.gnu = {"--foo=bar"}, .refusal = "unrecognized option '--foo=bar'"},
      {.gnu = {"--d"},
       .refusal = "option '--d' is ambiguous; possibilities: '--depth' '--dry-run'"},
      {.gnu = {"--dry-run=yes"}, .refusal = "option '--dry-run' doesn't allow an argument"},
      // A reading that stops inside a cluster leaves glibc there: the next must start afresh.
      {.gnu = {"-xn"}, .refusal = "invalid option -- 'x'"},
      {.gnu = {"-n"}, .refusal = "--older-than=DAYS is missing"},
      {.gnu = {"-nd"}, .refusal = "option requires an argument -- 'd'"},
      {.gnu = {"-d", "1000001"}, .refusal = "invalid --older-than '1000001" + days},
      {.gnu = {"-d", "7", "-k0"},
       .refusal = "invalid --keep '0': the count must be a whole number from 1 to 1000000"},
      {.gnu = {"-d", "7", ""}, .refusal = "the FOLDER operand is empty"},
      {.gnu = {"-d", "7", "/Path=/x"},
       .refusal = "'/Path=/x' is a Windows-style switch: with GNU options write the folder alone"},
      {.gnu = {"-d", "7", "--depth=1"},
       .refusal = "--depth=1 needs a FOLDER: the default sweep is never walked"},
      // --rules alone sweeps the rules alone: nothing of a sweep of its own may be dropped.
      {.gnu = {"--rules", "x"}, .refusal = "the folder 'x' needs --older-than"},
      {.gnu = {"--rules", "--depth=0"}, .refusal = "--depth needs --older-than"},
      {.gnu = {"--rules", "-nlq"}, .refusal = "", .asks = Asks::kRun},
      {.gnu = {"-d", "7", "--", "/Silent"}, .refusal = "", .asks = Asks::kRun},
      // --help and --version answer when met; what comes before them is read first.
      {.gnu = {"-V", "--foo", "a", "b"}, .refusal = "", .asks = Asks::kVersion},
      {.gnu = {"-d", "x", "--help"}, .refusal = "invalid --older-than 'x" + days},
  };
  for (const auto& row : rows) {
    const GnuCommandLine gnu = ReadGnuCommandLine(row.gnu);
    EXPECT_EQ(std::tuple(gnu.asks, gnu.refusal), std::tuple(row.asks, row.refusal))
        << testing::PrintToString(row.gnu);
  }
}

}  // namespace
}  // namespace tarnwell
