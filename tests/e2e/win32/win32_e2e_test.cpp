// Black-box runs of the Windows program under Wine: its message boxes are found, read and
// closed as a user would, the default sweep covers C:\ and the registry's folder, and the
// Event Log entries are read from Wine's trace of them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <tuple>

#include "general/argument_text.h"
#include "platform/wide_text.h"
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {

const bool kSilentHidesErrors = true;
const bool kNamesDifferInCase = false;

namespace {

// Whether the icon `control` shows is red, the error icon, rather than the blue information
// icon: its handle belongs to the other process, so it is told from the screen.
bool ShowsErrorIcon(HWND control) {
  RECT rect = {};
  GetWindowRect(control, &rect);
  HDC screen = GetDC(nullptr);
  int red = 0, blue = 0;
  for (int attempt = 0; attempt < 40 && red + blue == 0; ++attempt, Sleep(50)) {
    for (int i = 0; i < (rect.right - rect.left) * (rect.bottom - rect.top); ++i) {
      const COLORREF c = GetPixel(screen, rect.left + i % (rect.right - rect.left),
                                  rect.top + i / (rect.right - rect.left));
      red += GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90;
      blue += GetBValue(c) > 160 && GetRValue(c) < 90;
    }
  }
  ReleaseDC(nullptr, screen);
  return red > blue;
}

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return platform::Narrow(text);
}

// Checks what every box must be (caption, only OK, an icon) and files its text by its icon.
void ReadBox(HWND box, RunResult& result) {
  std::vector<std::wstring> children;  // class names of the visible ones, in order
  HWND icon = nullptr;
  for (HWND child = nullptr; (child = FindWindowExW(box, child, nullptr, nullptr));) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (!IsWindowVisible(child)) continue;
    if (std::wstring(name) == L"Button")
      children.push_back(name + std::to_wstring(GetDlgCtrlID(child)));
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
  }
  const std::string text = TextOf(GetDlgItem(box, 0xFFFF));  // the static control of the message
  EXPECT_EQ(TextOf(box), "Tarnwell") << text;
  EXPECT_EQ(children, std::vector<std::wstring>{L"Button1"}) << text;  // IDOK alone
  ASSERT_NE(icon, nullptr) << text;
  (ShowsErrorIcon(icon) ? result.errors : result.messages).push_back(text);
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

// Wine quotes a traced string as L"..." with the escapes \\, \", \n, \r, \t and \XXXX (four hex
// digits).
std::string Unquoted(std::string_view quoted) {
  std::wstring text;
  for (std::size_t i = 2; i + 1 < quoted.size(); ++i) {
    if (quoted[i] != '\\') {
      text += wchar_t(quoted[i]);
    } else if (std::isxdigit(static_cast<unsigned char>(quoted[i + 1]))) {
      text += wchar_t(std::stoi(std::string(quoted.substr(i + 1, 4)), nullptr, 16));
      i += 4;
    } else {
      const std::string_view from = "nrt", to = "\n\r\t";
      const std::size_t escape = from.find(quoted[++i]);
      text += wchar_t(escape == from.npos ? quoted[i] : to[escape]);
    }
  }
  return platform::Narrow(text);
}

// Wine's Event Log takes no entries: ReportEventW traces its call (type, ID, count) on the
// advapi channel and then each insertion string on the eventlog channel.
std::vector<Entry> EntriesTraced(const std::string& trace) {
  std::vector<Entry> entries;
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t call = line.find(":advapi:ReportEventW (");
    const std::size_t string = line.find(":eventlog:ReportEventW L\"");
    unsigned type = 0, id = 0;
    if (call != line.npos &&
        std::sscanf(line.c_str() + call, ":advapi:ReportEventW (%*[^,],0x%x,0x%*x,0x%x", &type,
                    &id) == 2) {
      entries.push_back({type, id, {}});
    } else if (string != line.npos && !entries.empty()) {
      std::get<2>(entries.back()).push_back(Unquoted(line.substr(line.find(" L\"", string) + 1)));
    }
  }
  return entries;
}

// The entry's text as Event Viewer shows it: the program's own message of the entry's ID
// with its insertion strings in place.
std::string Formatted(const Entry& entry) {
  HMODULE program = LoadLibraryExW(platform::Widen(OnDriveZ(TARNWELL_PROGRAM)).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
  std::vector<std::wstring> strings;
  for (const std::string& text : std::get<2>(entry)) strings.push_back(platform::Widen(text));
  std::vector<DWORD_PTR> inserts;
  for (const std::wstring& text : strings) inserts.push_back(DWORD_PTR(text.c_str()));
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      program, std::get<1>(entry), 0, reinterpret_cast<LPWSTR>(&text), 0,
      reinterpret_cast<va_list*>(inserts.data()));
  const std::string formatted = length ? platform::Narrow({text, length}) : "(no such message)";
  LocalFree(text);
  FreeLibrary(program);
  return formatted;
}

// The standard error that this test process shares with every program it starts: there
// Wine writes the programs' traces, whatever handles they were given. The test runner keeps
// it in a file too (tests/e2e/win32/keep_stderr.sh).
std::string SharedStandardError() {
  const char* file = std::getenv("TARNWELL_E2E_STDERR");
  return file == nullptr ? "" : OnDriveZ(file);
}

// The program's run as RunTarnwell describes it; with `entries`, traced and its Event Log
// entries put there; with `read_only_output`, standard output is a handle it cannot write.
RunResult RunProgram(const std::string& argument_text, std::vector<Entry>* entries,
                     bool read_only_output) {
  // Exactly this text after the program's name, as CreateProcessW hands any caller's text
  // over: quotes, tabs and line ends reach the program as written.
  const std::string line = '"' + OnDriveZ(TARNWELL_PROGRAM) + "\" " + argument_text;
  std::wstring command = platform::Widen(line);
  // Standard output is a file, as after "Tarnwell.exe ... > out.txt".
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const fs::path output = fs::temp_directory_path() / "tarnwell-e2e-output.txt";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = CreateFileW(output.c_str(), read_only_output ? GENERIC_READ : GENERIC_WRITE,
                                   FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
  // Opened at its end before the run: what is read from it afterwards is the run's.
  std::ifstream trace(FromUtf8(SharedStandardError()), std::ios::ate);
  wchar_t winedebug[256] = {};
  const bool had_winedebug = GetEnvironmentVariableW(L"WINEDEBUG", winedebug, 256) != 0;
  if (entries != nullptr) {
    EXPECT_TRUE(trace.is_open()) << "no trace file: run under tests/e2e/win32/keep_stderr.sh";
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,+eventlog,fixme+advapi");
  }
  PROCESS_INFORMATION process = {};
  RunResult result;
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  const DWORD start_error = GetLastError();
  SetEnvironmentVariableW(L"WINEDEBUG", had_winedebug ? winedebug : nullptr);
  CloseHandle(startup.hStdOutput);
  if (!started) {
    ADD_FAILURE() << "cannot start " << line << ": error " << start_error << ", output "
                  << (startup.hStdOutput == INVALID_HANDLE_VALUE ? "not made" : "made");
    return result;
  }
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
         GetTickCount() - start < 30000) {
    HWND box = nullptr;  // the visible dialog-class window of the process
    for (DWORD owner = 0; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      if (GetWindowThreadProcessId(box, &owner),
          owner == process.dwProcessId && IsWindowVisible(box))
        break;
    }
    if (box == nullptr) continue;
    ReadBox(box, result);
    // What the OK button sends when clicked; posted, so the test never waits on the box.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(box, IDOK)));
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < 30000) Sleep(20);
  }
  DWORD code = 99;
  if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, code);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.exit_code = int(code);
  std::ifstream file(output);
  for (std::string text; std::getline(file, text);) result.output.push_back(text);
  if (entries != nullptr) {
    *entries = EntriesTraced(std::string(std::istreambuf_iterator<char>(trace), {}));
  }
  return result;
}

}  // namespace

// The arguments are quoted the way the Linux program rebuilds them from its argv.
RunResult RunTarnwell(const Lines& arguments) {
  return RunProgram(ArgumentTextFromArguments(arguments), nullptr, false);
}

void AddEntriesNeverDeleted(const TestFolder& folder) {
  for (const auto& [stem, attribute] :
       {std::pair{"hidden", FILE_ATTRIBUTE_HIDDEN}, {"system", FILE_ATTRIBUTE_SYSTEM}}) {
    folder.Add(LogName(stem, -30));
    EXPECT_TRUE(SetFileAttributesW((folder.Path() / LogName(stem, -30)).c_str(), attribute));
  }
}

namespace {

int Reg(const std::string& verb, const std::string& options) {
  return std::system(
      ("reg " + verb + " \"HKLM\\SOFTWARE\\Corvane\" /f " + options + " >NUL 2>&1").c_str());
}

// The default sweep reaches outside the test folders: C:\, the registry and C:\DebugFiles.
// Every trace is removed again.
TEST(DefaultSweep, TakesTheRootOfCAndThe32BitRegistryFolderOrDebugFilesUnlessAPathIsGiven) {
  TestFolder logs("registry logs"), given;
  const bool made_fallback = fs::create_directory(L"C:\\DebugFiles");
  // Old logs in C:\, C:\DebugFiles, the registry's folder and the given folder; one stem in
  // the two folders of a default sweep, the newer in C:\.
  const fs::path files[] = {fs::path(L"C:\\") / LogName("tarnwell-e2e", -8),
                            fs::path(L"C:\\DebugFiles") / LogName("tarnwell-e2e", -8),
                            logs.Path() / LogName("tarnwell-e2e", -9),
                            given.Path() / LogName("old", -8)};
  const struct {
    const char* setup;
    std::string registry_value;  // DebugPath, written in the view below
    const char* view;            // "32", "64" or "" (no key at all)
    bool path_given;
    std::vector<bool> gone;  // of files[]
    const char* keep = "";   // a /Keep switch, kept by each folder for itself
  } rows[] = {
      {"value in the 32-bit view", logs.Text(), "32", false, {true, false, true, false}},
      {"no key", "", "", false, {true, true, false, false}},
      {"empty value", "", "32", false, {true, true, false, false}},
      {"value only in the 64-bit view", logs.Text(), "64", false, {true, true, false, false}},
      {"a given path beats the registry", logs.Text(), "32", true, {false, false, false, true}},
      {"each folder keeps its newest",
       logs.Text(),
       "32",
       false,
       {false, false, false, false},
       "/Keep=1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.setup);
    for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
    if (*row.view) Reg("add", "/v DebugPath /d \"" + row.registry_value + "\" /reg:" + row.view);
    for (const fs::path& file : files) std::ofstream(file) << "debug output\n";
    Lines arguments = {"/DeleteAfterDays=7", "/List"};
    if (row.path_given) arguments.push_back("/Path=" + given.Text());
    if (*row.keep) arguments.push_back(row.keep);
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(std::count(row.gone.begin(), row.gone.end(), true)));
    // "c:" is the root of drive C:, and named so.
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), Utf8(files[0])), row.gone[0]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fs::exists(files[i]), !row.gone[i]) << files[i];
  }
  for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
  std::error_code ignored;
  for (const fs::path& file : files) fs::remove(file, ignored);
  if (made_fallback) fs::remove_all(L"C:\\DebugFiles", ignored);
}

// Command lines as schedulers, scripts and process APIs write them, given exactly: the
// folder they name is swept, or the usage message is shown. The places of the default sweep
// (C:\, the registry's folder, C:\DebugFiles) are never swept for a command line with /Path.
TEST(CommandLine, SweepsTheFolderItNamesOrRefusesButNeverTheDefaultPlaces) {
  TestFolder registry_folder;
  const fs::path named = L"C:\\My Logs";
  const bool made_fallback = fs::create_directory(L"C:\\DebugFiles");
  fs::create_directory(named);
  const fs::path named_log = named / LogName("old", -8);
  const fs::path default_logs[] = {fs::path(L"C:\\") / LogName("tarnwell-e2e", -8),
                                   fs::path(L"C:\\DebugFiles") / LogName("tarnwell-e2e", -8),
                                   registry_folder.Path() / LogName("old", -8)};
  Reg("add", "/v DebugPath /d \"" + registry_folder.Text() + "\" /reg:32");
  const struct {
    std::string text;  // after the program's name
    Lines messages;    // kUsage: refused, nothing swept
  } rows[] = {
      {R"(/DeleteAfterDays=7 "/Path=C:\My Logs" /Silent)", {}},
      {R"("/DeleteAfterDays=7" "/Path=C:\My Logs\\")", Deleted(1)},
      {"/DeleteAfterDays=7\t/Path=\"C:\\My Logs\"\t/Silent", {}},
      {"/DeleteAfterDays=7 /Path=\"C:\\My Logs\"\r\n", Deleted(1)},
      {"/DeleteAfterDays=7 /Path=\"C:\\My\tLogs\" /Silent", kUsage},
      {R"(/DeleteAfterDays=7 /Path= "C:\My Logs")", kUsage},
      {"/DeleteAfterDays=7 /Path=", kUsage},
      {R"(/DeleteAfterDays=7 /Path="" /Silent)", kUsage},
      {R"(/DeleteAfterDays=7 "/Path=" /Silent)", kUsage},
      {R"(/DeleteAfterDays=7 x/Path=C:\My Logs)", kUsage},
      {"/DeleteAfterDays=7 /Silent /PATH", kUsage},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    for (const fs::path& file : default_logs) std::ofstream(file) << "debug output\n";
    std::ofstream(named_log) << "debug output\n";
    const RunResult run = RunProgram(row.text, nullptr, false);
    const bool refused = row.messages == kUsage;
    EXPECT_EQ(run.exit_code, refused ? 2 : 0);
    EXPECT_EQ(run.messages, row.messages);
    EXPECT_EQ(fs::exists(named_log), refused);
    for (const fs::path& file : default_logs) EXPECT_TRUE(fs::exists(file)) << file;
  }
  Reg("delete", "/reg:32");
  std::error_code ignored;
  for (const fs::path& file : default_logs) fs::remove(file, ignored);
  fs::remove_all(named, ignored);
  if (made_fallback) fs::remove_all(L"C:\\DebugFiles", ignored);
}

// Folders over 260 characters, given relative, with trailing separators or in the "\\?\"
// form: the old file goes, and the record names it by its absolute path with one separator
// before the name, a "\\?\" form kept.
TEST(Run, SweepsEveryFolderFormAndRecordsAbsolutePaths) {
  const std::string deep = std::string(120, 'a') + "\\" + std::string(120, 'b'), ext = R"(\\?\)";
  const fs::path started_in = fs::current_path();
  const struct {
    std::string leaf, prefix = "", suffix = "";
    bool relative = false;
  } rows[] = {
      {.leaf = deep},
      {.leaf = deep, .prefix = ext},
      {.leaf = "t4", .prefix = ext, .suffix = "\\"},
      {.leaf = "t4", .prefix = ".\\", .suffix = "\\\\", .relative = true},
  };
  for (const auto& row : rows) {
    const TestFolder folder(row.leaf);
    const std::string old = LogName("old", -30), whole = folder.Text();
    // Made and read through "\\?\": the C runtime behind std::filesystem stops at 260.
    const std::wstring file = LR"(\\?\)" + (folder.Path() / old).wstring();
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0));
    fs::current_path(folder.Path().parent_path());
    const std::string given = row.prefix + (row.relative ? row.leaf : whole) + row.suffix;
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + given, "/List", "/Silent"});
    fs::current_path(started_in);
    const std::string recorded = (row.prefix == ext ? ext : "") + whole + "\\" + old;
    EXPECT_EQ(std::tuple(run.exit_code, run.output, GetFileAttributesW(file.c_str())),
              std::tuple(0, Lines{recorded}, INVALID_FILE_ATTRIBUTES))
        << given;
  }
}

// Every run-time error, and every run under /Silent, leaves one entry: its type, its ID and
// its values as insertion strings, which the program's own message table turns into the text
// Event Viewer shows. A run that shows its count leaves none.
TEST(EventLog, TellsEveryRunTimeErrorAndEverySilentRun) {
  const TestFolder folder;
  const std::string path = "/Path=" + folder.Text(), overflow = "/DeleteAfterDays=99999999999";
  const std::string swept = "\r\nFolders swept:\r\n", both = "c:\r\nC:\\DebugFiles";
  const Lines usage = {
      "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]"};
  const Entry error_6 = {EVENTLOG_ERROR_TYPE, 4, {"6", "Overflow", ""}};
  const struct {
    Lines arguments;
    int exit_code;
    Lines boxes;  // information boxes, then error boxes
    std::vector<Entry> entries;
    std::string text;  // of the entry
    bool read_only_output = false;
  } rows[] = {
      {{"/DeleteAfterDays=7", path}, 0, Deleted(1), {}, ""},
      {{"/DeleteAfterDays=7", path, "/Silent"},
       0,
       {},
       {{EVENTLOG_INFORMATION_TYPE, 1, {"1", folder.Text()}}},
       "1 Debug files deleted." + swept + folder.Text()},
      {{"/DeleteAfterDays=7", "/WhatIf", "/silent"},
       0,
       {},
       {{EVENTLOG_INFORMATION_TYPE, 2, {"0", both}}},
       "0 Debug files would be deleted (/WhatIf: nothing was deleted)." + swept + both},
      {{"/Silent"},
       2,
       usage,
       {{EVENTLOG_WARNING_TYPE, 3, {"/Silent"}}},
       "Nothing was swept: the command line gives no positive /DeleteAfterDays, so the usage "
       "message was shown.\r\nCommand line received:\r\n/Silent"},
      {{overflow, path, "/Silent"}, 1, {}, {error_6}, "Run-time error '6': Overflow\r\n"},
      {{overflow, path},
       1,
       {"Run-time error '6': Overflow"},
       {error_6},
       "Run-time error '6': Overflow\r\n"},
      // Standard output is a handle it cannot write: the /List record is lost.
      {{"/DeleteAfterDays=7", path, "/List", "/Silent"},
       1,
       {},
       {{EVENTLOG_ERROR_TYPE, 4, {"57", "Device I/O error", "standard output: Access denied"}}},
       "Run-time error '57': Device I/O error\r\nstandard output: Access denied",
       true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    folder.Add(LogName("old", -8));
    std::vector<Entry> entries;
    const RunResult run =
        RunProgram(ArgumentTextFromArguments(row.arguments), &entries, row.read_only_output);
    Lines boxes = run.messages;
    boxes.insert(boxes.end(), run.errors.begin(), run.errors.end());
    EXPECT_EQ(std::tuple(run.exit_code, boxes, entries),
              std::tuple(row.exit_code, row.boxes, row.entries));
    for (const Entry& entry : entries) EXPECT_EQ(Formatted(entry), row.text);
  }
}

}  // namespace
}  // namespace tarnwell::e2e
