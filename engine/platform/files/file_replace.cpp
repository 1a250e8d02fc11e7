// Whole-file replacement through a temporary file and a rename, so that a save
// interrupted at any moment leaves the old file or the new one, and any number of
// processes saving the same file at once leave one of their texts whole.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/os.h"

namespace plat {

namespace {

// Bytes the next writes may still put down before failing; negative: no limit.
long long g_writeBudget = -1;

bool WriteAll(sys::FileHandle fd, const std::string& bytes) {
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
    long long n = sys::WriteSome(fd, bytes.data() + done, want);
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
  static long long seededFor = 0;
  if (seededFor != sys::ProcessId()) {
    seededFor = sys::ProcessId();
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
sys::FileHandle CreateTemp(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = path + kTempMark + RandomLetters();
    sys::FileHandle fd = sys::CreateNewFile(temp);
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
  std::vector<std::string> entries;
  if (!sys::ListFolder(folder, entries)) return;
  const time_t now = std::time(nullptr);
  for (const std::string& entry : entries) {
    if (!IsTempOf(entry, name)) continue;
    const std::string full = folder + "/" + entry;
    const sys::EntryInfo st = sys::Examine(full, /*followLinks=*/false);
    if (st.kind != sys::EntryKind::File && st.kind != sys::EntryKind::Link) continue;
    if (now - st.modified > kStaleSeconds) sys::RemoveFile(full);
  }
}

}  // namespace

void FailFileWritesAfter(long long bytes) { g_writeBudget = bytes < 0 ? -1 : bytes; }

bool FileIsReadOnly(const std::string& logical) {
  // Only the copy a save would replace counts (an installed game's data folder is
  // read-only by design and is never written).
  const std::string path = detail::WritePath(logical, false);
  return !path.empty() && sys::IsReadOnlyFile(path);
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
  sys::FileHandle fd = CreateTemp(path, temp);
  if (fd < 0) return false;
  // The new file keeps the old one's permissions, but its owner can always read it:
  // a file the next run cannot read would be as good as lost.
  sys::KeepPermissions(fd, path);
  bool ok = WriteAll(fd, bytes) && sys::FlushToDisk(fd);
  ok = sys::CloseFile(fd) && ok;
  if (ok) ok = sys::ReplaceByRename(temp, path);
  if (!ok) {
    sys::RemoveFile(temp);
    return false;
  }
  // The rename itself reaches the disk only with the folder's entry.
  sys::FlushFolder(FolderOf(path));
  detail::SaveFolderChanged();
  return true;
}

}  // namespace plat
