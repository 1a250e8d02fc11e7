// The system's side of whole-file replacement. Windows cannot rename onto an
// existing file: MoveFileExW replaces it in one step, written through to the disk.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "platform/os.h"
#include "platform/win32/wide.h"

namespace plat::sys {

FileHandle CreateNewFile(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = EINVAL;
    return -1;
  }
  // _O_EXCL fails with EEXIST on any name taken, a link included.
  return _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

long long WriteSome(FileHandle file, const char* bytes, size_t size) {
  // _write takes an unsigned int count: larger writes go in parts.
  const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return static_cast<long long>(_write(file, bytes, chunk));
}

// Windows keeps no permission bits beyond read-only, and a read-only file is
// never replaced (IsReadOnlyFile): nothing to carry over.
void KeepPermissions(FileHandle, const std::string&) {}

bool FlushToDisk(FileHandle file) {
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(file));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool CloseFile(FileHandle file) { return _close(file) == 0; }

bool ReplaceByRename(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from), target = Wide(to);
  if (source.empty() || target.empty()) return false;
  return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// MOVEFILE_WRITE_THROUGH has already put the folder's entry on the disk.
void FlushFolder(const std::string&) {}

bool RemoveFile(const std::string& path) {
  const std::wstring name = Wide(path);
  return !name.empty() && DeleteFileW(name.c_str());
}

bool IsReadOnlyFile(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) return false;
  const DWORD a = GetFileAttributesW(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_READONLY);
}

long long ProcessId() { return static_cast<long long>(GetCurrentProcessId()); }

}  // namespace plat::sys
