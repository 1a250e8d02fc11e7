// PlaySfx over the headless backend's mixer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "audio/sfx.h"
#include "config/settings.h"
#include "platform/headless/headless.h"

namespace {

class SfxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = &plat::UseHeadless();
    ResetSfx();
    Core.Settings[slot::masterVolume] = 100;
    Core.Settings[slot::soundVolume] = 100;
    Audio.SoundEffects[2] = MakeSound(10.0);
    Audio.SoundEffects[4] = MakeSound(1.0);
  }
  void TearDown() override { ResetSfx(); }

  static plat::Sound MakeSound(double seconds) {
    plat::PcmData pcm;
    pcm.rate = 8000;
    pcm.samples.assign(static_cast<size_t>(seconds * pcm.rate), 16384);
    return plat::CurrentBackend().Audio().CreateSound(pcm);
  }
  plat::MixerChannelInfo Info(int slot) { return backend->ChannelInfo(Audio.ChannelTable[slot]); }

  plat::HeadlessBackend* backend = nullptr;
};

TEST_F(SfxTest, EffectsRotateAndTheOldestIsCutOff) {
  PlaySfx(2, 1, 1, 0);
  EXPECT_EQ(Audio.SfxSlot, 21);
  for (int i = 1; i < 236; ++i) PlaySfx(2, 1, 1, 0);
  EXPECT_EQ(Audio.SfxSlot, 20) << "slots 21..255 then 20";
  std::set<int> channels;
  for (int slot = 20; slot <= 255; ++slot) {
    EXPECT_TRUE(plat::ChannelPlaying(Audio.ChannelTable[slot])) << slot;
    channels.insert(Audio.ChannelTable[slot]);
  }
  EXPECT_EQ(channels.size(), 236u);
  EXPECT_EQ(Audio.ChannelTable[19], 0);
  EXPECT_EQ(Audio.ChannelTable[256], 0);

  int oldest = Audio.ChannelTable[21];
  PlaySfx(2, 1, 1, 0);  // the 237th
  EXPECT_EQ(Audio.SfxSlot, 21);
  EXPECT_FALSE(plat::ChannelPlaying(oldest));
  EXPECT_NE(Audio.ChannelTable[21], oldest);
  EXPECT_TRUE(plat::ChannelPlaying(Audio.ChannelTable[21]));
}

TEST_F(SfxTest, AFinishedChannelStaysInItsSlotAndIsReused) {
  PlaySfx(4, 1, 1, 0);
  int first = Audio.ChannelTable[21];
  backend->AdvanceTime(1000);
  EXPECT_FALSE(plat::ChannelPlaying(first));
  for (int i = 0; i < 236; ++i) PlaySfx(4, 1, 1, 0);
  EXPECT_EQ(Audio.ChannelTable[21], first);
  EXPECT_TRUE(plat::ChannelPlaying(first));
}

TEST_F(SfxTest, MissingEffectLeavesTheRotationAlone) {
  for (int index : {3, 0, -1, 201, 100000}) {
    PlaySfx(index, 1, 1, 0);
    EXPECT_EQ(Audio.SfxSlot, 20) << index;
  }
  for (int slot = 0; slot < 260; ++slot) EXPECT_EQ(Audio.ChannelTable[slot], 0) << slot;
  PlaySfx(2, 1, 1, 0);
  EXPECT_EQ(Audio.SfxSlot, 21);
}

TEST_F(SfxTest, ArgumentsAreClampedNaNIncluded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double rate, volume, pan;
    double wantRate, wantVolume, wantPan;
  };
  for (Case c : {Case{0.1, 2, -3, 0.25, 1, -1}, Case{nan, nan, nan, 0.25, 0, -1}, Case{9, -1, 5, 4, 0, 1},
                 Case{1.5, 0.5, 0.25, 1.5, 0.5, 0.25}}) {
    SCOPED_TRACE(testing::Message() << c.rate << " " << c.volume << " " << c.pan);
    PlaySfx(2, c.rate, c.volume, c.pan);
    plat::MixerChannelInfo info = Info(Audio.SfxSlot);
    EXPECT_EQ(info.sound, Audio.SoundEffects[2]);
    EXPECT_TRUE(info.playing);
    EXPECT_FALSE(info.paused);
    EXPECT_DOUBLE_EQ(info.rate, c.wantRate);
    EXPECT_DOUBLE_EQ(info.volume, c.wantVolume);
    EXPECT_DOUBLE_EQ(info.pan, c.wantPan);
  }
}

TEST_F(SfxTest, HardLeftIsHeardOnTheLeftOnly) {
  PlaySfx(2, 0.1, 2, -3);
  auto [left, right] = backend->MixLevels(20);
  EXPECT_NEAR(left, 0.5, 1e-3) << "full volume";
  EXPECT_EQ(right, 0.0);
}

TEST_F(SfxTest, VolumeFollowsTheSettingsAtTheStart) {
  Core.Settings[slot::masterVolume] = 50;
  Core.Settings[slot::soundVolume] = 50;
  PlaySfx(2, 1, 1, 0);
  EXPECT_DOUBLE_EQ(Info(21).volume, 0.25);
  Core.Settings[slot::masterVolume] = 100;
  EXPECT_DOUBLE_EQ(Info(21).volume, 0.25) << "a playing effect keeps its volume";
  PlaySfx(2, 1, 0.5, 0);
  EXPECT_DOUBLE_EQ(Info(22).volume, 0.25);
}

TEST_F(SfxTest, SoundVolumeZeroStartsNothing) {
  PlaySfx(2, 1, 1, 0);
  for (int volume : {0, -5}) {
    Core.Settings[slot::soundVolume] = volume;
    PlaySfx(2, 1, 1, 0);
    EXPECT_EQ(Audio.SfxSlot, 21);
    EXPECT_EQ(Audio.ChannelTable[22], 0);
  }
  EXPECT_TRUE(plat::ChannelPlaying(Audio.ChannelTable[21])) << "effects already playing go on";
}

TEST_F(SfxTest, RateChangesHowLongAnEffectLasts) {
  PlaySfx(4, 2, 1, 0);
  backend->AdvanceTime(499);
  EXPECT_TRUE(plat::ChannelPlaying(Audio.ChannelTable[21]));
  backend->AdvanceTime(1);
  EXPECT_FALSE(plat::ChannelPlaying(Audio.ChannelTable[21]));
}

TEST(SfxWithoutDevice, PlaysSilentlyWithoutFailing) {
  plat::HeadlessOptions options;
  options.audioDevice = false;
  plat::HeadlessBackend& backend = plat::UseHeadless(options);
  ResetSfx();
  Core.Settings[slot::masterVolume] = Core.Settings[slot::soundVolume] = 100;
  plat::PcmData pcm;
  pcm.samples.assign(100, 1000);
  Audio.SoundEffects[2] = plat::CurrentBackend().Audio().CreateSound(pcm);
  ASSERT_NE(Audio.SoundEffects[2], 0);
  for (int i = 0; i < 300; ++i) PlaySfx(2, 1, 1, 0);
  EXPECT_NE(Audio.ChannelTable[21], 0);
  EXPECT_FALSE(plat::ChannelPlaying(Audio.ChannelTable[21]));
  EXPECT_EQ(backend.MixLevels(20), std::make_pair(0.0, 0.0));
  ResetSfx();
}

}  // namespace
