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

// The icon a box shows. Its handle belongs to the other process, so the icon is told from
// the screen: the stock icon that, drawn on the same background, comes closest.
LPCWSTR IconShown(HWND control) {
  RECT rect = {};
  GetWindowRect(control, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (control == nullptr || width <= 0 || height <= 0) return nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const auto pixels = [&] {
    std::vector<COLORREF> all;
    for (int i = 0; i < width * height; ++i) all.push_back(GetPixel(memory, i % width, i / width));
    return all;
  };
  std::vector<COLORREF> shown;
  for (int attempt = 0; attempt < 40; ++attempt, Sleep(50)) {  // until the icon is painted
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    shown = pixels();
    if (std::count(shown.begin(), shown.end(), shown[0]) < std::ssize(shown)) break;
  }
  LPCWSTR best = nullptr;
  long long best_distance = -1;
  for (LPCWSTR stock : {IDI_INFORMATION, IDI_ERROR, IDI_WARNING, IDI_QUESTION}) {
    HBRUSH brush = CreateSolidBrush(shown[0]);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, stock), 0, 0, 0, nullptr,
               DI_NORMAL | DI_DEFAULTSIZE);
    const std::vector<COLORREF> drawn = pixels();
    long long distance = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
      for (int shift : {0, 8, 16})
        distance += std::abs(int((shown[i] >> shift) & 0xFF) - int((drawn[i] >> shift) & 0xFF));
    }
    if (best_distance < 0 || distance < best_distance) best_distance = distance, best = stock;
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
  const LPCWSTR shown = IconShown(icon);
  if (shown == IDI_ERROR) {
    result.errors.push_back(text);
  } else {
    result.messages.push_back(shown == IDI_INFORMATION ? text : "(other icon) " + text);
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
  const fs::path root = L"C:\\", fallback = L"C:\\DebugFiles";
  const bool made_fallback = fs::create_directory(fallback);
  const fs::path in_root = root / LogName("tarnwell-e2e", -8),
                 in_fallback = fallback / LogName("tarnwell-e2e", -8),
                 in_registry = logs.Path() / LogName("old", -8),
                 in_given = given.Path() / LogName("old", -8);
  const fs::path always_kept[] = {root / LogName("tarnwell-e2e", -7),
                                  root / "tarnwell-e2e.99999999.log"};
  const struct {
    const char* setup;
    std::string value;
    const char* view;  // where DebugPath is written: "32", "64" or nowhere
    bool path_given;
    int count;
    bool root_goes, fallback_goes, registry_goes, given_goes;
  } rows[] = {
      {"value in the 32-bit view", logs.Text(), "32", false, 2, true, false, true, false},
      {"no key", "", "", false, 2, true, true, false, false},
      {"empty value", "", "32", false, 2, true, true, false, false},
      {"value only in the 64-bit view", logs.Text(), "64", false, 2, true, true, false, false},
      {"a given path beats the registry", logs.Text(), "32", true, 1, false, false, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.setup);
    for (const char* both : {"/reg:32", "/reg:64"}) Reg("delete", both);
    if (*row.view) {
      EXPECT_EQ(Reg("add", "/v DebugPath /d \"" + row.value + "\" /reg:" + row.view), 0);
    }
    for (const fs::path& file : {in_root, in_fallback, in_registry, in_given})
      std::ofstream(file) << "debug output\n";
    for (const fs::path& file : always_kept) std::ofstream(file) << "debug output\n";
    const RunResult run =
        RunTarnwell(row.path_given ? Lines{"/DeleteAfterDays=7", "/Path=" + given.Text()}
                                   : Lines{"/DeleteAfterDays=7"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(row.count));
    EXPECT_EQ(fs::exists(in_root), !row.root_goes);
    EXPECT_EQ(fs::exists(in_fallback), !row.fallback_goes);
    EXPECT_EQ(fs::exists(in_registry), !row.registry_goes);
    EXPECT_EQ(fs::exists(in_given), !row.given_goes);
    for (const fs::path& file : always_kept) EXPECT_TRUE(fs::exists(file)) << file;
  }
  for (const char* both : {"/reg:32", "/reg:64"}) Reg("delete", both);
  std::error_code ignored;
  for (const fs::path& file : {in_root, in_fallback, always_kept[0], always_kept[1]})
    fs::remove(file, ignored);
  if (made_fallback) fs::remove_all(fallback, ignored);
}

}  // namespace
}  // namespace tarnwell::e2e
