// The machine's folders as a Linux desktop gives them.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/os.h"

namespace plat::sys {

std::string ProgramFile() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = 0;
  return buf;
}

std::string UserDataFolder() {
  // Relative values are invalid for this variable and are ignored.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return {};
}

}  // namespace plat::sys
