// Black-box runs of the Windows program under Wine: its message boxes are found, read and
// closed as a user would, and the default sweep covers C:\ and the registry's folder.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "general/argument_text.h"
#include "platform/win32/wide_string.h"
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {

const bool kSilentHidesErrors = true;

namespace {

// The icon a box shows, told from the screen by its colours (its handle belongs to the other
// process): the error icon is red, the information icon blue.
enum class Icon { kNone, kInformation, kError };
Icon IconShown(HWND control) {
  RECT rect = {};
  if (control == nullptr || !GetWindowRect(control, &rect)) return Icon::kNone;
  HDC screen = GetDC(nullptr);
  int red = 0, blue = 0;
  for (int attempt = 0; attempt < 40 && red + blue == 0; ++attempt, Sleep(50)) {
    for (int y = rect.top; y < rect.bottom; ++y) {  // until the icon is painted
      for (int x = rect.left; x < rect.right; ++x) {
        const COLORREF c = GetPixel(screen, x, y);
        red += GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90;
        blue += GetBValue(c) > 160 && GetRValue(c) < 90;
      }
    }
  }
  ReleaseDC(nullptr, screen);
  return red + blue == 0 ? Icon::kNone : red > blue ? Icon::kError : Icon::kInformation;
}

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return platform::Narrow(text);
}

// The visible dialog-class window of `process`, or null.
HWND FindBox(DWORD process) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Checks what every box must be (caption, only OK) and files its text by its icon.
void ReadBox(HWND box, RunResult& result) {
  std::vector<int> buttons;
  HWND icon = nullptr;
  for (HWND child = nullptr; (child = FindWindowExW(box, child, nullptr, nullptr));) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (!IsWindowVisible(child)) continue;
    if (std::wstring(name) == L"Button") buttons.push_back(GetDlgCtrlID(child));
    if (std::wstring(name) == L"Static" &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      icon = child;
    }
  }
  const std::string text = TextOf(GetDlgItem(box, 0xFFFF));  // the static control of the message
  EXPECT_EQ(TextOf(box), "Tarnwell") << text;
  EXPECT_EQ(buttons, std::vector<int>{IDOK}) << text;
  const Icon shown = IconShown(icon);
  if (shown == Icon::kError) {
    result.errors.push_back(text);
  } else {
    result.messages.push_back(shown == Icon::kInformation ? text : "(no icon) " + text);
  }
}

}  // namespace

RunResult RunTarnwell(const Lines& arguments) {
  // CMake knows the program by its Unix path; Wine shows the Unix root as drive Z:. The
  // arguments are quoted the way the Linux program rebuilds them from its argv.
  std::string line = std::string("\"Z:") + TARNWELL_PROGRAM + "\"";
  std::replace(line.begin(), line.end(), '/', '\\');
  line += ' ' + ArgumentTextFromArguments(arguments);
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
  CloseHandle(startup.hStdOutput);
  if (!started) {
    ADD_FAILURE() << "cannot start " << line;
    return result;
  }
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
         GetTickCount() - start < 30000) {
    const HWND box = FindBox(process.dwProcessId);
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
  // Old logs in C:\, C:\DebugFiles, the registry's folder and the given folder; then two
  // that always stay.
  const fs::path files[] = {fs::path(L"C:\\") / LogName("tarnwell-e2e", -8),
                            fs::path(L"C:\\DebugFiles") / LogName("tarnwell-e2e", -8),
                            logs.Path() / LogName("old", -8),
                            given.Path() / LogName("old", -8),
                            fs::path(L"C:\\") / LogName("tarnwell-e2e", -7),
                            L"C:\\tarnwell-e2e.99999999.log"};
  const struct {
    const char* setup;
    std::string registry_value;  // DebugPath, written in the view below
    const char* view;            // "32", "64" or "" (no key at all)
    bool path_given;
    std::vector<bool> gone;  // of files[0..3]
  } rows[] = {
      {"value in the 32-bit view", logs.Text(), "32", false, {true, false, true, false}},
      {"no key", "", "", false, {true, true, false, false}},
      {"empty value", "", "32", false, {true, true, false, false}},
      {"value only in the 64-bit view", logs.Text(), "64", false, {true, true, false, false}},
      {"a given path beats the registry", logs.Text(), "32", true, {false, false, false, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.setup);
    for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
    if (*row.view) Reg("add", "/v DebugPath /d \"" + row.registry_value + "\" /reg:" + row.view);
    for (const fs::path& file : files) std::ofstream(file) << "debug output\n";
    Lines arguments = {"/DeleteAfterDays=7"};
    if (row.path_given) arguments.push_back("/Path=" + given.Text());
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(std::count(row.gone.begin(), row.gone.end(), true)));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fs::exists(files[i]), i > 3 || !row.gone[i]) << files[i];
  }
  for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete", view);
  std::error_code ignored;
  for (const fs::path& file : files) fs::remove(file, ignored);
  if (made_fallback) fs::remove_all(L"C:\\DebugFiles", ignored);
}

}  // namespace
}  // namespace tarnwell::e2e
