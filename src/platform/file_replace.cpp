// Whole-file replacement through a temporary file and a rename, so that a save
// interrupted at any moment leaves the old file or the new one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace plat {

namespace {

// Bytes the next writes may still put down before failing; negative: no limit.
long long g_writeBudget = -1;

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    size_t want = bytes.size() - done;
    if (g_writeBudget >= 0) {
      if (g_writeBudget == 0) {
        errno = ENOSPC;  // as a full disk would
        return false;
      }
      want = std::min<size_t>(want, static_cast<size_t>(g_writeBudget));
    }
    ssize_t n = ::write(fd, bytes.data() + done, want);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
    if (g_writeBudget >= 0) g_writeBudget -= n;
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void FailFileWritesAfter(long long bytes) { g_writeBudget = bytes < 0 ? -1 : bytes; }

bool FileIsReadOnly(const std::string& logical) {
  // Only the copy a save would replace counts (an installed game's data folder is
  // read-only by design and is never written).
  const std::string path = detail::WritePath(logical, false);
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The superuser may write anything, so its access test says nothing about what
  // the player asked for: a file with no write bit at all is read-only for everyone.
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool ReplaceFileContents(const std::string& logical, const std::string& bytes) {
  if (logical.empty() || logical.back() == '/' || FileWritesBlocked()) return false;
  // A rename would replace a read-only file all the same: its mode is the owner's word.
  if (FileIsReadOnly(logical)) {
    errno = EACCES;
    return false;
  }
  const std::string path = detail::WritePath(logical);
  if (path.empty()) return false;
  const std::string temp = path + ".new";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // The new file keeps the old one's permissions, but its owner can always read it:
  // a file the next run cannot read would be as good as lost.
  struct stat old;
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    std::remove(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk only with the folder's entry.
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  detail::SaveFolderChanged();
  return true;
}

}  // namespace plat
