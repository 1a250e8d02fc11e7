// The machine's folders as Windows gives them.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "platform/os.h"
#include "platform/win32/wide.h"

namespace plat::sys {

std::string ProgramFile() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return Utf8Path(buf.data());
    if (buf.size() >= 32768) return {};  // longer than any path Windows allows
    buf.resize(buf.size() * 2);
  }
}

std::string UserDataFolder() {
  // %APPDATA%: the roaming folder where programs keep the user's settings.
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path))) {
    folder = Utf8Path(path);
  }
  CoTaskMemFree(path);
  return folder;
}

}  // namespace plat::sys
