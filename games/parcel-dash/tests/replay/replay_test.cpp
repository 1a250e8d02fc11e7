// Recorded games of Parcel Dash play back exactly (headless, on another clock),
// changed games are caught at their checksum, and the checksum covers the state.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dash/checksum.h"
#include "dash/game.h"
#include "dash/state.h"
#include "dash_testkit/scripted_game.h"
#include "replay/replay_text.h"
#include "shell/replay.h"
#include "shell/startup.h"
#include "testkit/scratch.h"

namespace {

class DashReplayTest : public ScratchTest {
 protected:
  // Records a scripted game on a fresh machine, then installs a second machine
  // whose clock reads differently, as a later replay would find it.
  ScriptedOutcome Record(const ScriptedGame& g) {
    InstallServices();
    ScriptedOutcome out = PlayScriptedGame(*machine_, g);
    MoveToLaterMachine();
    return out;
  }
};

TEST_F(DashReplayTest, TheSameSeedAndInputGiveTheSameGame) {
  struct Case {
    int difficulty;
    Steering steering;
    int width, height, quitAt;
  } cases[] = {
      {0, Steering::kMouse, 1280, 960, -1},
      {1, Steering::kKeys, 1600, 900, -1},
      {2, Steering::kIdle, 1280, 960, -1},
      {1, Steering::kMouse, 1440, 900, 300},  // a pause reseeds; its Quit ends the game
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("difficulty " + std::to_string(c.difficulty));
    ScriptedGame g;
    g.difficulty = c.difficulty;
    g.steering = c.steering;
    g.width = c.width;
    g.height = c.height;
    g.quitAt = c.quitAt;
    const ScriptedOutcome rec = Record(g);
    ASSERT_GT(rec.frames, 120);
    EXPECT_NE(rec.text.find("#"), std::string::npos) << "checksums are recorded";
    if (c.steering != Steering::kIdle) {
      EXPECT_GT(rec.score, 0);
    }
    // Without a display: the pointer comes back in drawing-area units.
    const ReplayResult r = PlayReplay(rec.text, "game.txt", false);
    EXPECT_EQ(r.code, 0) << r.line;
    EXPECT_EQ(r.line, "score " + std::to_string(rec.score) + " frames " + std::to_string(rec.frames));
    EXPECT_EQ(Dash.GameScore, rec.score);
    EXPECT_EQ(Dash.PeopleCaught, rec.final.PeopleCaught);
    EXPECT_EQ(Dash.Frame, rec.final.Frame);
  }
}

TEST_F(DashReplayTest, AChangedGameDivergesAtItsChecksum) {
  ScriptedGame g;
  g.difficulty = 2;
  g.steering = Steering::kKeys;
  const ScriptedOutcome rec = Record(g);

  // The tape read once and played as it is.
  plat::Tape tape;
  int line = 0;
  std::string error;
  ASSERT_TRUE(plat::ParseTape(rec.text, tape, line, error)) << line << ": " << error;
  EXPECT_EQ(PlayTape(std::move(tape), "game.txt", false).code, 0);

  // A state that differs shows at the next checksum.
  std::string text = rec.text;
  const size_t sum = text.find('#');
  text[sum + 16] = text[sum + 16] == '0' ? '1' : '0';
  ReplayResult r = PlayReplay(text, "game.txt", false);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.line, "diverged at frame 60");

  // Another seed for the game's setup.
  text = rec.text;
  text.insert(text.find("\nt") + 2, "1");
  EXPECT_EQ(PlayReplay(text, "game.txt", false).code, 3);

  // A key the game never got: the cart stands elsewhere by a later checksum.
  text = rec.text;
  size_t press = std::string::npos;
  for (const std::string token : {"d37", "d39"}) {
    for (size_t at = text.find(token); at != std::string::npos && press == std::string::npos;
         at = text.find(token, at + 1)) {
      const char before = text[at - 1], after = text[at + token.size()];
      if ((before == ' ' || before == '\n') && (after == ' ' || after == '\n')) press = at;
    }
  }
  ASSERT_NE(press, std::string::npos);
  text.erase(press, 3);
  if (text[press] == ' ' && text[press - 1] == ' ') text.erase(press, 1);
  if (text[press - 1] == '\n' && text[press] == ' ') text.erase(press, 1);
  EXPECT_EQ(PlayReplay(text, "game.txt", false).code, 3);
}

TEST_F(DashReplayTest, TheChecksumSeesEveryPartOfTheState) {
  const std::vector<std::function<void()>> changes = {
      [] { Dash.CartX += 1e-9; },
      [] { Dash.PointerX++; },
      [] { Dash.AtEdge = !Dash.AtEdge; },
      [] { Dash.Frame++; },
      [] { Dash.SpawnCountdown++; },
      [] { Dash.Lives--; },
      [] { Dash.Money += 25; },
      [] { Dash.PeopleCaught++; },
      [] { Dash.ParcelsCaught++; },
      [] { Dash.PeopleMissed++; },
      [] { Dash.ParcelsMissed++; },
      [] { Dash.QuitFlag = kEndTimeUp; },
      [] { Dash.GameScore++; },
      [] { Dash.Falling.push_back(Cargo{}); },
      [] { Dash.Falling.front().kind = kCargoPerson; },
      [] { Dash.Falling.front().y += 0.5; },
      [] { Dash.Falling.front().age++; },
      [] { Dash.Popups.push_back(Popup{}); },
      [] { Dash.Popups.front().framesLeft--; },
      [] { plat::Rand(1, 6); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    SetupGame();
    Dash.Falling.push_back(Cargo{kCargoParcel, 100, 50, 3, 0});
    Dash.Popups.push_back(Popup{25, 100, 500, 30});
    const uint64_t before = GameChecksum();
    EXPECT_EQ(GameChecksum(), before) << "reading it changes nothing";
    changes[i]();
    EXPECT_NE(GameChecksum(), before) << "change " << i;
  }
}

}  // namespace
