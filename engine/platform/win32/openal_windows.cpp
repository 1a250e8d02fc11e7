// OpenAL Soft on Windows (WASAPI, DirectSound or WinMM): no ALSA below it.
#include <windows.h>

#include <cstdlib>

#include "platform/audio/openal/openal_target.h"

namespace plat {

void QuietOpenAL() {
  // The library reports every back end it fails to open; the log says what
  // matters in one line, so stay quiet unless the user asked for OpenAL's log.
  if (!std::getenv("ALSOFT_LOGLEVEL")) _putenv_s("ALSOFT_LOGLEVEL", "0");
}

// WASAPI is what the library picks by itself ("OpenAL"); DirectSound is offered
// by its own name wherever its system library loads.
std::vector<NamedBackend> NamedBackends() {
  std::vector<NamedBackend> named;
  if (HMODULE dsound = LoadLibraryW(L"dsound.dll")) {
    FreeLibrary(dsound);
    named.push_back({"DirectSound", "dsound"});
  }
  return named;
}

bool HoldToBackend(const std::string& backend) {
  if (std::getenv("ALSOFT_DRIVERS")) return false;
  return _putenv_s("ALSOFT_DRIVERS", backend.c_str()) == 0;
}

}  // namespace plat
