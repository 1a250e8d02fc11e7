// The program in a web page: the page's default folders, and what the page's
// script and tests ask of it (a page has no command line). The exports live in
// this file with the defaults, so linking the defaults keeps them too.
#include <emscripten.h>

#include <string>

#include "core/state.h"
#include "frame/frame.h"
#include "shell/options.h"
#include "shell/target.h"

// The frame rate the game itself measures, for the page's tests and benchmark.
extern "C" EMSCRIPTEN_KEEPALIVE int puffwick_measured_fps() { return Frame.FpsShown; }

// The on-screen messages now shown, one a line, for the page's tests.
extern "C" EMSCRIPTEN_KEEPALIVE const char* puffwick_messages() {
  static std::string text;
  text.clear();
  for (const ment& m : Core.MessageList) text += m.txt + "\n";
  return text.c_str();
}

// What --version prints, for the page's tests.
extern "C" EMSCRIPTEN_KEEPALIVE const char* puffwick_version() {
  static const std::string text = VersionText();
  return text.c_str();
}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

// The leaderboard the page's script found (its own origin, when the leaderboard
// server served it), as ASCII into `out`; its length, or 0 when none or too long.
EM_JS(int, page_leaderboard, (char* out, int size), {
  var url = Module.leaderboardOrigin || "";
  if (url.length >= size) return 0;
  for (var i = 0; i < url.length; ++i) {
    var c = url.charCodeAt(i);
    if (c <= 32 || c >= 127) return 0;
    HEAPU8[out + i] = c;
  }
  return url.length;
});

void ApplyTargetDefaults(ProgramOptions& options) {
  // In a page the media are packed in at /Files and the save folder is the
  // browser's storage, mounted at /save by the page's script.
  if (options.dataFolder.empty()) options.dataFolder = "/";
  if (options.saveFolder.empty()) options.saveFolder = "/save";
  if (options.leaderboard.empty()) {
    char url[1024];
    options.leaderboard.assign(url, static_cast<size_t>(page_leaderboard(url, sizeof url)));
  }
}

EM_JS(void, page_replay_finished, (const char* line), {
  if (Module.replayFinished) Module.replayFinished(UTF8ToString(line));
});

void ReportReplayResult(const std::string& line) { page_replay_finished(line.c_str()); }
