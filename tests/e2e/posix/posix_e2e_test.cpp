// Black-box runs of the Linux program: stdout and stderr read back as lines, the registry
// file that names the folder of the default sweep, and the runs that a hostile or broken
// environment makes.
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>

#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {

constexpr char kNoRegistry[] = "/nonexistent/tarnwell-e2e/registry.reg";
constexpr char kNoRules[] = "/nonexistent/tarnwell-e2e/rules.d";

static void ToFullDisk() { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); }
static void ToPipeWithoutReader() {
  int ends[2];
  if (pipe(ends) != 0) return;
  close(ends[0]);
  dup2(ends[1], STDOUT_FILENO);
  signal(SIGPIPE, SIG_DFL);
}
// Root reads and deletes whatever the permissions say; any other user does not.
static void AsAnyUser() {
  for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
    prctl(PR_CAPBSET_DROP, capability);
}

// The lines of the file `path`, which goes; a last line without its line end is marked.
static Lines ReadLines(const std::string& path) {
  Lines lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);)
    lines.push_back(file.eof() ? line + "<no line end>" : line);
  std::remove(path.c_str());
  return lines;
}

// The program run with `registry` as its registry file and `rules` as its folder of rules
// files; `in_child` runs in the new process just before the program starts. A run that
// hangs ends at the alarm, and one that hoards memory runs out of it early.
static RunResult Launch(const Lines& arguments, const std::string& registry,
                        void (*in_child)() = nullptr, const std::string& rules = kNoRules) {
  std::vector<char*> argv{const_cast<char*>(TARNWELL_PROGRAM)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const std::string out = testing::TempDir() + "tarnwell-e2e-" + std::to_string(getpid());
  const pid_t child = fork();
  if (child == 0) {
    std::freopen((out + ".out").c_str(), "w", stdout);
    std::freopen((out + ".err").c_str(), "w", stderr);
    setenv("TARNWELL_REGISTRY", registry.c_str(), 1);
    setenv("TARNWELL_RULES", rules.c_str(), 1);
    alarm(20);
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory needs terabytes
    const rlimit memory{64 << 20, 64 << 20};
    setrlimit(RLIMIT_AS, &memory);
#endif
    if (in_child != nullptr) in_child();
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  const int exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return {exit_code, ReadLines(out + ".out"), ReadLines(out + ".err"), {}};
}

const bool kSilentHidesErrors = false;
const char kUsageHint[] = "; see tarnwell --help";

RunResult RunTarnwell(const Lines& arguments) { return Launch(arguments, kNoRegistry); }

void AddEntriesNeverDeleted(const TestFolder& folder) {
  folder.Add("target.txt");
  fs::create_symlink("target.txt", folder.Path() / LogName("link", -30));
  fs::create_symlink("gone", folder.Path() / LogName("dangling", -30));
  fs::create_directory_symlink(".", folder.Path() / LogName("dirlink", -30));
  EXPECT_EQ(mkfifo((folder.Path() / LogName("pipe", -30)).c_str(), 0644), 0);
}

// Every run starts in the folder of its registry files, which also holds "c:" and
// "C:\DebugFiles" as relative names: a drive path of the default sweep read as a relative one
// would sweep them.
TEST(Run, TheRegistryFileAndAHostileEnvironmentDecideHowTheRunEnds) {
  const TestFolder registry, logs, locked("locked");
  const fs::path started_in = fs::current_path();
  fs::current_path(registry.Path());
  const std::string old = LogName("old", -30), decoys[] = {"c:/", "C:/DebugFiles/"};
  for (const std::string& decoy : decoys) {
    fs::create_directories(decoy);
    std::ofstream(decoy + old);
  }
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  const std::string naming =
      "REGEDIT4\n[HKLM\\SOFTWARE\\Corvane]\n\"DebugPath\"=\"" + logs.Text() + '"';
  // The largest file read: 16 MiB of blank lines, a quarter of what a piece per line would take.
  std::ofstream("large") << naming << std::string((16 << 20) - naming.size(), '\n');
  std::ofstream("huge") << naming << std::string((16 << 20) + 1 - naming.size(), '\n');
  std::string keys = "REGEDIT4\n";
  for (int i = 0; i < 1'000'000; ++i) keys += "[HKLM\\" + std::to_string(i) + "]\n";
  std::ofstream("keys") << keys;
  locked.Add(old);
  fs::permissions(locked.Path(), fs::perms::none);
  const std::string io_error = "Run-time error '57': Device I/O error: standard output: ",
                    full = io_error + "No space left on device",
                    ignored = "; registry file ignored",
                    denied = "Run-time error '75': Path/File access error: " + locked.Text(),
                    eacces = "Permission denied", no_folder = "no such folder, nothing swept";
  const struct {
    std::string registry = kNoRegistry, path = "";  // path: of the /Path switch, if any
    Lines arguments = {"/DeleteAfterDays=7"};
    void (*in_child)() = nullptr;
    int count = 0;         // of the "N Debug files deleted" line
    bool deleted = false;  // whether what `logs` held went
    std::string error = "";
  } rows[] = {
    {},  // no registry file, silently: C:\DebugFiles instead, which names nothing here
    {.registry = "fifo", .error = "tarnwell: fifo: not a regular file" + ignored},
    {.registry = "huge", .error = "tarnwell: huge: larger than 16 MiB" + ignored},
    {.registry = "large", .count = 1, .deleted = true},
#if !defined(__SANITIZE_ADDRESS__)
    {.registry = "keys", .error = "Run-time error '7': Out of memory"},
#endif
    {.path = logs.Text(), .in_child = ToFullDisk, .deleted = true, .error = full},
    // The /List record lost: every file still goes, and the run ends in error.
    {.path = logs.Text(),
     .arguments = {"/DeleteAfterDays=7", "/List"},
     .in_child = ToPipeWithoutReader,
     .deleted = true,
     .error = io_error + "Broken pipe"},
    {.path = locked.Text(), .in_child = AsAnyUser, .error = denied + ": " + eacces},
    {.path = locked.Text() + "/i", .in_child = AsAnyUser, .error = denied + "/i: " + eacces},
    {.path = "no\\such/", .error = "tarnwell: " + registry.Text() + "/no/such: " + no_folder},
  };
  for (const auto& row : rows) {
    Lines arguments = row.arguments;
    if (!row.path.empty()) arguments.push_back("/Path=" + row.path);
    SCOPED_TRACE(row.registry + " " + testing::PrintToString(arguments) + " " + row.error);
    logs.Add(LogName("old", -8));
    const RunResult run = Launch(arguments, row.registry, row.in_child);
    // A run-time error ends the run with status 1, before any count is shown.
    const bool ended = row.error.starts_with("Run-time error");
    EXPECT_EQ(run.exit_code, ended ? 1 : 0);
    EXPECT_EQ(run.messages, ended ? Lines{} : Deleted(row.count));
    EXPECT_EQ(run.errors, row.error.empty() ? Lines{} : Lines{row.error});
    EXPECT_EQ(logs.Entries().empty(), row.deleted);
  }
  for (const std::string& decoy : decoys) EXPECT_TRUE(fs::exists(decoy + old)) << decoy;
  fs::current_path(started_in);
}

// A /Path whose value cannot reach the lookup as the argument holds it is refused: a
// quote cuts it short, blanks at its ends are trimmed, an empty one would read the next
// argument; so is an argument that is no switch. Each decoy would be swept by the misreading; none
// may go, and neither may the registry's folder of the default sweep.
TEST(Run, SweepsTheFolderTheArgumentNamesOrRefuses) {
  const TestFolder top, registry_folder;
  const std::string old = LogName("old", -30);
  const std::string registry = top.Text() + "/registry.reg";
  std::ofstream(registry) << "REGEDIT4\n[HKLM\\SOFTWARE\\Corvane]\n\"DebugPath\"=\""
                          << registry_folder.Text() << "\"\n";
  const std::string a = top.Text() + "/a", x = top.Text() + "/x";
  const struct {
    Lines arguments;
    std::string swept = "";  // the folder whose old log goes; "": the usage message
  } rows[] = {
      {.arguments = {"/Path=" + a + "\"b"}, .swept = a + "\"b"},
      {.arguments = {"/Path=" + a + "\"b c"}},
      {.arguments = {"/Path=" + x + " "}},
      {.arguments = {"/Path=", x}},
      {.arguments = {"--note=see /Path=" + x, "/Path=" + a}},
      {.arguments = {"/PATH=\"" + x + "\""}, .swept = x},
      // A folder without /Path, or split off by the shell at a blank, sweeps nothing else.
      {.arguments = {a}},
      {.arguments = {"/Path=" + a, "c"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    const std::string folders[] = {a, a + "\"b", a + "\"b c", x, x + " ", registry_folder.Text()};
    for (const std::string& folder : folders) {
      fs::create_directories(folder);
      std::ofstream(folder + "/" + old);
    }
    Lines arguments = row.arguments;
    arguments.insert(arguments.begin(), "/DeleteAfterDays=7");
    const RunResult run = Launch(arguments, registry);
    EXPECT_EQ(run.exit_code, row.swept.empty() ? 2 : 0);
    for (const std::string& folder : folders) {
      EXPECT_EQ(fs::exists(folder + "/" + old), folder != row.swept) << folder;
    }
  }
}

// Real file systems and permissions, on the machine's disk (/tmp may be tmpfs). The preview
// tells exactly what the silent run then deletes and records, with the same notice of the
// old files that stayed, except the read-only r. The folder is written oddly; every line
// names it plainly.
TEST(Run, PreviewAndRunAgreeOnEveryFileSystemAndPermission) {
  static const std::string p = "p.20100101.log", q = "q.20100101.log", r = "r.20100101.log";
  const std::string eperm = "Operation not permitted",
                    one = "1 old file not deleted: ", two = "2 old files not deleted: ";
  std::string long_name = ".20100101.log";  // over NAME_MAX bytes, within exFAT's 255 units
  for (int i = 0; i < 130; ++i) long_name.insert(0, "\xC3\xA4");
  const std::string exfat =
      "truncate -s 16M $D.img && mkfs.exfat $D.img >/dev/null && "
      "mount.exfat-fuse -o quiet $(losetup -f --show $D.img) $D";
  const std::string ro_bind = "mount --bind $D $D && mount -o remount,bind,ro $D",
                    sticky = "chmod 1777 $D && chown 65534 $D $D/q.*", unwritable = "chmod 555 $D";
  const struct {
    // Shell commands, before the files are made and after: the mount, mark or owner they make
    // is what the row is about, so their failure fails it.
    std::string before = "", after = "";
    Names old = {p, q, r}, stay = {};
    std::string note = "";  // the notice, after "tarnwell: FOLDER: "
    bool any_user = false;
  } rows[] = {
      {.before = exfat, .old = {p, q, long_name}},  // it lists inode 4294967295 for every name
      {.after = "chattr +i $D/p.* && chattr +a $D/q.*", .stay = {p, q, r}, .note = two + eperm},
      {.after = ro_bind, .stay = {p, q, r}, .note = two + "Read-only file system"},
      {.after = sticky, .stay = {q, r}, .note = one + eperm, .any_user = true},
      {.after = unwritable, .stay = {p, q, r}, .note = two + "Permission denied", .any_user = true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before + row.after + " " + testing::PrintToString(row.old));
    const TestFolder folder("logs", "/var/tmp");
    setenv("D", folder.Text().c_str(), 1);
    EXPECT_EQ(std::system(("set -e; " + row.before).c_str()), 0);
    for (const std::string& name : row.old) folder.Add(name, name == r);
    EXPECT_EQ(std::system(("set -e; " + row.after).c_str()), 0);
    Names record;
    for (const std::string& name : row.old)
      if (!row.stay.contains(name)) record.insert(folder.Text() + "/" + name);
    const Lines notice = {"tarnwell: " + folder.Text() + ": " + row.note};
    const auto launch = [&](const char* last) {
      return Launch({"/DeleteAfterDays=7", "/Path=" + folder.Text() + "\\.//", "/List", last},
                    kNoRegistry, row.any_user ? AsAnyUser : nullptr);
    };
    const RunResult preview = launch("/WhatIf"), run = launch("/Silent");
    const Names listed(run.messages.begin(), run.messages.end());
    Lines previewed = run.messages;
    previewed.push_back(std::to_string(record.size()) + " Debug files would be deleted");
    EXPECT_EQ(std::tuple(run.exit_code, run.errors, listed, folder.Entries()),
              std::tuple(0, row.note.empty() ? Lines{} : notice, record, row.stay));
    EXPECT_EQ(std::tuple(preview.exit_code, preview.errors, preview.messages),
              std::tuple(0, run.errors, previewed));
    std::system("umount -q $D; chattr -f -i -a $D/*; losetup -d $(losetup -nONAME -j $D.img) 2>&-");
  }
}

// /Depth sweeps the sub-folders, each a folder of its own, by the /Names patterns with
// /Keep per folder and pattern; it never enters a link, a mount (a bind mount of the same
// file system too) or a hidden folder. A sub-folder it cannot read is said, the others are
// swept, and the run ends with status 1 after the count. The preview says what the run does.
TEST(Run, WalksSubfoldersButNeverThroughALinkOrOntoAMount) {
  const TestFolder logs("LogFiles", "/var/tmp");
  const fs::path decoy = logs.Path().parent_path() / "decoy";
  const auto iis = [](int days, const std::string& hour = "") {
    return "u_ex" + LogName("", days).substr(3, 6) + hour + ".log";
  };
  const Names gone = {"W3SVC1/" + iis(-40), "W3SVC1/" + iis(-30), "W3SVC2/" + iis(-40, "13")};
  Names stay = {"W3SVC1/" + iis(-1), "W3SVC2/" + iis(-30, "13"), "W3SVC2/" + LogName("app", -40)};
  // Two old logs in each folder never entered: /Keep=1 would delete one.
  for (const char* folder : {"W3SVC2/deep/", ".hidden/", "locked/"})
    for (const int days : {-40, -30}) stay.insert(folder + iis(days));
  for (const std::string& name : Names{"W3SVC1", "W3SVC2/deep", ".hidden", "locked", "W3SVC4"})
    fs::create_directories(logs.Path() / name);
  for (const Names& names : {gone, stay})
    for (const std::string& name : names) logs.Add(name);
  fs::create_directories(decoy);
  for (const int days : {-40, -30}) std::ofstream(decoy / iis(days));
  fs::create_directory_symlink(decoy, logs.Path() / "W3SVC3");
  setenv("D", logs.Text().c_str(), 1);
  ASSERT_EQ(std::system("mount --bind $D/../decoy $D/W3SVC4 && chmod 0 $D/locked"), 0);
  const Lines arguments = {"/DeleteAfterDays=7",
                           "/Path=" + logs.Text(),
                           "/Names=u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log",
                           "/Depth=1",
                           "/Keep=1",
                           "/List"};
  Lines previewing = arguments;
  previewing.push_back("/WhatIf");
  const RunResult preview = Launch(previewing, kNoRegistry, AsAnyUser);
  const RunResult run = Launch(arguments, kNoRegistry, AsAnyUser);
  std::system("umount $D/W3SVC4; chmod 700 $D/locked");
  Names listed;
  for (const std::string& name : gone) listed.insert(logs.Text() + "/" + name);
  const Lines unreadable = {"tarnwell: " + logs.Text() + "/locked: Permission denied"};
  EXPECT_EQ(std::tuple(preview.exit_code, preview.errors, preview.messages.back()),
            std::tuple(1, unreadable, std::string("3 Debug files would be deleted")));
  EXPECT_EQ(std::tuple(run.exit_code, run.errors, run.messages.back()),
            std::tuple(1, unreadable, Deleted(3).front()));
  EXPECT_EQ(Names(run.messages.begin(), run.messages.end() - 1), listed);
  for (const std::string& name : stay) EXPECT_TRUE(fs::exists(logs.Path() / name)) << name;
  for (const std::string& name : gone) EXPECT_FALSE(fs::exists(logs.Path() / name)) << name;
  EXPECT_TRUE(fs::exists(decoy / iis(-40)) && fs::exists(decoy / iis(-30)));
}

// The GNU way sweeps as its Windows-style twin does: the two runs of a pair, each on the same
// folder filled alike, leave the same files with the same exit status and lines. After "--"
// a folder may be named "-x"; a backslash in an operand is part of a name.
TEST(Run, GnuOptionsSweepAsTheirWindowsStyleTwins) {
  const TestFolder top;
  const fs::path started_in = fs::current_path();
  fs::current_path(top.Path());
  const Names logs = {LogName("app", -40), LogName("app", -20), LogName("app", -3)};
  const struct {
    Lines gnu, twin;
    std::size_t gone;  // files deleted
  } rows[] = {
      {.gnu = {"--dry-run", "--list", "--older-than=7", "logs"},
       .twin = {"/WhatIf", "/List", "/DeleteAfterDays=7", "/Path=logs"},
       .gone = 0},
      {.gnu = {"-d", "7", "--", "-x"}, .twin = {"/DeleteAfterDays=7", "/Path=-x"}, .gone = 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.gnu));
    RunResult runs[2];
    Names left[2];
    for (const int twin : {0, 1}) {
      for (const char* folder : {"logs", "-x"}) {
        fs::remove_all(folder);
        fs::create_directory(folder);
        for (const std::string& name : logs) std::ofstream(folder + ("/" + name));
      }
      runs[twin] = RunTarnwell(twin ? row.twin : row.gnu);
      for (const auto& entry : fs::recursive_directory_iterator("."))
        left[twin].insert(entry.path());
    }
    EXPECT_EQ(std::tuple(runs[0].exit_code, runs[0].messages, runs[0].errors, left[0]),
              std::tuple(0, runs[1].messages, runs[1].errors, left[1]));
    EXPECT_EQ(left[0].size(), 2 + 2 * logs.size() - row.gone);
  }
  // /Path would read a/b.
  for (const char* folder : {"a\\b", "a/b"}) {
    fs::create_directories(folder);
    std::ofstream(folder + ("/" + *logs.begin()));
  }
  EXPECT_EQ(RunTarnwell({"-d", "7", "a\\b"}).messages, Deleted(1));
  EXPECT_TRUE(fs::exists("a/b/" + *logs.begin()));
  fs::current_path(started_in);
}

// A refused GNU command line says why in GNU's words on standard error, without the usage
// message, and touches nothing; one whose first argument is no option is read, and refused,
// the Windows way. (Every refusal and its words are the GNU reading's table.)
TEST(Run, RefusesAGnuCommandLineAsGnuToolsDo) {
  const TestFolder folder;
  const std::string old = LogName("old", -30), f = folder.Text();
  folder.Add(old);
  const auto gnu = [](const std::string& why) {
    return Lines{"tarnwell: " + why, "Try 'tarnwell --help' for more information."};
  };
  const struct {
    Lines arguments, errors, messages = {};
  } rows[] = {
      {.arguments = {"-d", "7", f, "/Silent"},
       .errors = gnu("'/Silent' is a Windows-style switch: with GNU options write --quiet")},
      {.arguments = {"--older-than=7", "--dryrun", f},
       .errors = gnu("unrecognized option '--dryrun'")},
      {.arguments = {"/DeleteAfterDays=7", "/Path=" + f, "--dry-run"},
       .errors = {Refusal("unknown switch '--dry-run'")},
       .messages = kUsage},
  };
  for (const auto& row : rows) {
    const RunResult run = RunTarnwell(row.arguments);
    EXPECT_EQ(std::tuple(run.exit_code, run.messages, run.errors),
              std::tuple(2, row.messages, row.errors))
        << testing::PrintToString(row.arguments);
  }
  EXPECT_EQ(folder.Entries(), Names{old});
}

// /MinFree on a real file system filled to a known level (a tmpfs of 1 MiB): the oldest logs
// go until the free space, counted from each file's allocated size, reaches the floor; a log
// with another hard link frees nothing and stays. With /MaxSize too, both hold afterwards; a
// floor that cannot be reached is said, and so is a log the caps take that cannot go. The
// preview deletes what the run deletes.
TEST(Run, KeepsAFloorOfFreeSpaceByDeletingTheOldest) {
  const struct {
    const char* switches;
    Names gone;          // of app.-6 (hard-linked) and app.-5 to app.-2, 150,000 bytes each
    Lines notices = {};  // each after "tarnwell: FOLDER: " and a number
    const char* immutable = "";
  } rows[] = {
      {.switches = "/MinFree=50%", .gone = {"-5", "-4"}},
      {.switches = "/MinFree=50% /MaxSize=300000", .gone = {"-6", "-5", "-4"}},
      {.switches = "/MinFree=990K",
       .gone = {"-5", "-4", "-3", "-2"},
       .notices = {" KiB free, under /MinFree=990K; the rest is kept or dated today"}},
      {.switches = "/MinFree=50%",
       .gone = {"-4"},
       .notices = {" log the caps take not deleted: Operation not permitted",
                   " KiB free, under /MinFree=50%; the rest is kept or dated today"},
       .immutable = "-5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.switches);
    const TestFolder folder("tmpfs", "/var/tmp");
    setenv("D", folder.Text().c_str(), 1);
    ASSERT_EQ(std::system("mount -t tmpfs -o size=1M tmpfs $D"), 0);
    std::map<std::string, std::string> names;
    for (const int days : {-6, -5, -4, -3, -2}) {
      names[std::to_string(days)] = LogName("app", days);
      std::ofstream(folder.Path() / LogName("app", days)) << std::string(150000, 'x');
    }
    fs::create_hard_link(folder.Path() / names["-6"], folder.Path() / "kept.link");
    if (*row.immutable) {
      ASSERT_EQ(std::system(("chattr +i $D/" + names[row.immutable]).c_str()), 0);
    }
    Lines arguments = {"/DeleteAfterDays=30", "/Path=" + folder.Text(), "/List"};
    for (std::istringstream words(row.switches); !words.eof();) {
      arguments.emplace_back();
      words >> arguments.back();
    }
    Lines previewing = arguments;
    previewing.push_back("/WhatIf");
    const RunResult preview = RunTarnwell(previewing), run = RunTarnwell(arguments);
    Names left = {"kept.link"}, listed;
    for (const auto& [days, name] : names) {
      if (row.gone.contains(days)) {
        listed.insert(folder.Text() + "/" + name);
      } else {
        left.insert(name);
      }
    }
    EXPECT_EQ(folder.Entries(), left);
    EXPECT_EQ(Names(run.messages.begin(), run.messages.end() - 1), listed);
    EXPECT_EQ(preview.messages.back(),
              std::to_string(listed.size()) + " Debug files would be deleted");
    EXPECT_EQ(std::tuple(run.exit_code, run.errors.size()), std::tuple(0, row.notices.size()));
    for (std::size_t line = 0; line < std::min(run.errors.size(), row.notices.size()); ++line) {
      EXPECT_TRUE(run.errors[line].ends_with(row.notices[line])) << run.errors[line];
    }
    std::system("chattr -f -i $D/*; umount $D");
  }
}

// The rules of each file of the folder in byte order of the file names, then of their
// sections, each with its own fields, after the command line's own sweep; a bad rule is said
// with its file and line, the others are swept, and the run ends with status 1 after the
// count. /Rules alone sweeps the rules only. The preview says what the run does.
TEST(Run, SweepsEveryRuleInOrderAndABadOneCostsOnlyItself) {
  const TestFolder top;
  const std::string t = top.Text(), rules = t + "/rules.d", empty = t + "/empty";
  const auto day = [](int days) { return LogName("", days).substr(1, 8); };
  const auto dashed = [&](int days) { return day(days).insert(6, "-").insert(4, "-"); };
  for (const char* folder : {"rules.d", "empty", "own", "more", "app", "iis/W3SVC1"})
    fs::create_directories(top.Path() / folder);
  std::ofstream(rules + "/a.conf") << "[Rule]\nPath=" << t << "/more\nDeleteAfterDays=7\n";
  std::ofstream(rules + "/B.conf")
      << "# the application\n[Rule]\n Path = " << t << "/app \nDeleteAfterDays=7\n"
      << "Names=app-{yyyy-MM-dd}.log\nKeep=1\nMaxSize=1G\nMinFree=1%\n\n; the sites\n[rule]\n"
      << "path=\"" << t << "/iis\"\ndeleteafterdays=30\ndepth=1\nnames=u_ex{yyMMdd}.log\n";
  std::ofstream(rules + "/C.conf") << "[Rule]\nPath=" << t << "/x\nDeleteAfterDays=7\nKepe=3\n";
  for (const char* ignored : {"/notes.txt", "/.old.conf"}) std::ofstream(rules + ignored) << "x";
  const Names gone = {"own/" + LogName("x", -8), "more/" + LogName("z", -8),
                      "app/app-" + dashed(-40) + ".log",
                      "iis/W3SVC1/u_ex" + day(-40).substr(2) + ".log"};
  const Names stay = {"app/app-" + dashed(-30) + ".log", "app/" + LogName("trace", -30),
                      "iis/u_ex" + day(-20).substr(2) + ".log"};
  for (const Names& names : {gone, stay}) top.Create(names);
  const auto said = [&](const std::string& count) {
    return Lines{"tarnwell: rule B.conf: " + t + "/app: " + count,
                 "tarnwell: rule B.conf#2: " + t + "/iis: " + count,
                 "tarnwell: rule C.conf: " + rules + "/C.conf:4: unknown key 'Kepe'; not swept",
                 "tarnwell: rule a.conf: " + t + "/more: " + count};
  };
  const Lines own = {"/DeleteAfterDays=7", "/Path=" + t + "/own", "/Rules", "/List"};
  const RunResult preview =
      Launch({own[0], own[1], own[2], own[3], "/WhatIf"}, kNoRegistry, nullptr, rules);
  const RunResult run = Launch(own, kNoRegistry, nullptr, rules);
  EXPECT_EQ(
      std::tuple(preview.exit_code, preview.errors, preview.messages.back()),
      std::tuple(1, said("1 would be deleted"), std::string("4 Debug files would be deleted")));
  EXPECT_EQ(std::tuple(run.exit_code, run.errors, run.messages.back()),
            std::tuple(1, said("1 deleted"), Deleted(4).front()));
  EXPECT_EQ(Lines(run.messages.begin(), run.messages.end() - 1),
            Lines(preview.messages.begin(), preview.messages.end() - 1));
  for (const std::string& name : gone) EXPECT_FALSE(fs::exists(top.Path() / name)) << name;
  for (const std::string& name : stay) EXPECT_TRUE(fs::exists(top.Path() / name)) << name;
  top.Add("own/" + LogName("y", -8));  // no rule's: /Rules alone leaves it
  const struct {
    Lines arguments;
    std::string rules;
    int exit_code;
    Lines errors, messages;
  } rows[] = {
      {{"/Rules", "/Silent"}, rules, 1, said("0 deleted"), {}},
      {{"/Rules"}, empty, 0, {"tarnwell: no retention rules in " + empty}, Deleted(0)},
      {{"/Rules", "/DeleteAfterDays=7"},
       empty,
       0,
       {"tarnwell: nothing to sweep: add a rule in " + empty + " or set DebugPath in " +
        kNoRegistry},
       Deleted(0)},
  };
  for (const auto& row : rows) {
    const RunResult again = Launch(row.arguments, kNoRegistry, nullptr, row.rules);
    EXPECT_EQ(std::tuple(again.exit_code, again.errors, again.messages),
              std::tuple(row.exit_code, row.errors, row.messages))
        << testing::PrintToString(row.arguments);
  }
  EXPECT_TRUE(fs::exists(top.Path() / "own" / LogName("y", -8)));
}

}  // namespace tarnwell::e2e
