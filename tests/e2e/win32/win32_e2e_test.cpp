// Black-box runs of the Windows program under Wine: its message boxes are found, read and
// closed as a user would, the default sweep covers C:\ and the registry's folder, and the
// Event Log entries are read from Wine's trace of them.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <tuple>

#include "general/argument_text.h"
#include "platform/wide_text.h"
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {

const bool kSilentHidesErrors = true;
constexpr char kNotThere[] = "no such folder, nothing swept";
const char kUsageHint[] = "";

namespace {

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return platform::Narrow(text);
}

// Checks what every box must be (its caption, only OK) and files its text: a run-time error
// is an error, anything else a message.
void ReadBox(HWND box, RunResult& result) {
  const std::string text = TextOf(GetDlgItem(box, 0xFFFF));  // the static control of the message
  EXPECT_EQ(TextOf(box), "Tarnwell") << text;
  for (int button = IDOK; button <= IDCONTINUE; ++button)
    EXPECT_EQ(IsWindowVisible(GetDlgItem(box, button)) != FALSE, button == IDOK) << text;
  (text.starts_with("Run-time error") ? result.errors : result.messages).push_back(text);
}

// CMake and the test runner know files by their Unix paths; Wine shows the Unix root as Z:.
std::string OnDriveZ(const char* unix_path) {
  std::string path = std::string("Z:") + unix_path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// An entry as ReportEventW received it: its type (EVENTLOG_*_TYPE), its ID and its
// insertion strings.
using Entry = std::tuple<unsigned, unsigned, Lines>;

// Wine quotes a traced string as L"..." with the escapes \\, \", \n, \r, \t and, for what lies
// outside printable ASCII (no entry here holds any), \XXXX.
std::string Unquoted(std::string_view quoted) {
  std::string text;
  for (std::size_t i = 2; i + 1 < quoted.size(); ++i) {
    const bool escaped = quoted[i] == '\\';
    if (escaped) ++i;
    // n, r and t stand for control characters when escaped.
    const std::size_t control = std::string_view(escaped ? "nrt" : "").find(quoted[i]);
    text += control == std::string_view::npos ? quoted[i] : "\n\r\t"[control];
  }
  return text;
}

// Wine's Event Log takes no entries: ReportEventW traces its call (handle, type, category,
// ID, ...) on the advapi channel and then each insertion string on the eventlog channel.
std::vector<Entry> EntriesTraced(const std::string& trace) {
  const std::regex traced(
      R"(:advapi:ReportEventW \([^,]*,0x(\w+),0x\w+,0x(\w+)|:eventlog:ReportEventW (L".*"))");
  std::vector<Entry> entries;
  const std::sregex_iterator first(trace.begin(), trace.end(), traced);
  for (const std::smatch& match : std::ranges::subrange(first, std::sregex_iterator())) {
    if (match[1].matched) {
      entries.push_back({std::stoul(match[1], nullptr, 16), std::stoul(match[2], nullptr, 16), {}});
    } else if (!entries.empty()) {
      std::get<2>(entries.back()).push_back(Unquoted(match.str(3)));
    }
  }
  return entries;
}

// How a run is started beyond its command line.
struct Start {
  bool read_only_output = false;  // standard output is a handle it cannot write
  std::wstring desktop = L"";     // "station\\desktop" to start on, or the test's own
};

// A new empty file for one run's standard stream, open for the child to inherit: the file
// of an earlier run may still be open in a process that Wine started for it.
HANDLE StreamFile(wchar_t (&name)[MAX_PATH], DWORD access) {
  GetTempFileNameW(fs::temp_directory_path().c_str(), L"twl", 0, name);
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  return CreateFileW(name, access, FILE_SHARE_READ, &inherited, OPEN_EXISTING, 0, nullptr);
}

// The lines of the file `name`, which goes.
Lines ReadAndRemove(const wchar_t* name) {
  Lines lines;
  std::ifstream file{fs::path(name)};
  for (std::string text; std::getline(file, text);) {
    if (text.ends_with('\r')) text.pop_back();
    lines.push_back(text);
  }
  file.close();
  DeleteFileW(name);
  return lines;
}

// The program's run as RunTarnwell describes it, its standard error lines among `errors`.
RunResult RunProgram(const std::string& argument_text, const Start& how = {}) {
  // Exactly this text after the program's name, as CreateProcessW hands any caller's text
  // over: quotes, tabs and line ends reach the program as written.
  const std::string line = '"' + OnDriveZ(TARNWELL_PROGRAM) + "\" " + argument_text;
  std::wstring command = platform::Widen(line);
  // Standard output and error are files, as after "Tarnwell.exe ... > out.txt 2> err.txt".
  wchar_t output[MAX_PATH] = {}, error_output[MAX_PATH] = {};
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = StreamFile(output, how.read_only_output ? GENERIC_READ : GENERIC_WRITE);
  startup.hStdError = StreamFile(error_output, GENERIC_WRITE);
  std::wstring desktop = how.desktop;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION process = {};
  const bool made =
      startup.hStdOutput != INVALID_HANDLE_VALUE && startup.hStdError != INVALID_HANDLE_VALUE;
  const bool started = made && CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                              nullptr, nullptr, &startup, &process);
  const DWORD error = GetLastError();
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  RunResult result;
  if (!started) {
    ADD_FAILURE() << "cannot " << (made ? "start " + line : "make the output files") << ": error "
                  << error;
    DeleteFileW(output);
    DeleteFileW(error_output);
    return result;
  }
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
         GetTickCount() - start < 30000) {
    HWND box = nullptr;  // the visible dialog-class window of the process
    DWORD owner = 0;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
      GetWindowThreadProcessId(box, &owner);
      if (owner == process.dwProcessId && IsWindowVisible(box)) break;
    }
    if (box == nullptr) continue;
    ReadBox(box, result);
    // What the OK button sends when clicked; posted, so the test never waits on the box.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(box, IDOK)));
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < 30000) Sleep(20);
  }
  // A run still going after 30 seconds ends with 99.
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
    TerminateProcess(process.hProcess, 99);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.exit_code = int(code);
  result.output = ReadAndRemove(output);
  const Lines errors = ReadAndRemove(error_output);
  result.errors.insert(result.errors.end(), errors.begin(), errors.end());
  return result;
}

void Reg(const std::string& verb, const std::string& options) {
  std::system(("reg " + verb + " HKLM\\SOFTWARE\\Corvane /f " + options + " >NUL 2>&1").c_str());
}

// The places a run may sweep, an old log in each.
enum Place { kRootOfC, kDebugFiles, kRegistryFolder, kMyLogs };

// Command lines as schedulers, scripts and process APIs write them, given exactly: without
// /Path the run sweeps C:\ and then the folder that DebugPath names in the 32-bit registry
// view or else C:\DebugFiles; with a /Path that names a folder, that folder alone; with a /Path
// that names none, nothing. The runs start in C:\. Whatever the test makes outside the test
// folders goes again.
TEST(CommandLine, SweepsTheDefaultPlacesOrTheFolderItNamesOrRefuses) {
  const TestFolder registry_folder("registry logs");
  const std::string folder = registry_folder.Text();
  const bool made_fallback = fs::create_directory(L"C:\\DebugFiles");
  const bool made_my_logs = fs::create_directory(L"C:\\My Logs");
  const fs::path started_in = fs::current_path();
  fs::current_path(L"C:\\");
  // One stem in both folders of a default sweep, the newer in C:\.
  const fs::path logs[] = {
      fs::path(L"C:\\") / LogName("tarnwell-e2e", -8),
      fs::path(L"C:\\DebugFiles") / LogName("tarnwell-e2e", -8),
      registry_folder.Path() / LogName("tarnwell-e2e", -9),
      fs::path(L"C:\\My Logs") / LogName("old", -8),
  };
  const struct {
    std::string text;  // after the program's name
    const char* view;  // of DebugPath: "32", "64" or "" (no key at all)
    std::string debug_path;
    std::vector<Place> gone;  // in sweep order
    Lines messages;           // kUsage: refused
  } rows[] = {
      {"/DeleteAfterDays=7 /List", "32", folder, {kRootOfC, kRegistryFolder}, Deleted(2)},
      {"/DeleteAfterDays=7 /List", "64", folder, {kRootOfC, kDebugFiles}, Deleted(2)},
      {"/DeleteAfterDays=7 /List", "32", "", {kRootOfC, kDebugFiles}, Deleted(2)},
      // Each folder keeps its own newest log of the stem.
      {"/DeleteAfterDays=7 /List /Keep=1", "32", folder, {}, Deleted(0)},
      {R"("/DeleteAfterDays=7" "/Path=C:\My Logs\\" /List)", "32", folder, {kMyLogs}, Deleted(1)},
      // Relative to the folder the run starts in, C:\.
      {R"(/DeleteAfterDays=7 "/Path=.\My Logs\\\\" /List)", "32", folder, {kMyLogs}, Deleted(1)},
      {"/List /DeleteAfterDays=7 /Path=\"C:\\My Logs\"\r\n", "32", folder, {kMyLogs}, Deleted(1)},
      {"/DeleteAfterDays=7 /Path=\"C:\\My\tLogs\" /Silent", "32", folder, {}, kUsage},
      {R"(/DeleteAfterDays=7 /Path= "C:\My Logs")", "32", folder, {}, kUsage},
      // A mistyped switch quoted whole, as a script writes it, is caught all the same.
      {R"(/DeleteAfterDays=7 "/Pth=C:\My Logs")", "32", folder, {}, kUsage},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::tuple(row.text, row.view, row.debug_path)));
    for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
    if (*row.view) Reg("add", "/v DebugPath /d \"" + row.debug_path + "\" /reg:" + row.view);
    for (const fs::path& log : logs) std::ofstream(log) << "debug output\n";
    const RunResult run = RunProgram(row.text);
    Lines listed;  // by /List; "c:", the root of drive C:, is named "C:\" there
    for (const Place place : row.gone) listed.push_back(Utf8(logs[place]));
    EXPECT_EQ(run.exit_code, row.messages == kUsage ? 2 : 0);
    EXPECT_EQ(run.messages, row.messages);
    EXPECT_EQ(run.output, listed);
    for (const Place place : {kRootOfC, kDebugFiles, kRegistryFolder, kMyLogs})
      EXPECT_EQ(fs::exists(logs[place]), std::ranges::count(row.gone, place) == 0) << logs[place];
  }
  for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
  std::error_code ignored;
  for (const fs::path& log : logs) fs::remove(log, ignored);
  if (made_fallback) fs::remove_all(L"C:\\DebugFiles", ignored);
  fs::current_path(started_in);
  if (made_my_logs) fs::remove_all(L"C:\\My Logs", ignored);
}

// Folders over 260 characters, given as they are or in the "\\?\" form: the old file goes,
// and the record names it by its absolute path, the "\\?\" form kept.
TEST(Run, SweepsFoldersOver260CharactersInEitherForm) {
  const TestFolder folder(std::string(120, 'a') + "\\" + std::string(120, 'b'));
  const std::string old = LogName("old", -30);
  // Made and read through "\\?\": the C runtime behind std::filesystem stops at 260.
  const std::wstring file = LR"(\\?\)" + (folder.Path() / old).wstring();
  for (const std::string prefix : {"", R"(\\?\)"}) {
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0));
    const std::string given = prefix + folder.Text();
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + given, "/List", "/Silent"});
    EXPECT_EQ(std::tuple(run.exit_code, run.output, GetFileAttributesW(file.c_str())),
              std::tuple(0, Lines{given + "\\" + old}, INVALID_FILE_ATTRIBUTES))
        << given;
  }
}

// Every run-time error, and every run under /Silent, leaves one entry: its type, its ID and
// its values as insertion strings. A run that shows its count leaves none. (What the runs
// show and their exit statuses are the other black-box tests' matter.)
TEST(EventLog, TellsEveryRunTimeErrorAndEverySilentRun) {
  // Wine writes the traces of every program this test starts to the standard error they share,
  // whatever handles the program was given; keep_stderr.sh keeps that in a file.
  const char* trace_file = std::getenv("TARNWELL_E2E_STDERR");
  ASSERT_NE(trace_file, nullptr) << "run under tests/e2e/win32/keep_stderr.sh";
  SetEnvironmentVariableW(L"WINEDEBUG", L"-all,+eventlog,fixme+advapi");
  const TestFolder folder;
  const std::string path = "/Path=" + folder.Text(), overflow = "/DeleteAfterDays=99999999999";
  const std::string missing = folder.Text() + "\\gone", gone = "/Path=" + missing;
  const struct {
    Lines arguments;
    std::vector<Entry> entries = {};
    bool read_only_output = false;
  } rows[] = {
      {.arguments = {"/DeleteAfterDays=7", path}},
      {.arguments = {"/DeleteAfterDays=7", path, "/Silent"},
       .entries = {Entry{EVENTLOG_INFORMATION_TYPE, 1, {"1", folder.Text()}}}},
      {.arguments = {"/DeleteAfterDays=7", "/WhatIf", "/silent"},
       .entries = {Entry{EVENTLOG_INFORMATION_TYPE, 2, {"0", "c:\r\nC:\\DebugFiles"}}}},
      {.arguments = {"/Silent"},
       .entries = {Entry{
           EVENTLOG_WARNING_TYPE, 3, {"/Silent", "/DeleteAfterDays=<NumberOfDays> is missing"}}}},
      // A notice under /Silent: the line a caller's standard error would get.
      {.arguments = {"/DeleteAfterDays=7", gone, "/Silent"},
       .entries = {Entry{EVENTLOG_WARNING_TYPE, 5, {"tarnwell: " + missing + ": " + kNotThere}},
                   Entry{EVENTLOG_INFORMATION_TYPE, 1, {"0", missing}}}},
      {.arguments = {overflow, path},
       .entries = {Entry{EVENTLOG_ERROR_TYPE, 4, {"6", "Overflow", ""}}}},
      // Standard output is a handle it cannot write: the /List record is lost.
      {.arguments = {"/DeleteAfterDays=7", path, "/List", "/Silent"},
       .entries = {Entry{
           EVENTLOG_ERROR_TYPE, 4, {"57", "Device I/O error", "standard output: Access denied"}}},
       .read_only_output = true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    folder.Add(LogName("old", -8));
    // Opened at its end before the run: what is read from it afterwards is the run's.
    std::ifstream trace(FromUtf8(OnDriveZ(trace_file)), std::ios::ate);
    RunProgram(ArgumentTextFromArguments(row.arguments),
               {.read_only_output = row.read_only_output});
    EXPECT_EQ(EntriesTraced({std::istreambuf_iterator<char>(trace), {}}), row.entries);
  }
}

// A desktop on a window station of its own, which Windows (and Wine) make without
// WSF_VISIBLE, as for a service or a task run as SYSTEM or whether the user is logged on or
// not. A desktop is made on the caller's own window station.
class UnseenDesktop {
 public:
  UnseenDesktop() : station_(L"TarnwellE2e" + std::to_wstring(GetCurrentProcessId())) {
    const HWINSTA own = GetProcessWindowStation();
    unseen_ = CreateWindowStationW(station_.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    if (unseen_ != nullptr && SetProcessWindowStation(unseen_)) {
      desktop_ = CreateDesktopW(L"Desk", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
      SetProcessWindowStation(own);
    }
    EXPECT_NE(desktop_, nullptr) << "no desktop of its own: error " << GetLastError();
  }
  ~UnseenDesktop() {
    if (desktop_ != nullptr) CloseDesktop(desktop_);
    if (unseen_ != nullptr) CloseWindowStation(unseen_);
  }

  std::wstring Name() const { return station_ + L"\\Desk"; }  // as lpDesktop names it

 private:
  std::wstring station_;
  HWINSTA unseen_ = nullptr;
  HDESK desktop_ = nullptr;
};

// Where nobody can see a box (a service, a task run as SYSTEM or whether the user is logged
// on or not: a window station without WSF_VISIBLE), no box waits: what it would say goes to
// the Event Log, and the run ends as if it had been closed. A box shown there would keep the
// run going until RunProgram gives up on it (exit status 99).
TEST(Run, ShowsNoBoxWhereNobodyCanSeeIt) {
  const char* trace_file = std::getenv("TARNWELL_E2E_STDERR");
  ASSERT_NE(trace_file, nullptr) << "run under tests/e2e/win32/keep_stderr.sh";
  SetEnvironmentVariableW(L"WINEDEBUG", L"-all,+eventlog,fixme+advapi");
  const UnseenDesktop unseen;
  const TestFolder folder;
  const std::string path = "/Path=" + folder.Text();
  const struct {
    Lines arguments;
    int exit_code;
    Lines errors;
    std::vector<Entry> entries;
  } rows[] = {
      {.arguments = {"/DeleteAfterDays=7", path},
       .exit_code = 0,
       .errors = {},
       .entries = {Entry{EVENTLOG_INFORMATION_TYPE, 1, {"1", folder.Text()}}}},
      {.arguments = {"/DeleteAfterDays=7", path, "/WhatsIf"},
       .exit_code = 2,
       .errors = {Refusal("unknown switch '/WhatsIf'")},
       .entries = {Entry{
           EVENTLOG_WARNING_TYPE,
           3,
           {"/DeleteAfterDays=7 " + path + " /WhatsIf", "unknown switch '/WhatsIf'"}}}},
      {.arguments = {"/DeleteAfterDays=99999999999", path},
       .exit_code = 1,
       .errors = {},
       .entries = {Entry{EVENTLOG_ERROR_TYPE, 4, {"6", "Overflow", ""}}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    folder.Add(LogName("old", -8));
    std::ifstream trace(FromUtf8(OnDriveZ(trace_file)), std::ios::ate);
    const RunResult run =
        RunProgram(ArgumentTextFromArguments(row.arguments), {.desktop = unseen.Name()});
    EXPECT_EQ(std::tuple(run.exit_code, run.messages, run.errors),
              std::tuple(row.exit_code, Lines{}, row.errors));
    EXPECT_EQ(EntriesTraced({std::istreambuf_iterator<char>(trace), {}}), row.entries);
  }
}

}  // namespace

// The arguments are quoted the way the Linux program rebuilds them from its argv.
RunResult RunTarnwell(const Lines& arguments) {
  return RunProgram(ArgumentTextFromArguments(arguments));
}

void AddEntriesNeverDeleted(const TestFolder& folder) {
  const std::pair<const char*, DWORD> kinds[] = {
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"system", FILE_ATTRIBUTE_SYSTEM},
  };
  for (const auto& [stem, attribute] : kinds) {
    folder.Add(LogName(stem, -30));
    EXPECT_TRUE(SetFileAttributesW((folder.Path() / LogName(stem, -30)).c_str(), attribute));
  }
}

}  // namespace tarnwell::e2e
