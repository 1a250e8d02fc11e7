// Recorded games play back exactly (headless, on another clock, without a
// display, in slow-system mode), changed games are caught with their frame, and
// broken replay files are refused with their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../shell/scratch.h"
#include "core/log.h"
#include "game/checksum.h"
#include "platform/replay.h"
#include "scripted_game.h"

namespace {

class ReplayTest : public ScratchTest {
 protected:
  // Records a scripted game on a fresh machine, then installs a second machine
  // whose clock reads differently, as a later replay would find it.
  ScriptedOutcome Record(const ScriptedGame& g) {
    InstallServices();
    ScriptedOutcome out = RecordScriptedGame(*machine_, g);
    ResetProgramState();
    plat::HeadlessOptions later;
    later.startMillis = 987654;
    machine_ = &plat::UseHeadless(later);
    InstallServices();
    return out;
  }
};

TEST_F(ReplayTest, RecordedGamesReplayToTheirScoreAndFrames) {
  struct Case {
    int difficulty, slow, width, height, pauseAt;
    bool quickTaps;
  } cases[] = {
      {0, 0, 1280, 960, -1, false},
      {1, 0, 1600, 900, 40, false},  // a pause reseeds the generator from the clock
      {2, 1, 1440, 900, 41, false},  // slow-system mode: every other frame shown
      {1, 0, 1280, 960, 40, true},   // Escape let go before a frame read it
  };
  // Each game ends early: a straight laid across the loop crashes the train.
  for (const Case& c : cases) {
    SCOPED_TRACE("difficulty " + std::to_string(c.difficulty));
    ScriptedGame g;
    g.difficulty = c.difficulty;
    g.slowSystem = c.slow;
    g.width = c.width;
    g.height = c.height;
    g.pauseAt = c.pauseAt;
    g.quickTaps = c.quickTaps;
    g.crashAt = 100;
    ScriptedOutcome rec = Record(g);
    ASSERT_GT(rec.frames, 300);
    EXPECT_NE(rec.text.find("#"), std::string::npos);
    EXPECT_NE(rec.text.find("\nt"), std::string::npos) << "the setup's clock seed is recorded";
    // No display at all: the pointer comes back in drawing-area units.
    ReplayResult r = PlayReplay(rec.text, "game.txt", false);
    EXPECT_EQ(r.code, 0) << r.line;
    EXPECT_EQ(r.line, "score " + std::to_string(rec.score) + " frames " + std::to_string(rec.frames));
    EXPECT_EQ(Game.GameScore, rec.score);
  }
}

TEST_F(ReplayTest, AChangedGameDivergesAtItsFrame) {
  ScriptedGame g;
  g.difficulty = 2;
  g.crashAt = 100;
  ScriptedOutcome rec = Record(g);
  ASSERT_EQ(PlayReplay(rec.text, "game.txt", false).code, 0);

  // A state that differs shows at the next checksum.
  std::string text = rec.text;
  const size_t sum = text.find('#');
  text[sum + 16] = text[sum + 16] == '0' ? '1' : '0';
  ReplayResult r = PlayReplay(text, "game.txt", false);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.line, "diverged at frame 60");

  // A click the game never got (not the held start click): the track differs by
  // the first checksum.
  text = rec.text;
  const size_t press = text.find(" D1", text.find(" D1") + 1);
  ASSERT_NE(press, std::string::npos);
  text.erase(press, 3);
  r = PlayReplay(text, "game.txt", false);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.line, "diverged at frame 60");

  // Another seed for the game's setup.
  text = rec.text;
  const size_t seed = text.find("\nt");
  text.insert(seed + 2, "1");
  EXPECT_EQ(PlayReplay(text, "game.txt", false).code, 3);

  // A score that the game does not reach.
  text = rec.text;
  const size_t score = text.rfind("score ") + 6;
  text.insert(score, "9");
  r = PlayReplay(text, "game.txt", false);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.line, "diverged at frame " + std::to_string(rec.frames));
}

TEST_F(ReplayTest, AReplayWritesNothingAndKeepsTheScoreTable) {
  ScriptedGame g;
  g.difficulty = 2;
  g.crashAt = 100;
  ScriptedOutcome rec = Record(g);
  // The recorded game saved its record; the replay must leave every file as it is.
  auto files = [] {
    std::vector<std::pair<std::string, std::string>> all;
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::filesystem::current_path())) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      all.emplace_back(e.path().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    std::sort(all.begin(), all.end());
    return all;
  };
  const auto before = files();
  ScoreList.clear();
  ASSERT_EQ(PlayReplay(rec.text, "game.txt", false).code, 0);
  EXPECT_TRUE(ScoreList.empty());
  EXPECT_FALSE(plat::FileWritesBlocked());
  EXPECT_EQ(files(), before);
}

TEST_F(ReplayTest, BrokenFilesAreRefusedWithTheirLine) {
  std::string bindings = "bindings";
  for (int i = 0; i < 101; i++) bindings += " 0";
  const std::string head = "puffwick-replay 1\ndifficulty 0\narea 1280 960\nslow-system 0\nframe-parity 0\n"
                           "mouse 0 0 0 0 0 0\n" + bindings + "\n";
  // head is 7 lines; "frames" is line 8, the first frame line 9.
  std::string sixty;
  for (int i = 1; i < 60; i++) sixty += ".\n";
  struct Case {
    std::string text;
    int line;
    const char* why;
  } cases[] = {
      {"", 1, "empty file"},
      {"hello\n", 1, "not a replay file"},
      {"puffwick-replay 2\n", 1, "version"},
      {head, 8, "ends before its frames"},
      {head + "frames\n.\n", 10, "ends before its end line"},
      {head + "frames\nd300\nend score 0 frames 0\n", 9, "bad event"},
      {head + "frames\n@5 d1 @4 u1\nend score 0 frames 0\n", 9, "bad poll number"},
      {head + "frames\np1,nan\nend score 0 frames 0\n", 9, "bad event"},
      {head + "frames\n#0123456789abcdef\nend score 0 frames 0\n", 9, "not a multiple of 60"},
      {head + "frames\n" + sixty + ".\n.\nend score 0 frames 61\n", 68, "frame 60 has no checksum"},
      {head + "frames\nd1  u1\nend score 0 frames 0\n", 9, "two spaces"},
      {head + "frames\n\nend score 0 frames 0\n", 9, "empty frame line"},
      {head + "frames\n.\nend score 0 frames 0\nmore\n", 11, "text after the end line"},
      {head + "frames\n.\nend score 0 frames 7\n", 10, "end line"},
      {head + "Bad name\nframes\n.\nend score 0 frames 0\n", 8, "bad header line"},
      {"puffwick-replay 1\ndifficulty 5\nframes\n.\nend score 0 frames 0\n", 2, "bad difficulty line"},
      {"puffwick-replay 1\ndifficulty 1\nframes\n.\nend score 0 frames 0\n", 3, "no area line"},
      {head + "frames\nj0:0,0,0,0,0,0,-1,01,1,pad%2\nend score 0 frames 0\n", 9, "bad event"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    ReplayResult r = PlayReplay(c.text, "bad.txt", false);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.line.rfind("bad.txt:" + std::to_string(c.line) + ": ", 0), 0u) << r.line;
    EXPECT_NE(r.line.find(c.why), std::string::npos) << r.line;
  }
  // The smallest well-formed replay is read (and then plays a game it does not hold).
  EXPECT_EQ(PlayReplay(head + "frames\n.\nend score 0 frames 0\n", "ok.txt", false).code, 3);
}

TEST_F(ReplayTest, EveryEventKindSurvivesTheTextForm) {
  plat::Tape tape;
  tape.header = {{"difficulty", "1"}, {"note", "any text at all"}};
  tape.frames.resize(61);
  auto add = [&](int frame, plat::TapeEvent::Kind kind, int poll, int code, int count = 1) -> plat::TapeEvent& {
    plat::TapeEvent e;
    e.kind = kind;
    e.poll = poll;
    e.code = code;
    e.count = count;
    tape.frames[frame].events.push_back(e);
    return tape.frames[frame].events.back();
  };
  add(0, plat::TapeEvent::kKeyDown, 0, 65);
  add(0, plat::TapeEvent::kKeyHits, 0, 65, 3);
  add(0, plat::TapeEvent::kMouseDown, 2, 1);
  add(0, plat::TapeEvent::kMouseHits, 2, 1);
  add(0, plat::TapeEvent::kClock, 2, 0).value = -2147483647 - 1;
  plat::TapeEvent& p = add(0, plat::TapeEvent::kPointer, 7, 0);
  p.x = 1.6 * 3;  // not a short decimal
  p.y = -0.1;
  add(1, plat::TapeEvent::kChar, 4, 0xE9);
  add(1, plat::TapeEvent::kClose, 4, 0);
  add(1, plat::TapeEvent::kKeyUp, 5, 65);
  add(1, plat::TapeEvent::kMouseUp, 5, 3);
  add(1, plat::TapeEvent::kJoyCount, 5, 2);
  plat::TapeEvent& j = add(1, plat::TapeEvent::kJoystick, 5, 1);
  j.stick.name = "Pad, 100% \xff";
  j.stick.axes = {0.5, -1, 0, 0.25, 1, -0.75};
  j.stick.hat = 0.75;
  j.stick.buttons = {true, false, true};
  j.stick.connected = false;
  // A quick press's state: held for one frame although already let go.
  add(1, plat::TapeEvent::kKeyTap, 6, 27).value = 2;
  add(1, plat::TapeEvent::kMouseTap, 6, 1).value = 0;
  tape.frames[59].hasChecksum = true;
  tape.frames[59].checksum = 0xfedcba9876543210ull;
  tape.footer = "score 5 frames 60";

  const std::string text = plat::FormatTape(tape);
  plat::Tape back;
  int line = 0;
  std::string error;
  ASSERT_TRUE(plat::ParseTape(text, back, line, error)) << line << ": " << error;
  EXPECT_EQ(plat::FormatTape(back), text);
  EXPECT_EQ(back.frames[0].events[5].x, 1.6 * 3);
  EXPECT_EQ(back.frames[1].events[5].stick.name, "Pad, 100% \xff");
  EXPECT_EQ(back.frames[59].checksum, 0xfedcba9876543210ull);
  EXPECT_EQ(back.Header("note"), "any text at all");
  // CR LF line ends read the same.
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  ASSERT_TRUE(plat::ParseTape(crlf, back, line, error));
  EXPECT_EQ(plat::FormatTape(back), text);
}

TEST_F(ReplayTest, TheChecksumSeesEveryPartOfTheState) {
  SetupGame();
  const uint64_t base = GameChecksum();
  std::vector<std::function<void()>> changes = {
      [] { Game.TrackGrid[CellIndex(3, 3)] = 1; },  [] { Game.UnderGrid[0] = 1; },
      [] { Game.BusyGrid[5] = 2; },                 [] { Game.PeopleGrid[7] = 1; },
      [] { Game.ParcelGrid[7] = -1; },              [] { Game.OverfullGrid[9] = 1; },
      [] { Game.Money += 1; },                      [] { Game.TrainList.front().cx[2] += 1e-9; },
      [] { Game.TrainList.front().Full[3] = 1; },   [] { Game.SmokeList.push_back(ke{}); },
      [] { plat::Rand(1, 6); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    SetupGame();
    const uint64_t seeded = GameChecksum();
    changes[i]();
    EXPECT_NE(GameChecksum(), seeded) << "change " << i;
  }
  (void)base;
}

TEST_F(ReplayTest, SavedReplaysKeepTheNewestFiftyAndLogTheirName) {
  OpenLog("Debug.txt");
  std::filesystem::create_directory("replays");
  for (int i = 0; i < 52; i++) std::ofstream("replays/1000000" + std::to_string(100 + i) + ".txt") << "x";
  const std::string path = SaveGameRecording("puffwick-replay 1\n");
  CloseLog();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::exists(path));
  int count = 0;
  for (auto& e : std::filesystem::directory_iterator("replays")) count += e.path().extension() == ".txt";
  EXPECT_EQ(count, kReplaysKept);
  EXPECT_FALSE(std::filesystem::exists("replays/1000000100.txt"));
  EXPECT_FALSE(std::filesystem::exists("replays/1000000102.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/1000000103.txt"));
  std::ifstream log("Debug.txt");
  std::string all((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(all.find("Saved Replay : " + path), std::string::npos);
}

// A replay is named by its game's score record, however long the game's end took.
TEST_F(ReplayTest, AReplayIsNamedByItsRecordsTimestamp) {
  EXPECT_EQ(SaveGameRecording("puffwick-replay 1\n", 65150306850), "replays/65150306850.txt");
  EXPECT_TRUE(std::filesystem::exists("replays/65150306850.txt"));
}

}  // namespace
