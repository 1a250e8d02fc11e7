// Files and folders through the POSIX calls (also the page's: Emscripten's C
// library speaks them over its in-memory file system).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os.h"

namespace plat::sys {

EntryInfo Examine(const std::string& path, bool followLinks) {
  struct stat st;
  if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return {};
  EntryInfo info;
  if (S_ISREG(st.st_mode)) {
    info.kind = EntryKind::File;
  } else if (S_ISDIR(st.st_mode)) {
    info.kind = EntryKind::Folder;
  } else if (S_ISLNK(st.st_mode)) {
    info.kind = EntryKind::Link;
  } else {
    info.kind = EntryKind::Other;
  }
  info.size = static_cast<long long>(st.st_size);
  info.modified = st.st_mtim.tv_sec;
  info.modifiedNanos = st.st_mtim.tv_nsec;
  return info;
}

bool ListFolder(const std::string& path, std::vector<std::string>& names) {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return false;
  while (const dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(dir);
  return true;
}

bool ChangeFolder(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string CurrentFolder() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

std::FILE* OpenForWriting(const std::string& path) {
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0 && errno == ELOOP && ::unlink(path.c_str()) == 0) fd = ::open(path.c_str(), flags, 0644);
  std::FILE* f = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (!f && fd >= 0) ::close(fd);
  return f;
}

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

}  // namespace plat::sys
