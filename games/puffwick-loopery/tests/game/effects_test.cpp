// Smoke, popups and flashes on real frames.
#include <algorithm>

#include "game_fixture.h"

namespace {

class EffectsTest : public GameTest {
 protected:
  std::vector<plat::DrawCall> Calls(int image) {
    std::vector<plat::DrawCall> out;
    for (const plat::DrawCall& c : machine_->LastFrameCalls()) {
      if (c.kind == plat::DrawCall::kImage && c.image == image) out.push_back(c);
    }
    return out;
  }
};

TEST_F(EffectsTest, APopupIsDrawnOnItsHundredAndTwentyFramesAndFades) {
  StartGame();
  machine_->SetRecording(true);
  const int scoreBefore = Game.GameScore;
  AddPopup(4321, 300, 200, 10, 20, 30);
  EXPECT_EQ(Game.GameScore, scoreBefore + 4321);
  int drawn = 0;
  double lastAlpha = -1, lastY = 0;
  for (int f = 0; f < 130; f++) {
    Frames(1);
    for (const plat::DrawCall& c : machine_->LastFrameCalls()) {
      if (c.kind == plat::DrawCall::kText && c.text == "4321") {
        drawn++;
        lastAlpha = c.alpha;
        lastY = c.y;
        EXPECT_EQ(c.r, 10);
      }
    }
  }
  EXPECT_EQ(drawn, 120);
  EXPECT_EQ(lastAlpha, 0);
  EXPECT_NEAR(lastY, 200 - 30 - plat::TextHeight() / 2, 1.0);  // risen 30 pixels
  EXPECT_TRUE(Loopery.PopupList.empty());
}

TEST_F(EffectsTest, APuffLivesItsAlphaOverTwoThousandthsOfFrames) {
  for (double alp : {0.2, 0.3, 0.4}) {
    StartGame();
    ke puff;
    puff.x = -5000;  // told apart from the engine's own puffs
    puff.alp = alp;
    puff.size = 1;
    Game.SmokeList.push_front(puff);
    int frames = 0;
    auto alive = [] {
      return std::any_of(Game.SmokeList.begin(), Game.SmokeList.end(), [](const ke& p) { return p.x < -4000; });
    };
    while (alive() && frames < 400) Frames(1), frames++;
    EXPECT_NEAR(frames, alp / 0.002, 1.0) << alp;
  }
}

TEST_F(EffectsTest, TheEngineSmokesOnTheFirstFrameAndEveryNinetyAfter) {
  StartGame();
  Frames(1);
  EXPECT_EQ(Game.SmokeList.size(), 8u);
  const ke& first = Game.SmokeList.front();
  EXPECT_GE(first.alp, 0.2 - 0.002);
  EXPECT_LT(first.alp, 0.4);
  Frames(89);
  EXPECT_EQ(Game.SmokeList.size(), 8u);
  Frames(1);
  EXPECT_EQ(Game.SmokeList.size(), 16u);
}

TEST_F(EffectsTest, EveryCarOfACrashedTrainBurstsEveryFrame) {
  StartGame();
  ClearBoard();  // the train runs onto empty ground
  machine_->SetRecording(true);
  int frames = 0;
  while (Train().dead == 0 && frames < 200) Frames(1), frames++;
  ASSERT_EQ(Train().dead, 1);
  for (int round = 0; round < 3; round++) {
    Frames(1);
    std::vector<plat::DrawCall> flashes = Calls(Loopery.FlashImage);
    ASSERT_EQ(flashes.size(), 12u);
    for (int i = 1; i <= 4; i++) {
      // Three flashes scattered within 16 pixels (plus half the scaled image) of each car.
      int near = 0;
      for (const plat::DrawCall& c : flashes) {
        const double cx = Train().cx[i] - 16 + plat::ImageWidth(Loopery.FlashImage) * c.scaleX / 2;
        const double cy = Train().cy[i] - 16 + plat::ImageHeight(Loopery.FlashImage) * c.scaleY / 2;
        near += std::fabs(c.x - cx) <= 17 && std::fabs(c.y - cy) <= 17;
      }
      EXPECT_GE(near, 3) << "car " << i;
    }
  }
}

TEST_F(EffectsTest, TheEndCounterEndsTheGameSixtyOneFramesAfterACrashWithSoundTen) {
  StartGame();
  ClearBoard();
  int frames = 0;
  while (Train().dead == 0 && frames < 300) Frames(1), frames++;
  ASSERT_EQ(Train().dead, 1);
  TakeSounds();
  int more = 0;
  while (Frames(1) && more < 200) more++;
  EXPECT_EQ(more + 1, 60);  // the crash frame counts as the first
  EXPECT_EQ(Game.QuitFlag, 1);
  EXPECT_EQ(Count(TakeSounds(), kSfxExplode), more + 1);
}

// The running-train loop is as loud as any effect (sound x master volume) and
// follows the sliders of the settings panel, which write the settings mid-game.
TEST_F(EffectsTest, TheEngineLoopFollowsTheVolumeSettings) {
  const struct {
    int sound, master;
    double volume;
  } cases[] = {{100, 100, 1}, {50, 50, 0.25}, {0, 100, 0}, {100, 0, 0}, {80, 50, 0.4}};
  StartGame();
  Frames(1);
  for (const auto& c : cases) {
    Core.Settings[slot::soundVolume] = c.sound;
    Core.Settings[slot::masterVolume] = c.master;
    Frames(1);
    const plat::MixerChannelInfo engine = machine_->ChannelInfo(Game.EngineChannel);
    EXPECT_EQ(engine.sound, Audio.SoundEffects[kSfxEngine]);
    EXPECT_TRUE(engine.playing);
    EXPECT_NEAR(engine.volume, c.volume, 1e-9) << c.sound << " x " << c.master;
  }
  // Started afresh (a new game) at the volume of the moment, not at full volume.
  Core.Settings[slot::soundVolume] = Core.Settings[slot::masterVolume] = 0;
  StartGame();
  Frames(1);
  EXPECT_EQ(machine_->ChannelInfo(Game.EngineChannel).volume, 0);
}

}  // namespace
