// Recorded games play back exactly (headless, on another clock, without a
// display, in slow-system mode), changed games are caught with their frame, and
// broken replay files are refused with their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "testkit/scratch.h"
#include "core/log.h"
#include "loopery/checksum.h"
#include "loopery/loopery.h"
#include "replay/replay_text.h"
#include "loopery_testkit/scripted_game.h"

namespace {

class ReplayTest : public ScratchTest {
 protected:
  // Records a scripted game on a fresh machine, then installs a second machine
  // whose clock reads differently, as a later replay would find it.
  ScriptedOutcome Record(const ScriptedGame& g) {
    InstallServices();
    ScriptedOutcome out = RecordScriptedGame(*machine_, g);
    MoveToLaterMachine();
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
  HighScores.ScoreList.clear();
  ASSERT_EQ(PlayReplay(rec.text, "game.txt", false).code, 0);
  EXPECT_TRUE(HighScores.ScoreList.empty());
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
      // Only a CR right before an LF is a line end's: a CR elsewhere would not
      // come back from the writer as it was read.
      {"puffwick-replay 1\nrecorded x\r\r\nframes\n.\nend\n", 2, "CR"},
      {head + "frames\nd\r1\nend score 0 frames 0\n", 9, "CR"},
      {head + "frames\n.\nend score 0 frames 0\r", 10, "CR"},
      {std::string(200, 'x'), 1, "not a replay file"},
      {"puffwick-replay 1\tx\n", 1, "control byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    ReplayResult r = PlayReplay(c.text, "bad.txt", false);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.line.rfind("bad.txt:" + std::to_string(c.line) + ": ", 0), 0u) << r.line;
    EXPECT_NE(r.line.find(c.why), std::string::npos) << r.line;
  }
  // A text file with its line ends turned into NUL bytes is not one.
  std::ifstream easy(std::string(PUFFWICK_SOURCE_DIR) + "/games/puffwick-loopery/tests/replays/easy.txt", std::ios::binary);
  std::string nul((std::istreambuf_iterator<char>(easy)), {});
  ASSERT_GT(nul.size(), 1000u);
  std::replace(nul.begin(), nul.end(), '\n', '\0');
  ReplayResult r = PlayReplay(nul, "nul.txt", false);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.line, "nul.txt:1: a control byte (0x00): not a line-based text file");
  // The smallest well-formed replay is read (and then plays a game it does not hold).
  EXPECT_EQ(PlayReplay(head + "frames\n.\nend score 0 frames 0\n", "ok.txt", false).code, 3);
}

TEST_F(ReplayTest, EveryEventKindSurvivesTheTextForm) {
  plat::Tape tape;
  tape.header = {{"difficulty", "1"}, {"note", "any text at all"}};
  using E = plat::TapeEvent;
  tape.AddFrame();
  tape.AddEvent(E::kKeyDown, 0, 65);
  tape.AddEvent(E::kKeyHits, 0, 65, 3);
  tape.AddEvent(E::kMouseDown, 2, 1);
  tape.AddEvent(E::kMouseHits, 2, 1);
  tape.AddEvent(E::kClock, 0, 0, -2147483647 - 1);
  tape.AddPointer(7, 1.6 * 3, -0.1);  // not a short decimal
  tape.AddFrame();
  tape.AddEvent(E::kChar, 4, 0xE9);
  tape.AddEvent(E::kClose, 4);
  tape.AddEvent(E::kKeyUp, 5, 65);
  tape.AddEvent(E::kMouseUp, 5, 3);
  tape.AddEvent(E::kJoyCount, 5, 2);
  plat::JoystickState stick;
  stick.name = "Pad, 100% \xff";
  stick.axes = {0.5, -1, 0, 0.25, 1, -0.75};
  stick.hat = 0.75;
  stick.buttons = {true, false, true};
  stick.connected = false;
  tape.AddJoystick(5, 1, stick);
  // A quick press's state: held for one frame although already let go.
  tape.AddEvent(E::kKeyTap, 6, 27, 2);
  tape.AddEvent(E::kMouseTap, 6, 1, 0);
  for (int f = 2; f < 61; ++f) {
    tape.AddFrame();
    if (f == 59) tape.SetChecksum(0xfedcba9876543210ull);
  }
  tape.footer = "score 5 frames 60";

  const std::string text = plat::FormatTape(tape);
  plat::Tape back;
  int line = 0;
  std::string error;
  ASSERT_TRUE(plat::ParseTape(text, back, line, error)) << line << ": " << error;
  EXPECT_TRUE(back == tape);
  EXPECT_EQ(back.Pointer(back.Event(5)).x, 1.6 * 3);
  EXPECT_EQ(back.Stick(back.Event(back.FirstEvent(1) + 5)).name, "Pad, 100% \xff");
  uint64_t sum = 0;
  EXPECT_TRUE(back.Checksum(59, sum));
  EXPECT_EQ(sum, 0xfedcba9876543210ull);
  EXPECT_EQ(back.Header("note"), "any text at all");
  // CR LF line ends read the same, and so does the text handed over in pieces of any size.
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  ASSERT_TRUE(plat::ParseTape(crlf, back, line, error));
  EXPECT_TRUE(back == tape);
  for (size_t piece : {1, 2, 7, 4096}) {
    plat::TapeReader reader;
    for (size_t at = 0; at < crlf.size(); at += piece) {
      ASSERT_TRUE(reader.Feed(crlf.data() + at, std::min(piece, crlf.size() - at)));
    }
    ASSERT_TRUE(reader.Finish()) << reader.ErrorLine() << ": " << reader.Error();
    EXPECT_TRUE(reader.Take() == tape) << "pieces of " << piece;
  }
}

// Whatever the reader accepts, the writer writes back to the same tape: odd but
// well-formed spellings read as their plain form.
TEST_F(ReplayTest, WhatTheReaderTakesTheWriterWritesBack) {
  const char* accepted[] = {
      "puffwick-replay 1\nframes\n@3 t5 d1 @3 h2*1 p-0,1e3\nend\n",
      "puffwick-replay 1\nname\nempty \nframes\n@0 d01\n@7\nend  two spaces\n\n",
      "puffwick-replay 1\nrecorded \xe9t\xe9 \nframes\nj3:0,0,0,0,0,0,-1,-,1,%2c%41\xff\nend score 1 frames 0",
  };
  for (const char* text : accepted) {
    SCOPED_TRACE(text);
    plat::Tape tape, back;
    int line = 0;
    std::string error;
    ASSERT_TRUE(plat::ParseTape(text, tape, line, error)) << line << ": " << error;
    ASSERT_TRUE(plat::ParseTape(plat::FormatTape(tape), back, line, error)) << line << ": " << error;
    EXPECT_TRUE(back == tape);
  }
}

// Hit counts past what an int holds stay at its largest value.
TEST_F(ReplayTest, HitCountsSaturate) {
  std::string text = "puffwick-replay 1\nframes\n";
  for (int i = 0; i < 2148; ++i) text += (i ? " " : "") + std::string("h65*1000000 H1*1000000");
  text += "\nend\n";
  plat::Tape tape;
  int line = 0;
  std::string error;
  ASSERT_TRUE(plat::ParseTape(text, tape, line, error)) << line << ": " << error;
  plat::StartReplay(std::move(tape), nullptr, false);
  EXPECT_EQ(plat::KeyHit(65), std::numeric_limits<int>::max());
  EXPECT_EQ(plat::MouseHit(1), std::numeric_limits<int>::max());
  plat::StopReplay(false);
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
      [] { Game.MouseLatch = !Game.MouseLatch; },   [] { Game.TrainList.front().spd += 0.25; },
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

// Files read from disk: too large ones unread, the rest as the text reader reads them.
TEST_F(ReplayTest, ReplayFilesAreReadOnceWithinTheirSizeLimit) {
  const std::string golden = std::string(PUFFWICK_SOURCE_DIR) + "/games/puffwick-loopery/tests/replays/easy.txt";
  std::ifstream in(golden, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  plat::Tape fromText, fromFile;
  int line = 0;
  std::string error;
  ASSERT_TRUE(plat::ParseTape(text, fromText, line, error)) << error;
  ASSERT_TRUE(plat::ReadTapeFile(golden, fromFile, line, error)) << error;
  EXPECT_TRUE(fromFile == fromText);

  // A gigabyte (sparse: nothing is written) is refused by its size alone.
  { std::ofstream("big.txt") << "puffwick-replay 1\n"; }
  std::filesystem::resize_file("big.txt", 1ll << 30);
  EXPECT_FALSE(plat::ReadTapeFile("big.txt", fromFile, line, error));
  EXPECT_EQ(line, 1);
  EXPECT_NE(error.find("more than a replay may hold"), std::string::npos) << error;
  std::filesystem::resize_file("big.txt", plat::kMaxReplayBytes);
  EXPECT_FALSE(plat::ReadTapeFile("big.txt", fromFile, line, error));
  EXPECT_EQ(line, 2);
  EXPECT_NE(error.find("control byte (0x00)"), std::string::npos) << error;
  EXPECT_FALSE(plat::ReadTapeFile("missing.txt", fromFile, line, error));
  EXPECT_EQ(line, 0);
  EXPECT_EQ(error, "cannot be read");
}

std::string GoldenText(const std::string& name) {
  std::ifstream in(std::string(PUFFWICK_SOURCE_DIR) + "/games/puffwick-loopery/tests/replays/" + name + ".txt",
                   std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The golden replays are what the rules version names: each must say the current
// rules and play to its score, and their frames (what the game did) must be the
// ones recorded under that version. Re-recording them after a change of the game
// fails here until kLooperyRules is raised and its digests added below.
TEST_F(ReplayTest, TheRulesVersionHoldsTheGoldenReplays) {
  struct Golden {
    int rules;
    const char* name;
    uint64_t digest;  // FNV-1a of the file from its "frames" line on
  } goldens[] = {
      {1, "easy", 0xc15de332dd31e435ull},
      {1, "medium", 0x9ddbd57b300ddfe1ull},
      {1, "hard", 0x0915eba1dcb6237dull},
  };
  int checked = 0;
  for (const Golden& g : goldens) {
    if (g.rules != kLooperyRules) continue;
    SCOPED_TRACE(g.name);
    const std::string text = GoldenText(g.name);
    ASSERT_NE(text.find("\nrules " + std::to_string(kLooperyRules) + "\n"), std::string::npos);
    uint64_t digest = 0xcbf29ce484222325ull;
    for (char c : std::string_view(text).substr(text.find("\nframes\n"))) {
      digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    }
    EXPECT_EQ(digest, g.digest) << std::hex << "0x" << digest << ": the golden replays changed; raise kLooperyRules";
    const ReplayVerdict v = VerifyReplay(text);
    EXPECT_EQ(v.kind, ReplayVerdict::kPlayed) << v.divergedAt << " " << v.error;
    ++checked;
  }
  EXPECT_EQ(checked, 3) << "no golden digests for rules " << kLooperyRules;
}

// What a server verifying a score learns from a replay: the score it played to,
// its name and difficulty, or why it was refused.
TEST_F(ReplayTest, VerifyingAReplayTellsWhatItPlayedTo) {
  const std::string easy = GoldenText("easy");
  auto edited = [&](const std::string& from, const std::string& to) {
    std::string t = easy;
    const size_t at = t.rfind(from);
    return at == std::string::npos ? std::string() : t.replace(at, from.size(), to);
  };
  ReplayVerdict v = VerifyReplay(easy);
  ASSERT_EQ(v.kind, ReplayVerdict::kPlayed) << v.divergedAt << " " << v.error;
  EXPECT_EQ(v.score, 4090);
  EXPECT_EQ(v.frames, 790);
  EXPECT_EQ(v.name, "PlayerEASY") << "name entry starts from the default name";
  EXPECT_EQ(v.difficulty, 0);
  EXPECT_EQ(v.recorded, "07 Dec 2010 15:30:12");

  struct Case {
    std::string text;
    ReplayVerdict::Kind kind;
    int maxFrames;
  } cases[] = {
      {edited("end score 4090", "end score 4091"), ReplayVerdict::kDiverged, INT_MAX},
      {edited("\nrules 1\n", "\nrules 2\n"), ReplayVerdict::kOtherRules, INT_MAX},
      {"junk\n", ReplayVerdict::kUnreadable, INT_MAX},
      {easy, ReplayVerdict::kTooLong, 789},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    ASSERT_FALSE(c.text.empty());
    v = VerifyReplay(c.text, c.maxFrames);
    EXPECT_EQ(v.kind, c.kind) << v.error;
    if (c.kind == ReplayVerdict::kDiverged) {
      EXPECT_EQ(v.divergedAt, 790);
    }
    if (c.kind == ReplayVerdict::kOtherRules) {
      EXPECT_EQ(v.rules, 2);
    }
    if (c.kind == ReplayVerdict::kUnreadable) {
      EXPECT_EQ(v.errorLine, 1);
    }
  }
  // The name entry starts from the name the header gives, any byte of it.
  v = VerifyReplay(edited("\nrules 1\n", "\nrules 1\nplayer %3Cb%3E%E9%7F\n"));
  EXPECT_EQ(v.name, "<b>\xe9\x7f" "EASY");
  // A replay without a rules line comes from before they were named: the first rules.
  v = VerifyReplay(edited("\nrules 1\n", "\n"));
  EXPECT_EQ(v.kind, ReplayVerdict::kPlayed) << v.error;
  // Nothing verified is kept: the score table is as it was.
  EXPECT_TRUE(HighScores.ScoreList.empty());
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

// Only the game's own replay names are pruned, oldest by time and then suffix;
// the replay just saved stays; a name is never used twice.
TEST_F(ReplayTest, PruningTouchesOnlyReplaysAndNeverTheNewOne) {
  std::filesystem::create_directory("replays");
  auto touch = [](const std::string& name) { std::ofstream("replays/" + name) << "old"; };
  touch("0-keep-me.txt");
  for (int i = 0; i < 50; i++) touch("zz-notes-" + std::to_string(100 + i) + ".txt");
  touch("500-x.txt");
  touch("0500.txt");
  const std::string first = SaveGameRecording("puffwick-replay 1\n", 2000);
  EXPECT_EQ(first, "replays/2000.txt");
  EXPECT_TRUE(std::filesystem::exists(first));
  EXPECT_TRUE(std::filesystem::exists("replays/0-keep-me.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/zz-notes-149.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/500-x.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/0500.txt"));

  // 49 more replays in one second, then more: suffixes rise past 99, and the
  // oldest go first (1000 before 1000-2 before 1000-10).
  for (int i = 0; i < 49; i++) ASSERT_FALSE(SaveGameRecording("puffwick-replay 1\n", 1000).empty());
  EXPECT_TRUE(std::filesystem::exists("replays/1000.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/1000-49.txt"));
  EXPECT_EQ(SaveGameRecording("puffwick-replay 1\n", 1000), "replays/1000-50.txt");
  EXPECT_FALSE(std::filesystem::exists("replays/1000.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/1000-2.txt"));
  for (int i = 0; i < 60; i++) ASSERT_FALSE(SaveGameRecording("puffwick-replay " + std::to_string(i) + "\n", 1000).empty());
  EXPECT_EQ(SaveGameRecording("puffwick-replay 1\n", 1000), "replays/1000-111.txt");
  EXPECT_TRUE(std::filesystem::exists("replays/1000-100.txt"));
  EXPECT_FALSE(std::filesystem::exists("replays/1000-62.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/1000-63.txt"));
  // A replay older than every kept one (a clock set back) is still kept when saved.
  EXPECT_EQ(SaveGameRecording("puffwick-replay 1\n", 999), "replays/999.txt");
  EXPECT_TRUE(std::filesystem::exists("replays/999.txt"));
  EXPECT_FALSE(std::filesystem::exists("replays/1000-63.txt"));
  EXPECT_TRUE(std::filesystem::exists("replays/2000.txt"));
  int replays = 0, others = 0;
  for (auto& e : std::filesystem::directory_iterator("replays")) {
    const std::string name = e.path().filename().string();
    (name[0] == '9' || name[0] == '1' || name[0] == '2' ? replays : others)++;
  }
  EXPECT_EQ(replays, kReplaysKept);
  EXPECT_EQ(others, 53);
}

// A replay is named by its game's score record, however long the game's end took.
TEST_F(ReplayTest, AReplayIsNamedByItsRecordsTimestamp) {
  EXPECT_EQ(SaveGameRecording("puffwick-replay 1\n", 65150306850), "replays/65150306850.txt");
  EXPECT_TRUE(std::filesystem::exists("replays/65150306850.txt"));
}

}  // namespace
