// The system's side of whole-file replacement: exclusive creation, fsync, the
// permissions and the rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/os.h"

namespace plat::sys {

FileHandle CreateNewFile(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

long long WriteSome(FileHandle file, const char* bytes, size_t size) {
  return static_cast<long long>(::write(file, bytes, size));
}

void KeepPermissions(FileHandle file, const std::string& like) {
  struct stat old;
  if (::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(file, (old.st_mode & 07777) | S_IRUSR);
}

bool FlushToDisk(FileHandle file) { return ::fsync(file) == 0; }

bool CloseFile(FileHandle file) { return ::close(file) == 0; }

bool ReplaceByRename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void FlushFolder(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool IsReadOnlyFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The superuser may write anything, so its access test says nothing about what
  // the player asked for: a file with no write bit at all is read-only for everyone.
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

long long ProcessId() { return static_cast<long long>(::getpid()); }

}  // namespace plat::sys
