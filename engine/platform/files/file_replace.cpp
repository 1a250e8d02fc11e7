// Whole-file replacement through a temporary file and a rename, so that a save
// interrupted at any moment leaves the old file or the new one, and any number of
// processes saving the same file at once leave one of their texts whole.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

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

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files are "<name>.new-" and six letters or digits: never a name any
// reader looks for, and never ending in the file's own extension.
constexpr const char* kTempMark = ".new-";
constexpr size_t kTempLetters = 6;
// A temporary file untouched for this long belongs to a save that was killed (a
// live save writes and renames within seconds); the next save of that file removes it.
constexpr time_t kStaleSeconds = 60 * 60;

std::string RandomLetters() {
  // Seeded again in a forked child, which would otherwise repeat its parent's names.
  static std::mt19937_64 gen;
  static pid_t seededFor = 0;
  if (seededFor != ::getpid()) {
    seededFor = ::getpid();
    std::random_device device;
    gen.seed((static_cast<uint64_t>(device()) << 32) ^ device() ^ static_cast<uint64_t>(seededFor) ^
             static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  }
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string out;
  for (size_t i = 0; i < kTempLetters; i++) out += kLetters[gen() % (sizeof kLetters - 1)];
  return out;
}

// Creates a temporary file of a fresh name beside `path`; exclusive creation never
// opens what stands there already, a planted link included.
int CreateTemp(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = path + kTempMark + RandomLetters();
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool IsTempOf(const std::string& entry, const std::string& name) {
  // The bare ".new" of earlier versions counts too.
  if (entry == name + ".new") return true;
  const std::string prefix = name + kTempMark;
  if (entry.size() != prefix.size() + kTempLetters || entry.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(entry.begin() + static_cast<long>(prefix.size()), entry.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// Removes the temporary files of this file's saves that were killed long ago.
// Fresh ones may be another process's save in progress and stay.
void RemoveStaleTemps(const std::string& path) {
  const std::string folder = FolderOf(path), name = NameOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const time_t now = std::time(nullptr);
  while (const dirent* e = ::readdir(dir)) {
    const std::string entry = e->d_name;
    if (!IsTempOf(entry, name)) continue;
    const std::string full = folder + "/" + entry;
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) continue;
    if (now - st.st_mtime > kStaleSeconds) ::unlink(full.c_str());
  }
  ::closedir(dir);
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
  RemoveStaleTemps(path);
  std::string temp;
  int fd = CreateTemp(path, temp);
  if (fd < 0) return false;
  // The new file keeps the old one's permissions, but its owner can always read it:
  // a file the next run cannot read would be as good as lost.
  struct stat old;
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
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
