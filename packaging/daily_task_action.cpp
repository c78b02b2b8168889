// WriteDailyTask, the MSI's custom action that makes the daily task's definition fit this
// very installation. The definition installed beside the program (Tarnwell-task.xml,
// UTF-16 as Task Scheduler exports it) names the program where the MSI puts it by default,
// with the default arguments; schtasks registers the task from that file, and Task
// Scheduler has no variable for "wherever the MSI was told to install". So the MSI runs
// this after installing the files and before schtasks (deferred, as SYSTEM): it writes the
// program's real path (any INSTALLDIR) and the arguments given at install (TASKARGUMENTS)
// into the definition's <Command> and <Arguments>, and leaves the rest as it is.
//
// Windows Installer hands a deferred action one string, CustomActionData (see the .wxs):
// "DEFINITION|PROGRAM|ARGUMENTS", the definition's and the program's full paths, which
// cannot hold a "|", then the task's arguments exactly as given, which may.

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>
#include <string_view>

namespace {

// The value of the property `name`, or "" when it cannot be read.
std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  DWORD length = 0;
  wchar_t none[1] = L"";
  if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA) return L"";
  std::wstring value(length + 1, L'\0');
  length += 1;
  if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS) return L"";
  value.resize(length);
  return value;
}

// Writes `text` into the installation's log (msiexec /l*v), and for an error also where
// the installer shows errors.
void Say(MSIHANDLE install, INSTALLMESSAGE kind, const std::wstring& text) {
  PMSIHANDLE record = MsiCreateRecord(0);
  MsiRecordSetStringW(record, 0, (L"Tarnwell: " + text).c_str());
  MsiProcessMessage(install, kind, record);
}

std::wstring EscapedForXml(std::wstring_view text) {
  std::wstring escaped;
  for (const wchar_t c : text) {
    switch (c) {
      case L'&':
        escaped += L"&amp;";
        break;
      case L'<':
        escaped += L"&lt;";
        break;
      case L'>':
        escaped += L"&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// Sets the text of the element `name`, the first one after `from` in `xml`, written
// <name>text</name>; false when there is none.
bool SetElementText(std::wstring* xml, std::size_t from, std::wstring_view name,
                    std::wstring_view text) {
  const std::wstring open = L"<" + std::wstring(name) + L">";
  const std::wstring close = L"</" + std::wstring(name) + L">";
  const std::size_t start = xml->find(open, from);
  if (start == std::wstring::npos) return false;
  const std::size_t end = xml->find(close, start + open.size());
  if (end == std::wstring::npos) return false;
  xml->replace(start + open.size(), end - start - open.size(), EscapedForXml(text));
  return true;
}

constexpr wchar_t kByteOrderMark = 0xFEFF;

// The text of the UTF-16 file `path` after its byte-order mark; false when it cannot be
// read or is no such file.
bool ReadUtf16(const std::wstring& path, std::wstring* text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool read = GetFileSizeEx(file, &size) && size.QuadPart % 2 == 0 && size.QuadPart >= 2 &&
              size.QuadPart <= 1 << 20;
  if (read) {
    std::wstring content(static_cast<std::size_t>(size.QuadPart / 2), L'\0');
    DWORD done = 0;
    read = ReadFile(file, content.data(), static_cast<DWORD>(size.QuadPart), &done, nullptr) &&
           done == size.QuadPart && content[0] == kByteOrderMark;
    if (read) *text = content.substr(1);
  }
  CloseHandle(file);
  return read;
}

bool WriteUtf16(const std::wstring& path, const std::wstring& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::wstring content = kByteOrderMark + text;
  const DWORD bytes = static_cast<DWORD>(content.size() * sizeof(wchar_t));
  DWORD done = 0;
  const bool written = WriteFile(file, content.data(), bytes, &done, nullptr) && done == bytes;
  return CloseHandle(file) && written;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall WriteDailyTask(MSIHANDLE install) {
  const std::wstring data = Property(install, L"CustomActionData");
  const std::size_t first = data.find(L'|');
  const std::size_t second = first == std::wstring::npos ? first : data.find(L'|', first + 1);
  if (second == std::wstring::npos) {
    Say(install, INSTALLMESSAGE_ERROR,
        L"the daily task's data is not DEFINITION|PROGRAM|ARGUMENTS: " + data);
    return ERROR_INSTALL_FAILURE;
  }
  const std::wstring definition = data.substr(0, first);
  const std::wstring program = data.substr(first + 1, second - first - 1);
  const std::wstring arguments = data.substr(second + 1);

  std::wstring xml;
  if (!ReadUtf16(definition, &xml)) {
    Say(install, INSTALLMESSAGE_ERROR, L"cannot read the task definition " + definition);
    return ERROR_INSTALL_FAILURE;
  }
  const std::size_t exec = xml.find(L"<Exec>");
  if (exec == std::wstring::npos || !SetElementText(&xml, exec, L"Command", program) ||
      !SetElementText(&xml, exec, L"Arguments", arguments)) {
    Say(install, INSTALLMESSAGE_ERROR,
        L"no <Exec> with <Command> and <Arguments> in " + definition);
    return ERROR_INSTALL_FAILURE;
  }
  if (!WriteUtf16(definition, xml)) {
    Say(install, INSTALLMESSAGE_ERROR, L"cannot write the task definition " + definition);
    return ERROR_INSTALL_FAILURE;
  }
  Say(install, INSTALLMESSAGE_INFO, L"the daily task runs \"" + program + L"\" " + arguments);
  return ERROR_SUCCESS;
}
