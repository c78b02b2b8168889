// Black-box runs of the Windows program under Wine: its message boxes are found, read and
// closed as a user would, and the default sweep covers C:\ and the registry's folder.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/wide_string.h"
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

enum class Icon { kNone, kInformation, kError, kWarning, kQuestion };

std::vector<COLORREF> Pixels(HDC dc, int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  return pixels;
}

// The icon of a box: its handle belongs to the other process and cannot be inspected, so it is
// told from the screen as the stock icon that, drawn on the same background, comes closest.
Icon IconShown(HWND control) {
  RECT rect = {};
  if (control != nullptr) GetWindowRect(control, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return Icon::kNone;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  std::vector<COLORREF> shown;
  for (int attempt = 0; attempt < 40; ++attempt, Sleep(50)) {  // until the icon is painted
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    shown = Pixels(memory, width, height);
    if (std::count(shown.begin(), shown.end(), shown[0]) < std::ssize(shown)) break;
  }
  const std::pair<LPCWSTR, Icon> stock[] = {{IDI_INFORMATION, Icon::kInformation},
                                            {IDI_ERROR, Icon::kError},
                                            {IDI_WARNING, Icon::kWarning},
                                            {IDI_QUESTION, Icon::kQuestion}};
  Icon best = Icon::kNone;
  long long best_distance = -1;
  for (const auto& [resource, icon] : stock) {
    HBRUSH brush = CreateSolidBrush(shown[0]);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, resource), 0, 0, 0, nullptr,
               DI_NORMAL | DI_DEFAULTSIZE);
    const std::vector<COLORREF> drawn = Pixels(memory, width, height);
    long long distance = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
      for (int shift : {0, 8, 16}) {
        distance += std::abs(int((shown[i] >> shift) & 0xFF) - int((drawn[i] >> shift) & 0xFF));
      }
    }
    if (best_distance < 0 || distance < best_distance) best_distance = distance, best = icon;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return best;
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
    result.messages.push_back(shown == Icon::kInformation ? text : "(other icon) " + text);
  }
}

}  // namespace

RunResult RunTarnwell(const Lines& arguments) {
  // CMake knows the program by its Unix path; Wine shows the Unix root as drive Z:.
  std::string line = std::string("\"Z:") + TARNWELL_PROGRAM + "\"";
  std::replace(line.begin(), line.end(), '/', '\\');
  for (const std::string& argument : arguments) {  // quoted as the Linux program rebuilds it
    const size_t equals = argument.find('='), value = equals == std::string::npos ? 0 : equals + 1;
    const bool quote = argument.find(' ') != std::string::npos && argument[value] != '"';
    line +=
        ' ' + (quote ? argument.substr(0, value) + '"' + argument.substr(value) + '"' : argument);
  }
  std::wstring command = platform::Widen(line);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  RunResult result;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
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
  return result;
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
  const fs::path root = L"C:\\", fallback = L"C:\\DebugFiles";
  const bool made_fallback = fs::create_directory(fallback);
  // The old logs first, in the order of `gone` below; then what is always kept.
  const fs::path files[] = {
      root / LogName("tarnwell-e2e", -8), fallback / LogName("tarnwell-e2e", -8),
      logs.Path() / LogName("old", -8),   given.Path() / LogName("old", -8),
      root / LogName("tarnwell-e2e", -7), root / "tarnwell-e2e.99999999.log"};
  // The registry's setup (value, view), whether a path is given, the count, and which old logs
  // go: of C:\, C:\DebugFiles, the registry's folder, the given folder.
  const std::tuple<const char*, std::string, const char*, bool, int, const char*> rows[] = {
      {"value in the 32-bit view", logs.Text(), "32", false, 2, "1010"},
      {"no key", "", "", false, 2, "1100"},
      {"empty value", "", "32", false, 2, "1100"},
      {"value only in the 64-bit view", logs.Text(), "64", false, 2, "1100"},
      {"a given path beats the registry", logs.Text(), "32", true, 1, "0001"},
  };
  for (const auto& [setup, value, view, path_given, count, gone] : rows) {
    SCOPED_TRACE(setup);
    for (const char* both : {"/reg:32", "/reg:64"}) Reg("delete", both);
    EXPECT_EQ(*view ? Reg("add", "/v DebugPath /d \"" + value + "\" /reg:" + view) : 0, 0);
    for (const fs::path& file : files) std::ofstream(file) << "debug output\n";
    const RunResult run =
        RunTarnwell(path_given ? Lines{"/DeleteAfterDays=7", "/Path=" + given.Text()}
                               : Lines{"/DeleteAfterDays=7"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(count));
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(fs::exists(files[i]), i >= 4 || gone[i] == '0') << files[i];
  }
  for (const char* both : {"/reg:32", "/reg:64"}) Reg("delete", both);
  std::error_code ignored;
  for (const fs::path& file : files) fs::remove(file, ignored);
  if (made_fallback) fs::remove_all(fallback, ignored);
}

}  // namespace
}  // namespace tarnwell::e2e
