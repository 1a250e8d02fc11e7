// What a web page needs of the file layer: the save folder lives in the browser's
// IndexedDB (mounted and read before start-up by the page's script), so every
// finished write is handed back to it; a saved file can be offered as a download.
#include <emscripten.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/platform_internal.h"

namespace plat {

namespace {

// A JavaScript string literal of any bytes.
std::string JsString(const std::string& text) {
  std::string out = "'";
  for (unsigned char ch : text) {
    if (ch == '\'' || ch == '\\' || ch < 0x20 || ch >= 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", ch);
      out += buf;
    } else {
      out += static_cast<char>(ch);
    }
  }
  return out + "'";
}

}  // namespace

void detail::SaveFolderChanged() { emscripten_run_script("if (Module.saveFolderChanged) Module.saveFolderChanged();"); }

void detail::WaitForSaveFolder(int milliseconds) {
  SaveFolderChanged();
  for (int waited = 0; waited < milliseconds; waited += 10) {
    if (!emscripten_run_script_int("Module.saveFolderBusy ? (Module.saveFolderBusy() ? 1 : 0) : 0")) return;
    emscripten_sleep(10);
  }
}

void OfferDownload(const std::string& path) {
  const std::string real = detail::ReadPath(path);
  const std::string name = std::filesystem::path(real).filename().string();
  emscripten_run_script(("if (Module.offerDownload) Module.offerDownload(" + JsString(real) + ", " +
                         JsString(name) + ");")
                            .c_str());
}

}  // namespace plat
