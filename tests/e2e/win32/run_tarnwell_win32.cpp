#include "tests/e2e/win32/run_tarnwell_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/wide_string.h"

namespace tarnwell::e2e {
namespace {

constexpr DWORD kRunTimeoutMs = 30000;
constexpr DWORD kPollMs = 20;

struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};

Process Start(const std::wstring& command_line, DWORD flags) {
  std::wstring writable = command_line;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                      &startup, &info)) {
    throw std::runtime_error("cannot start " + platform::Narrow(command_line));
  }
  CloseHandle(info.hThread);
  return {info.hProcess, info.dwProcessId};
}

int Finish(const Process& process) {
  DWORD code = 0;
  if (WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.handle, 99);
    WaitForSingleObject(process.handle, INFINITE);
    code = 99;
  } else {
    GetExitCodeProcess(process.handle, &code);
  }
  CloseHandle(process.handle);
  return static_cast<int>(code);
}


}  // namespace

std::wstring ProgramPath() {
  // CMake knows the program by its Unix path; Wine shows the Unix root as drive Z:.
  std::wstring path = platform::Widen(TARNWELL_PROGRAM);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring ArgumentText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    const size_t equals = argument.find('=');
    const size_t value = equals == std::string::npos ? 0 : equals + 1;
    const bool quote = argument.find(' ') != std::string::npos && argument[value] != '"';
    text += quote ? argument.substr(0, value) + '"' + argument.substr(value) + '"' : argument;
  }
  return platform::Widen(text);
}

BoxRun RunCommandLine(const std::wstring& command_line) {
  const Process process = Start(command_line, 0);
  BoxRun run;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.handle, kPollMs) == WAIT_TIMEOUT &&
         GetTickCount() - start < kRunTimeoutMs) {
    HWND box = FindMessageBox(process.id);
    if (box == nullptr) continue;
    run.boxes.push_back(ReadMessageBox(box));
    PressOk(box);
    // The next box must not be mistaken for this one while it closes.
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < kRunTimeoutMs) {
      Sleep(kPollMs);
    }
  }
  run.exit_code = Finish(process);
  return run;
}

int RunTool(const std::wstring& command_line) {
  const Process process = Start(command_line, CREATE_NO_WINDOW);
  WaitForSingleObject(process.handle, kRunTimeoutMs);
  return Finish(process);
}

RunResult RunTarnwell(const std::vector<std::string>& arguments) {
  const BoxRun run = RunCommandLine(L"\"" + ProgramPath() + L"\" " + ArgumentText(arguments));
  RunResult result;
  result.exit_code = run.exit_code;
  for (const MessageBoxSeen& box : run.boxes) {
    (box.icon == BoxIcon::kError ? result.errors : result.messages).push_back(box.text);
  }
  return result;
}

}  // namespace tarnwell::e2e
