#include "shell/replay.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "config/settings_menu.h"
#include "core/assets.h"
#include "core/log.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "game/board.h"
#include "game/checksum.h"
#include "game/game.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "scores/scores.h"
#include "scores/timestamp.h"
#include "shell/startup.h"

namespace {

constexpr int kBindingSlots = 101;
constexpr int kMenuHidden = -300;

// What a game's start depends on besides the tape's input.
struct GameStart {
  int difficulty = 1;
  int width = 1280, height = 960;
  int slowSystem = 0;
  int frameParity = 0;
  MouseInfo mouse;
  int bindings[kBindingSlots] = {};
};

std::vector<std::pair<std::string, std::string>> g_header;
bool g_recording = false;

std::string Join(const std::vector<int>& values) {
  std::string out;
  for (int v : values) {
    if (!out.empty()) out += ' ';
    out += std::to_string(v);
  }
  return out;
}

// Whole numbers separated by single spaces, exactly `count` of them, each in range.
bool ReadInts(const std::string& text, size_t count, int low, int high, std::vector<int>& out) {
  out.clear();
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    size_t used = 0;
    long long v = 0;
    try {
      v = std::stoll(word, &used);
    } catch (...) {
      return false;
    }
    if (used != word.size() || v < low || v > high) return false;
    out.push_back(static_cast<int>(v));
  }
  return out.size() == count;
}

// The start a tape's header describes; false with the header line and reason.
bool ReadStart(const plat::Tape& tape, GameStart& start, int& line, std::string& error) {
  struct Field {
    const char* name;
    size_t count;
    int low, high;
    bool seen = false;
  };
  Field fields[] = {{"difficulty", 1, 0, 2},       {"area", 2, 64, 8192},        {"slow-system", 1, 0, 1},
                    {"frame-parity", 1, 0, 1},     {"mouse", 6, -1000000, 1000000}, {"bindings", kBindingSlots, 0, 100000}};
  for (size_t i = 0; i < tape.header.size(); ++i) {
    const auto& [name, value] = tape.header[i];
    for (Field& f : fields) {
      if (name != f.name) continue;
      std::vector<int> v;
      if (!ReadInts(value, f.count, f.low, f.high, v)) {
        line = static_cast<int>(i) + 2;
        error = "bad " + name + " line";
        return false;
      }
      f.seen = true;
      if (name == "difficulty") start.difficulty = v[0];
      if (name == "area") start.width = v[0], start.height = v[1];
      if (name == "slow-system") start.slowSystem = v[0];
      if (name == "frame-parity") start.frameParity = v[0];
      if (name == "mouse") start.mouse = MouseInfo{v[0], v[1], v[2], v[3], v[4], v[5]};
      if (name == "bindings") {
        for (int k = 0; k < kBindingSlots; ++k) start.bindings[k] = v[static_cast<size_t>(k)];
      }
    }
  }
  for (const Field& f : fields) {
    if (!f.seen) {
      line = static_cast<int>(tape.header.size()) + 2;  // the "frames" line
      error = std::string("no ") + f.name + " line before the frames";
      return false;
    }
  }
  return true;
}

void ApplyStart(const GameStart& s) {
  Difficulty = s.difficulty;
  VirtualWidth = s.width;
  VirtualHeight = s.height;
  plat::SetVirtualResolution(s.width, s.height);
  Settings[slot::slowSystem] = s.slowSystem;
  FrameParity = s.frameParity;
  MouseState = s.mouse;
  for (int k = 0; k < kBindingSlots; ++k) KeyBindings[k] = s.bindings[k];
  ControlMode = 1;
  GameState = 1;
  SettingsOpen = 0;
  MenuY = kMenuHidden;
  PauseSuspended = 0;
  LastFrameTime = plat::Millisecs();
}

// A close request or Alt+F4 inside a replay ends it rather than the program.
struct GameClosed {};
void EndOnClose() { throw GameClosed{}; }

bool ReadTextFile(const std::string& path, std::string& text) {
  plat::Stream s = plat::ReadFile(path);
  if (!s) return false;
  text.clear();
  while (!plat::Eof(s)) {
    text += plat::ReadLine(s);
    text += '\n';
  }
  plat::CloseStream(s);
  return true;
}

}  // namespace

void BeginGameRecording() {
  std::vector<int> bindings(KeyBindings, KeyBindings + kBindingSlots);
  g_header = {
      {"recorded", plat::CurrentDate() + " " + plat::CurrentTime()},
      {"difficulty", std::to_string(Difficulty)},
      {"area", std::to_string(VirtualWidth) + " " + std::to_string(VirtualHeight)},
      {"slow-system", std::to_string(Settings[slot::slowSystem] == 1 ? 1 : 0)},
      {"frame-parity", std::to_string(FrameParity)},
      {"mouse", Join({MouseState.x, MouseState.y, MouseState.oldX, MouseState.oldY, MouseState.MouseClicked,
                      MouseState.RightClicked})},
      {"bindings", Join(bindings)},
  };
  plat::StartRecording(GameChecksum);
  g_recording = true;
}

std::string EndGameRecording() {
  if (!g_recording) return {};
  g_recording = false;
  plat::Tape tape = plat::StopRecording();
  tape.header = g_header;
  tape.footer = "score " + std::to_string(Game.GameScore) + " frames " + std::to_string(tape.frames.size() - 1);
  return plat::FormatTape(tape);
}

std::string SaveGameRecording(const std::string& text, int64_t timestamp) {
  if (text.empty()) return {};
  const std::string folder = "replays";
  const std::string stamp = std::to_string(timestamp != 0 ? timestamp : MakeTimestamp(""));
  std::string path = folder + "/" + stamp + ".txt";
  for (int n = 2; plat::FileType(path) != 0 && n < 100; ++n) path = folder + "/" + stamp + "-" + std::to_string(n) + ".txt";
  if (!plat::MakeDir(folder) || !plat::ReplaceFileContents(path, text)) {
    LogLine("Could not save the replay " + path);
    return {};
  }
  LogLine("Saved Replay : " + path);
  // Names are timestamps of one width, so name order is age order.
  std::vector<std::string> replays;
  for (const std::string& name : plat::ListDir(folder)) {
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) replays.push_back(name);
  }
  for (size_t i = 0; i + kReplaysKept < replays.size(); ++i) plat::DeleteFile(folder + "/" + replays[i]);
  return path;
}

ReplayResult PlayReplay(const std::string& text, const std::string& fileName, bool watched) {
  ReplayResult result;
  plat::Tape tape;
  int line = 0;
  std::string error;
  GameStart start;
  int recordedScore = 0, recordedFrames = 0;
  if (plat::ParseTape(text, tape, line, error) && ReadStart(tape, start, line, error)) {
    std::vector<int> end;
    std::istringstream footer(tape.footer);
    std::string w1, w2;
    long long score = 0, frames = 0;
    if (!(footer >> w1 >> score >> w2 >> frames) || w1 != "score" || w2 != "frames" || !(footer >> std::ws).eof() ||
        frames != static_cast<long long>(tape.frames.size()) - 1 || score < -2147483648LL || score > 2147483647LL) {
      line = static_cast<int>(tape.header.size() + tape.frames.size()) + 3;
      error = "the end line should be \"end score N frames " + std::to_string(tape.frames.size() - 1) + "\"";
    } else {
      recordedScore = static_cast<int>(score);
      recordedFrames = static_cast<int>(frames);
    }
  }
  if (!error.empty()) {
    result.code = 2;
    result.line = fileName + ":" + std::to_string(line) + ": " + error;
    return result;
  }

  ApplyStart(start);
  const bool wasBlocked = plat::FileWritesBlocked();
  const auto savedShutdown = FrameHooks.Shutdown;
  const std::list<Scores> savedScores = ScoreList;
  const std::string savedName = PlayerName;
  plat::BlockFileWrites(true);
  FrameHooks.Shutdown = EndOnClose;
  plat::StartReplay(std::move(tape), GameChecksum, watched);
  auto diverged = [&](int frame) {
    result.code = 3;
    result.frames = frame;
    result.line = "diverged at frame " + std::to_string(frame);
  };
  try {
    try {
      RunGame();
    } catch (const GameClosed&) {
    }
    plat::StopReplay(true);
    if (Game.GameScore != recordedScore) {
      diverged(recordedFrames);
    } else {
      result.score = Game.GameScore;
      result.frames = recordedFrames;
      result.line = "score " + std::to_string(result.score) + " frames " + std::to_string(result.frames);
    }
  } catch (const plat::ReplayDiverged& d) {
    plat::StopReplay(false);
    diverged(d.frame);
  } catch (const plat::ReplayStopped&) {
    result.frames = plat::ReplayFrame();
    plat::StopReplay(false);
    result.line = "stopped at frame " + std::to_string(result.frames);
  }
  GameState = 0;
  ScoreList = savedScores;
  PlayerName = savedName;
  FrameHooks.Shutdown = savedShutdown;
  plat::BlockFileWrites(wasBlocked);
  return result;
}

int ReplayCommand(const std::string& file, bool headless) {

  std::string text;
  if (!ReadTextFile(file, text)) {
    std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
    return 2;
  }
  // A bad file is reported before any window opens.
  plat::Tape tape;
  int line = 0;
  std::string error;
  if (!plat::ParseTape(text, tape, line, error)) {
    std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, error.c_str());
    return 2;
  }

  ReplayResult r;
  if (headless) {
    plat::UseHeadless();
    InstallServices();
    DrawLimit[1] = DrawLimit[2] = DrawLimit[3] = 50000;
    r = PlayReplay(text, file, false);
  } else {
    // Nothing is written: no log, settings or scores.
    plat::BlockFileWrites(true);
    plat::UseBackend(plat::MakeSdlBackend());
    StartUp();
    r = PlayReplay(text, file, true);
    plat::CloseDisplay();
  }
  if (r.code == 2) {
    std::fprintf(stderr, "%s\n", r.line.c_str());
  } else if (headless || r.code != 0) {
    std::printf("%s\n", r.line.c_str());
  }
  std::fflush(stdout);
  return r.code;
}
