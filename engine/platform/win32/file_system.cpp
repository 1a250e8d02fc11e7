// Files and folders through the system's wide calls.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/os.h"
#include "platform/win32/wide.h"

namespace plat::sys {

namespace {

// FILETIME counts 100 ns steps from 1601; time_t seconds from 1970.
constexpr long long kUnixEpochIn100ns = 116444736000000000LL;

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

EntryInfo Examine(const std::string& path, bool followLinks) {
  const std::wstring name = Wide(path);
  if (name.empty()) return {};
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return {};
  if (followLinks && IsLink(data.dwFileAttributes)) {
    // What the link points to: open it through the link and ask the handle.
    HANDLE h = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return {};
    data.dwFileAttributes = info.dwFileAttributes;
    data.ftLastWriteTime = info.ftLastWriteTime;
    data.nFileSizeHigh = info.nFileSizeHigh;
    data.nFileSizeLow = info.nFileSizeLow;
  }
  EntryInfo info;
  const DWORD a = data.dwFileAttributes;
  if (!followLinks && IsLink(a)) {
    info.kind = EntryKind::Link;
  } else if (a & FILE_ATTRIBUTE_DIRECTORY) {
    info.kind = EntryKind::Folder;
  } else if (a & FILE_ATTRIBUTE_DEVICE) {
    info.kind = EntryKind::Other;
  } else {
    info.kind = EntryKind::File;
  }
  info.size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  const long long stamp = ((static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime) - kUnixEpochIn100ns;
  info.modified = static_cast<std::time_t>(stamp / 10000000);
  info.modifiedNanos = static_cast<long>(stamp % 10000000) * 100;
  return info;
}

bool ListFolder(const std::string& path, std::vector<std::string>& names) {
  const std::wstring folder = Wide(path);
  if (folder.empty()) return false;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
  do {
    const std::string name = Utf8(entry.cFileName);
    if (name != "." && name != ".." && !name.empty()) names.push_back(name);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return true;
}

bool ChangeFolder(const std::string& path) {
  const std::wstring folder = Wide(path);
  return !folder.empty() && SetCurrentDirectoryW(folder.c_str());
}

std::string CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::vector<wchar_t> buf(n + 1);
  if (GetCurrentDirectoryW(n + 1, buf.data()) == 0) return {};
  return Utf8Path(buf.data());
}

std::FILE* OpenForWriting(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = EINVAL;
    return nullptr;
  }
  // A link standing at the name is removed first, never written through.
  const DWORD a = GetFileAttributesW(name.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && IsLink(a) && !(a & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(name.c_str());
  return _wfopen(name.c_str(), L"wb");
}

std::FILE* OpenForReading(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = EINVAL;
    return nullptr;
  }
  return _wfopen(name.c_str(), L"rb");
}

}  // namespace plat::sys
