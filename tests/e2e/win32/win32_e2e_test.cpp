// Black-box runs of the Windows program under Wine: its message boxes are found, read and
// closed as a user would, and the default sweep covers C:\ and the registry's folder.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

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

}  // namespace

namespace {

// The program started with exactly `argument_text` after its name, as CreateProcessW hands
// any caller's text over: quotes, tabs and line ends reach it as written.
RunResult RunWithArgumentText(const std::string& argument_text) {
  // CMake knows the program by its Unix path; Wine shows the Unix root as drive Z:.
  std::string line = std::string("\"Z:") + TARNWELL_PROGRAM + "\"";
  std::replace(line.begin(), line.end(), '/', '\\');
  line += ' ' + argument_text;
  std::wstring command = platform::Widen(line);
  // Standard output is a file, as after "Tarnwell.exe ... > out.txt".
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const fs::path output = fs::temp_directory_path() / "tarnwell-e2e-output.txt";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                   CREATE_ALWAYS, 0, nullptr);
  PROCESS_INFORMATION process = {};
  RunResult result;
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  const DWORD start_error = GetLastError();
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
  return result;
}

}  // namespace

// The arguments are quoted the way the Linux program rebuilds them from its argv.
RunResult RunTarnwell(const Lines& arguments) {
  return RunWithArgumentText(ArgumentTextFromArguments(arguments));
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
    const RunResult run = RunWithArgumentText(row.text);
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

}  // namespace
}  // namespace tarnwell::e2e
