#include "shell/replay.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <sstream>
#include <vector>

#include "config/settings_menu.h"
#include "core/assets.h"
#include "core/game_table.h"
#include "core/log.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/machines.h"
#include "platform/platform.h"
#include "replay/replay_text.h"
#include "scores/scores.h"
#include "scores/timestamp.h"
#include "shell/startup.h"
#include "shell/target.h"

namespace {

// The game's score and state digest, through its table (0 where it gives none).
int GameScoreNow() { return Core.ThisGame.Score ? Core.ThisGame.Score() : 0; }
uint64_t GameStateChecksum() { return Core.ThisGame.Checksum ? Core.ThisGame.Checksum() : 0; }

constexpr int kBindingSlots = 101;
constexpr int kMenuHidden = -300;

// What a game's start depends on besides the tape's input.
struct GameStart {
  int difficulty = 1;
  int width = 1280, height = 960;
  int slowSystem = 0;
  int frameParity = 0;
  int rules = 1;  // replays from before rules were named were played under the first
  // The name the name entry starts from (the player's last); replays from before it
  // was recorded start from the default.
  std::string player = "Player";
  MouseInfo mouse;
  int bindings[kBindingSlots] = {};
};

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
                    {"frame-parity", 1, 0, 1},     {"mouse", 6, -1000000, 1000000}, {"bindings", kBindingSlots, 0, 100000},
                    {"rules", 1, 1, 1000000}};
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
      if (name == "rules") start.rules = v[0];
      if (name == "mouse") start.mouse = MouseInfo{v[0], v[1], v[2], v[3], v[4], v[5]};
      if (name == "bindings") {
        for (int k = 0; k < kBindingSlots; ++k) start.bindings[k] = v[static_cast<size_t>(k)];
      }
    }
  }
  for (size_t i = 0; i < tape.header.size(); ++i) {
    if (tape.header[i].first == "player" && !plat::DecodeName(tape.header[i].second, start.player)) {
      line = static_cast<int>(i) + 2;
      error = "bad player line";
      return false;
    }
  }
  for (const Field& f : fields) {
    if (!f.seen && std::string_view(f.name) != "rules") {
      line = static_cast<int>(tape.header.size()) + 2;  // the "frames" line
      error = std::string("no ") + f.name + " line before the frames";
      return false;
    }
  }
  return true;
}

void ApplyStart(const GameStart& s) {
  Core.Difficulty = s.difficulty;
  Core.VirtualWidth = s.width;
  Core.VirtualHeight = s.height;
  plat::SetVirtualResolution(s.width, s.height);
  Core.Settings[slot::slowSystem] = s.slowSystem;
  Core.FrameParity = s.frameParity;
  Core.MouseState = s.mouse;
  HighScores.PlayerName = s.player;
  for (int k = 0; k < kBindingSlots; ++k) Core.KeyBindings[k] = s.bindings[k];
  Core.ControlMode = 1;
  Core.GameState = kStatePlaying;
  Frame.SettingsOpen = 0;
  Config.MenuY = kMenuHidden;
  Frame.PauseSuspended = 0;
  Frame.LastFrameTime = plat::Millisecs();
}

// A close request or Alt+F4 inside a replay ends it rather than the program.
struct GameClosed {};
void EndOnClose() { throw GameClosed{}; }

// A replay's name as the game gives it: <timestamp>.txt, or <timestamp>-<n>.txt
// for the n-th game that ended in the same second (n from 2).
struct ReplayName {
  int64_t stamp = 0;
  int n = 1;
  bool operator<(const ReplayName& o) const { return stamp != o.stamp ? stamp < o.stamp : n < o.n; }
};

bool ReadDigits(std::string_view text, int64_t& out, int64_t low) {
  if (text.empty() || text.size() > 18 || text[0] == '0') return false;
  out = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    out = out * 10 + (ch - '0');
  }
  return out >= low;
}

bool ParseReplayName(std::string_view name, ReplayName& out) {
  if (name.size() < 5 || name.substr(name.size() - 4) != ".txt") return false;
  name.remove_suffix(4);
  const size_t dash = name.find('-');
  int64_t n = 1;
  if (dash != std::string_view::npos && (!ReadDigits(name.substr(dash + 1), n, 2) || n > 1000000000)) return false;
  out.n = static_cast<int>(n);
  return ReadDigits(name.substr(0, dash), out.stamp, 1);
}

std::string ReplayFileName(const ReplayName& r) {
  return std::to_string(r.stamp) + (r.n > 1 ? "-" + std::to_string(r.n) : std::string()) + ".txt";
}

}  // namespace

void BeginGameRecording() {
  std::vector<int> bindings(Core.KeyBindings, Core.KeyBindings + kBindingSlots);
  Shell.ReplayHeader = {
      {"recorded", plat::CurrentDate() + " " + plat::CurrentTime()},
      {"rules", std::to_string(Core.ThisGame.rulesVersion)},
      {"player", plat::EncodeName(HighScores.PlayerName)},
      {"difficulty", std::to_string(Core.Difficulty)},
      {"area", std::to_string(Core.VirtualWidth) + " " + std::to_string(Core.VirtualHeight)},
      {"slow-system", std::to_string(Core.Settings[slot::slowSystem] == 1 ? 1 : 0)},
      {"frame-parity", std::to_string(Core.FrameParity)},
      {"mouse", Join({Core.MouseState.x, Core.MouseState.y, Core.MouseState.oldX, Core.MouseState.oldY, Core.MouseState.MouseClicked,
                      Core.MouseState.RightClicked})},
      {"bindings", Join(bindings)},
  };
  plat::StartRecording(GameStateChecksum);
  Shell.Recording = true;
}

std::string EndGameRecording() {
  if (!Shell.Recording) return {};
  Shell.Recording = false;
  plat::Tape tape = plat::StopRecording();
  tape.header = Shell.ReplayHeader;
  tape.footer = "score " + std::to_string(GameScoreNow()) + " frames " + std::to_string(tape.FrameCount() - 1);
  return plat::FormatTape(tape);
}

std::string SaveGameRecording(const std::string& text, int64_t timestamp) {
  if (text.empty()) return {};
  const std::string folder = "replays";
  ReplayName mine{timestamp > 0 ? timestamp : MakeTimestamp(""), 1};
  // Only files named as replays take part; any other file is the player's own.
  std::vector<ReplayName> replays;
  for (const std::string& name : plat::ListDir(folder)) {
    ReplayName r;
    if (ParseReplayName(name, r)) replays.push_back(r);
  }
  // A game in the same second as earlier ones comes after all of them, so a name
  // is never used twice and the suffix keeps the order the games ended in.
  for (const ReplayName& r : replays) {
    if (r.stamp == mine.stamp && r.n >= mine.n) mine.n = r.n + 1;
  }
  const std::string path = folder + "/" + ReplayFileName(mine);
  if (!plat::MakeDir(folder) || plat::FileType(path) != plat::kFileTypeNone || !plat::ReplaceFileContents(path, text)) {
    LogLine("Could not save the replay " + path);
    return {};
  }
  LogLine("Saved Replay : " + path);
  // Keep the newest, by the time and suffix the names hold; the one just saved
  // is not in the list, so it stays whatever its time.
  std::sort(replays.begin(), replays.end());
  const size_t excess = replays.size() + 1 > kReplaysKept ? replays.size() + 1 - kReplaysKept : 0;
  for (size_t i = 0; i < excess; ++i) plat::DeleteFile(folder + "/" + ReplayFileName(replays[i]));
  return path;
}

namespace {

// What a tape must hold beyond its form: a start to set up and a closing line
// with the score and frame count. False with the line and reason.
bool CheckTape(const plat::Tape& tape, GameStart& start, int& recordedScore, int& recordedFrames, int& line,
               std::string& error) {
  if (!ReadStart(tape, start, line, error)) return false;
  if (start.rules != Core.ThisGame.rulesVersion) {
    line = 0;
    for (size_t i = 0; i < tape.header.size(); ++i) {
      if (tape.header[i].first == "rules") line = static_cast<int>(i) + 2;
    }
    error = "recorded under rules " + std::to_string(start.rules) + "; this program plays rules " +
            std::to_string(Core.ThisGame.rulesVersion) + " (" +
            (start.rules > Core.ThisGame.rulesVersion ? "update it" : "an older version plays it") + ")";
    return false;
  }
  const size_t frameLines = tape.FrameCount();
  std::istringstream footer(tape.footer);
  std::string w1, w2;
  long long score = 0, frames = 0;
  if (!(footer >> w1 >> score >> w2 >> frames) || w1 != "score" || w2 != "frames" || !(footer >> std::ws).eof() ||
      frames != static_cast<long long>(frameLines) - 1 || score < -2147483648LL || score > 2147483647LL) {
    line = static_cast<int>(tape.header.size() + frameLines) + 3;
    error = "the end line should be \"end score N frames " + std::to_string(frameLines - 1) + "\"";
    return false;
  }
  recordedScore = static_cast<int>(score);
  recordedFrames = static_cast<int>(frames);
  return true;
}

ReplayResult Refused(const std::string& fileName, int line, const std::string& error) {
  ReplayResult result;
  result.code = 2;
  result.line = fileName + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + error;
  return result;
}

}  // namespace

ReplayResult PlayReplay(const std::string& text, const std::string& fileName, bool watched) {
  plat::Tape tape;
  int line = 0;
  std::string error;
  if (!plat::ParseTape(text, tape, line, error)) return Refused(fileName, line, error);
  return PlayTape(std::move(tape), fileName, watched);
}

ReplayResult PlayTape(plat::Tape tape, const std::string& fileName, bool watched) {
  ReplayResult result;
  int line = 0;
  std::string error;
  GameStart start;
  int recordedScore = 0, recordedFrames = 0;
  if (!CheckTape(tape, start, recordedScore, recordedFrames, line, error)) {
    ReplayResult refused = Refused(fileName, line, error);
    refused.otherRules = start.rules != Core.ThisGame.rulesVersion;
    return refused;
  }

  const bool wasBlocked = plat::FileWritesBlocked();
  const auto savedShutdown = Frame.FrameHooks.Shutdown;
  const std::list<Scores> savedScores = HighScores.ScoreList;
  const std::string savedName = HighScores.PlayerName;
  ApplyStart(start);
  plat::BlockFileWrites(true);
  Frame.FrameHooks.Shutdown = EndOnClose;
  plat::StartReplay(std::move(tape), GameStateChecksum, watched);
  auto diverged = [&](int frame) {
    result.code = 3;
    result.frames = frame;
    result.line = "diverged at frame " + std::to_string(frame);
  };
  try {
    try {
      if (Core.ThisGame.Play) Core.ThisGame.Play();
    } catch (const GameClosed&) {
    }
    plat::StopReplay(true);
    if (GameScoreNow() != recordedScore) {
      diverged(recordedFrames);
    } else {
      result.score = GameScoreNow();
      result.frames = recordedFrames;
      // The record this game added: the one LastGameTimestamp names.
      for (const Scores& s : HighScores.ScoreList) {
        if (HighScores.LastGameTimestamp != 0 && s.Timestamp == HighScores.LastGameTimestamp) {
          result.name = s.Name;
          break;
        }
      }
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
  Core.GameState = kStateTitle;
  HighScores.ScoreList = savedScores;
  HighScores.PlayerName = savedName;
  Frame.FrameHooks.Shutdown = savedShutdown;
  plat::BlockFileWrites(wasBlocked);
  return result;
}

namespace {

// The headless machine with the frame services, as a verification plays on it.
void UseVerifyingMachine() {
  plat::UseHeadlessMachine();
  InstallServices();
  Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 50000;
}

}  // namespace

ReplayVerdict VerifyReplay(std::string_view text, int maxFrames) {
  plat::Tape tape;
  ReplayVerdict v;
  if (!plat::ParseTape(text, tape, v.errorLine, v.error)) return v;
  return VerifyTape(std::move(tape), maxFrames);
}

ReplayVerdict VerifyTape(plat::Tape tape, int maxFrames) {
  ReplayVerdict v;
  GameStart start;
  int line = 0;
  if (!CheckTape(tape, start, v.claimedScore, v.frames, line, v.error)) {
    v.rules = start.rules;
    v.difficulty = start.difficulty;
    if (start.rules != Core.ThisGame.rulesVersion) v.kind = ReplayVerdict::kOtherRules;
    v.errorLine = line;
    return v;
  }
  v.rules = start.rules;
  v.difficulty = start.difficulty;
  v.recorded = tape.Header("recorded");
  if (v.frames > maxFrames) {
    v.kind = ReplayVerdict::kTooLong;
    v.error = "over " + std::to_string(maxFrames) + " frames";
    return v;
  }
  UseVerifyingMachine();
  ReplayResult r = PlayTape(std::move(tape), "", false);
  if (r.code == 0) {
    v.kind = ReplayVerdict::kPlayed;
    v.score = r.score;
    v.name = r.name;
  } else {
    v.kind = ReplayVerdict::kDiverged;
    v.divergedAt = r.frames;
  }
  return v;
}

int ReplayCommand(const std::string& file, bool headless) {
  // A bad file is reported before any window opens, and read once.
  plat::Tape tape;
  int line = 0;
  std::string error;
  GameStart start;
  int score = 0, frames = 0;
  if (!plat::ReadTapeFile(file, tape, line, error) || !CheckTape(tape, start, score, frames, line, error)) {
    const std::string why = Refused(file, line, error).line;
    std::fprintf(stderr, "%s\n", why.c_str());
    ReportReplayResult(why);
    return 2;
  }

  ReplayResult r;
  if (headless) {
    // The very code a server verifying a score runs.
    const ReplayVerdict v = VerifyTape(std::move(tape));
    r.code = v.kind == ReplayVerdict::kPlayed ? 0 : 3;
    r.line = v.kind == ReplayVerdict::kPlayed ? "score " + std::to_string(v.score) + " frames " + std::to_string(v.frames)
                                              : "diverged at frame " + std::to_string(v.divergedAt);
  } else {
    // Nothing is written: no log, settings or scores.
    plat::BlockFileWrites(true);
    plat::UseRealMachine();
    StartUp();
    r = PlayTape(std::move(tape), file, true);
    plat::CloseDisplay();
  }
  if (r.code == 2) {
    std::fprintf(stderr, "%s\n", r.line.c_str());
  } else if (headless || r.code != 0) {
    std::printf("%s\n", r.line.c_str());
  }
  std::fflush(stdout);
  ReportReplayResult(r.line);
  return r.code;
}
