// The headless backend's in-memory mixer, driven directly with a clock of our own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

#include "platform/headless/headless.h"

namespace {

using plat::PcmData;

// A square wave of the given amplitude, so that the peak of the mix is known.
PcmData Square(double seconds, int channels = 1, int16_t amplitude = 16384, int rate = 8000) {
  PcmData pcm;
  pcm.rate = rate;
  pcm.channels = channels;
  int frames = static_cast<int>(seconds * rate);
  for (int f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) pcm.samples.push_back((f / 4) % 2 ? amplitude : -amplitude);
  }
  return pcm;
}

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    audio = plat::MakeHeadlessAudio({"OpenAL", "OpenAL Speakers"}, true, [this] { return now; });
  }
  // A channel with a one-second sound cued on it (paused).
  int CueOneSecond(int channels = 1) {
    int sound = audio->CreateSound(Square(1.0, channels));
    int channel = audio->AllocChannel();
    audio->Cue(channel, sound);
    return channel;
  }
  plat::MixerChannelInfo Info(int channel) { return plat::HeadlessChannelInfo(*audio, channel); }
  std::pair<double, double> Mix(int ms) { return plat::HeadlessMix(*audio, ms); }

  int64_t now = 5000;
  std::unique_ptr<plat::AudioDriver> audio;
};

TEST_F(MixerTest, CuedChannelIsSilentAndHeldUntilUnpaused) {
  int channel = CueOneSecond();
  EXPECT_TRUE(Info(channel).paused);
  EXPECT_TRUE(audio->Playing(channel)) << "a cued sound has not finished";
  EXPECT_EQ(Mix(50), std::make_pair(0.0, 0.0));
  now += 3000;  // time passing while paused does not use the sound up
  EXPECT_TRUE(audio->Playing(channel));

  audio->SetPaused(channel, false);
  auto [left, right] = Mix(10);
  EXPECT_GT(left, 0.3);
  EXPECT_GT(right, 0.3);
  now += 980;  // 10 ms were mixed already
  EXPECT_TRUE(audio->Playing(channel));
  now += 10;
  EXPECT_FALSE(audio->Playing(channel));
  EXPECT_FALSE(Info(channel).playing);
  EXPECT_EQ(Mix(10), std::make_pair(0.0, 0.0));
}

TEST_F(MixerTest, RateScalesPlayingTime) {
  struct Case {
    double rate;
    int lastsMs;
  };
  for (Case c : {Case{1, 1000}, Case{2, 500}, Case{0.5, 2000}, Case{0.25, 4000}, Case{4, 250}}) {
    SCOPED_TRACE(c.rate);
    int channel = CueOneSecond();
    audio->SetRate(channel, c.rate);
    audio->SetPaused(channel, false);
    now += c.lastsMs - 1;
    EXPECT_TRUE(audio->Playing(channel));
    now += 1;
    EXPECT_FALSE(audio->Playing(channel));
  }
}

TEST_F(MixerTest, RateZeroIsSilentAndKeepsThePosition) {
  int channel = CueOneSecond();
  audio->SetPaused(channel, false);
  now += 400;
  audio->SetRate(channel, 0);
  EXPECT_EQ(Mix(20), std::make_pair(0.0, 0.0));
  now += 10000;
  EXPECT_TRUE(audio->Playing(channel));
  audio->SetRate(channel, 1);
  EXPECT_GT(Mix(10).first, 0.3);
  now += 589;
  EXPECT_TRUE(audio->Playing(channel));
  now += 1;
  EXPECT_FALSE(audio->Playing(channel));
}

TEST_F(MixerTest, PanIsConstantPowerAndScaledByVolume) {
  struct Case {
    double pan, volume;
    int channels;
    double left, right;
  };
  const double full = 0.5, centre = 0.5 * std::sqrt(0.5);
  for (Case c : {Case{-1, 1, 1, full, 0}, Case{1, 1, 1, 0, full}, Case{0, 1, 1, centre, centre},
                 Case{-1, 0.5, 1, full / 2, 0}, Case{-7, 1, 1, full, 0}, Case{0, 1, 2, full, full},
                 Case{1, 1, 2, 0, full}, Case{0, 3, 1, centre, centre}}) {
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << " volume " << c.volume << " channels " << c.channels);
    int channel = CueOneSecond(c.channels);
    audio->SetPan(channel, c.pan);
    audio->SetVolume(channel, c.volume);
    audio->SetPaused(channel, false);
    auto [left, right] = Mix(20);
    EXPECT_NEAR(left, c.left, 1e-3);
    EXPECT_NEAR(right, c.right, 1e-3);
    audio->Stop(channel);
  }
}

TEST_F(MixerTest, ChannelsAddUpAndMixingAdvancesPlayback) {
  int a = CueOneSecond(), b = CueOneSecond();
  audio->SetVolume(a, 0.5);
  audio->SetVolume(b, 0.5);
  audio->SetPan(a, -1);
  audio->SetPan(b, -1);
  audio->SetPaused(a, false);
  audio->SetPaused(b, false);
  EXPECT_NEAR(Mix(20).first, 0.5, 1e-3);
  Mix(980);
  EXPECT_FALSE(audio->Playing(a));
  EXPECT_FALSE(audio->Playing(b));
}

TEST_F(MixerTest, StopAndRecueOnTheSameChannel) {
  int channel = CueOneSecond();
  audio->SetPaused(channel, false);
  audio->Stop(channel);
  EXPECT_FALSE(audio->Playing(channel));
  audio->SetPaused(channel, false);  // a stopped channel does not start again by itself
  EXPECT_FALSE(audio->Playing(channel));

  int sound = audio->CreateSound(Square(2.0));
  audio->Cue(channel, sound);
  audio->SetPaused(channel, false);
  now += 1999;
  EXPECT_TRUE(audio->Playing(channel));
  EXPECT_EQ(Info(channel).sound, sound);
}

TEST_F(MixerTest, BadHandlesAndDataDoNothing) {
  EXPECT_EQ(audio->CreateSound(PcmData{}), 0);
  PcmData threeChannels = Square(0.1);
  threeChannels.channels = 3;
  EXPECT_EQ(audio->CreateSound(threeChannels), 0);
  for (int channel : {0, -1, 999}) {
    audio->Cue(channel, 1);
    audio->SetPaused(channel, false);
    audio->SetVolume(channel, 1);
    audio->Stop(channel);
    EXPECT_FALSE(audio->Playing(channel));
    EXPECT_EQ(Info(channel).sound, 0);
  }
  int channel = audio->AllocChannel();
  audio->Cue(channel, 12345);
  EXPECT_FALSE(audio->Playing(channel));

  // Freeing a sound while it plays leaves the channel safe to mix.
  int playing = CueOneSecond();
  audio->SetPaused(playing, false);
  audio->FreeSound(Info(playing).sound);
  Mix(2000);
  EXPECT_FALSE(audio->Playing(playing));
}

// Channels that are cut off, stopped or run out are reclaimed, so the records stay
// bounded over a million effects; one still sounding is never taken.
TEST(ChannelRecords, StayBoundedOverAMillionEffects) {
  plat::HeadlessBackend& hb = plat::UseHeadless();
  plat::PcmData pcm = Square(0.5);
  int sound = hb.Audio().CreateSound(pcm);
  ASSERT_NE(sound, 0);
  const plat::Channel held = plat::CueSound(sound);  // cued and held paused: still sounding
  plat::SetChannelVolume(held, 0.25);

  const int before = plat::LiveChannelCount();
  int highest = before;
  for (int i = 0; i < 1000000; ++i) {
    plat::Channel channel = plat::AllocChannel();
    plat::CueSound(sound, channel);
    plat::SetChannelPaused(channel, false);
    plat::StopChannel(channel);
    highest = std::max(highest, plat::LiveChannelCount());
  }
  // Played on fresh channels and left to run out, as the music's notes are.
  for (int i = 0; i < 20000; ++i) {
    plat::PlaySound(sound);
    if (i % 100 == 0) hb.AdvanceTime(600);
    highest = std::max(highest, plat::LiveChannelCount());
  }
  EXPECT_LE(highest, before + 1024 + 200);
  EXPECT_TRUE(plat::ChannelPlaying(held));
  EXPECT_DOUBLE_EQ(hb.ChannelInfo(held).volume, 0.25);
}

TEST(ChannelRecords, AReclaimedHandleIsSilentAndCanBeCuedAgain) {
  plat::HeadlessBackend& hb = plat::UseHeadless();
  int sound = hb.Audio().CreateSound(Square(1.0));
  const plat::Channel old = plat::PlaySound(sound);
  plat::SetChannelVolume(old, 0.5);
  plat::StopChannel(old);
  for (int i = 0; i < 5000; ++i) plat::StopChannel(plat::PlaySound(sound));  // old is reclaimed
  EXPECT_FALSE(plat::ChannelPlaying(old));
  plat::SetChannelVolume(old, 0.1);  // names nothing: no effect, no fault
  EXPECT_EQ(hb.ChannelInfo(old).sound, 0);

  // Cued again (as the effects' channel table does with a finished slot), it
  // plays afresh under the same handle, with default settings.
  EXPECT_EQ(plat::CueSound(sound, old), old);
  plat::SetChannelPaused(old, false);
  EXPECT_TRUE(plat::ChannelPlaying(old));
  EXPECT_DOUBLE_EQ(hb.ChannelInfo(old).volume, 1.0);
  EXPECT_EQ(hb.ChannelInfo(old).sound, sound);
  hb.AdvanceTime(1000);
  EXPECT_FALSE(plat::ChannelPlaying(old));
}

TEST(MixerWithoutDevice, HandsOutSoundsAndChannelsButPlaysNothing) {
  int64_t now = 0;
  auto audio = plat::MakeHeadlessAudio({"OpenAL"}, false, [&] { return now; });
  EXPECT_EQ(audio->DriverNames(), std::vector<std::string>{"OpenAL"});
  EXPECT_FALSE(audio->EnableOpenAL());
  EXPECT_FALSE(audio->SelectDriver("OpenAL"));
  int sound = audio->CreateSound(Square(1.0));
  int channel = audio->AllocChannel();
  EXPECT_NE(sound, 0);
  EXPECT_NE(channel, 0);
  audio->Cue(channel, sound);
  audio->SetPaused(channel, false);
  EXPECT_FALSE(audio->Playing(channel));
  EXPECT_EQ(plat::HeadlessMix(*audio, 20), std::make_pair(0.0, 0.0));
}

TEST(MixerDrivers, SelectsOnlyOfferedNamesAndRemembersTheChoice) {
  auto audio = plat::MakeHeadlessAudio({"OpenAL", "OpenAL Speakers"}, true, [] { return int64_t{0}; });
  EXPECT_EQ(plat::HeadlessSelectedDriver(*audio), "");
  EXPECT_TRUE(audio->SelectDriver("OpenAL Speakers"));
  EXPECT_FALSE(audio->SelectDriver("DirectSound"));
  EXPECT_EQ(plat::HeadlessSelectedDriver(*audio), "OpenAL Speakers");
  EXPECT_EQ(plat::HeadlessRequestedDriver(*audio), "DirectSound");
  EXPECT_TRUE(audio->EnableOpenAL());
}

TEST(MixerDrivers, TheBackendShowsWhatSetAudioDriverChose) {
  plat::HeadlessOptions options;
  options.audioDrivers = {"OpenAL", "OpenAL Headset"};
  plat::HeadlessBackend& hb = plat::UseHeadless(options);
  EXPECT_TRUE(plat::SetAudioDriver("OpenAL Headset"));
  EXPECT_EQ(hb.SelectedAudioDriver(), "OpenAL Headset");
  EXPECT_FALSE(plat::SetAudioDriver("OpenAL Gone"));
  EXPECT_EQ(hb.SelectedAudioDriver(), "OpenAL Headset");
  EXPECT_EQ(hb.RequestedAudioDriver(), "OpenAL Gone");

  options.audioDevice = false;
  plat::HeadlessBackend& silent = plat::UseHeadless(options);
  EXPECT_FALSE(plat::SetAudioDriver("OpenAL"));
  EXPECT_EQ(silent.SelectedAudioDriver(), "");
  EXPECT_EQ(silent.RequestedAudioDriver(), "OpenAL");
}

}  // namespace
