// Where the Windows program's messages go: standard error when it is a console, a file or a
// pipe (also the console of the program that started this one); otherwise (started from
// Explorer or the Start menu) a message box.
#include "platform/win32/win32_failure.h"

#include <cstdio>
#include <iterator>

#include "platform/win32/win32_text.h"

namespace brisel {

namespace {

bool g_console_stderr = false;  // standard error was opened on the parent's console

// Whether a character device is NUL, where nobody reads: NtQueryVolumeInformationFile's
// FileFsDeviceInformation says FILE_DEVICE_NULL. A terminal under Wine is a character device too.
bool NullDevice(HANDLE handle) {
  struct IoStatus {
    union {
      LONG status;
      void* pointer;
    };
    ULONG_PTR information;
  } io{};
  struct DeviceInformation {
    ULONG type, characteristics;
  } device{};
  using Query = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
  constexpr int kFileFsDeviceInformation = 4;
  constexpr ULONG kFileDeviceNull = 0x15;
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryVolumeInformationFile")));
  return query && query(handle, &io, &device, sizeof device, kFileFsDeviceInformation) >= 0 &&
         device.type == kFileDeviceNull;
}

}  // namespace

bool StandardErrorSeen() {
  if (g_console_stderr) return true;
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
    case FILE_TYPE_PIPE:
      return true;
    case FILE_TYPE_CHAR:
      return !NullDevice(handle);
    default:
      return false;
  }
}

bool SayInABox(Severity severity, const std::string& text) {
  const UINT icon = severity == Severity::fail ? MB_ICONERROR
                    : severity == Severity::warn ? MB_ICONWARNING
                                                 : MB_ICONINFORMATION;
  return MessageBoxW(nullptr, win32::Wide(text).c_str(), L"Brisel", MB_OK | icon) != 0;
}

}  // namespace brisel

namespace brisel::win32 {

void UseParentConsole() {
  const bool out = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN;
  const bool err = GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN;
  if (!(out || err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (out) std::freopen("CONOUT$", "w", stdout);
  if (err) g_console_stderr = std::freopen("CONOUT$", "w", stderr) != nullptr;
}

std::string SystemText(DWORD error) {
  wchar_t text[256] = L"";
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                 static_cast<DWORD>(std::size(text)), nullptr);
  std::string out = Utf8(std::wstring_view(text, n));
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  return out.empty() ? "error " + std::to_string(error) : out;
}

void FailLastError(std::string_view call) { Fail(call, SystemText(GetLastError())); }

void RegisterClassOrFail(const WNDCLASSW& wc) {
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) FailLastError("RegisterClassW");
}

}  // namespace brisel::win32
