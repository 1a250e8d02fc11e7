#include "openal_fixture.h"

namespace {

TEST_F(OpenALTest, NamesTheDefaultOutputFirst) {
  auto names = audio->DriverNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names[0], "OpenAL");
  EXPECT_LE(names.size(), 100u);
  EXPECT_FALSE(audio->SelectDriver("FreeAudio")) << "a name it does not offer";
  EXPECT_EQ(audio->SelectDriver("OpenAL"), device);
}

TEST_F(OpenALTest, ChannelLifecycle) {
  int sound = audio->CreateSound(Silence());
  int channel = audio->AllocChannel();
  ASSERT_NE(sound, 0);
  ASSERT_NE(channel, 0);
  audio->Cue(channel, sound);
  audio->SetVolume(channel, 0.5);
  audio->SetPan(channel, -1);
  audio->SetDepth(channel, 3);
  audio->SetRate(channel, 9);
  EXPECT_EQ(audio->Playing(channel), device) << "cued and paused still counts";
  audio->SetPaused(channel, false);
  EXPECT_EQ(audio->Playing(channel), device);
  audio->SetRate(channel, 0);
  EXPECT_EQ(audio->Playing(channel), device) << "rate 0 holds the sound";
  audio->SetRate(channel, 1);
  audio->Stop(channel);
  EXPECT_FALSE(audio->Playing(channel));
  audio->SetPaused(channel, false);
  EXPECT_FALSE(audio->Playing(channel)) << "a stopped channel stays stopped";

  int stereo = audio->CreateSound(Silence(2));
  ASSERT_NE(stereo, 0);
  audio->Cue(channel, stereo);
  audio->SetPan(channel, 1);
  audio->SetPaused(channel, false);
  EXPECT_EQ(audio->Playing(channel), device);
  audio->FreeSound(stereo);  // while playing
  EXPECT_FALSE(audio->Playing(channel));

  if (!device) {
    ASSERT_EQ(notices.size(), 1u) << "the missing device is reported once";
  }
}

TEST_F(OpenALTest, MoreChannelsThanSourcesTakeBackTheOldest) {
  int sound = audio->CreateSound(Silence());
  std::vector<int> channels;
  for (int i = 0; i < 500; ++i) {
    int channel = audio->AllocChannel();
    ASSERT_NE(channel, 0);
    audio->Cue(channel, sound);
    audio->SetPaused(channel, false);
    channels.push_back(channel);
  }
  EXPECT_EQ(audio->Playing(channels.back()), device);
  if (device) {
    EXPECT_FALSE(audio->Playing(channels.front())) << "the oldest gave its source up";
    int playing = 0;
    for (int channel : channels) playing += audio->Playing(channel);
    EXPECT_GE(playing, 260) << "the program's whole channel table can sound at once";
  }
  // Stopped channels, abandoned by their callers, are reclaimed.
  for (int i = 0; i < 20000; ++i) {
    int channel = audio->AllocChannel();
    audio->Cue(channel, sound);
    audio->Stop(channel);
  }
  EXPECT_LE(audio->LiveChannels(), 500 + 1024 + 1);
  EXPECT_EQ(audio->Playing(channels.back()), device) << "a sounding channel is not taken";

  EXPECT_EQ(audio->CreateSound(plat::PcmData{}), 0);
  for (int bad : {0, -3, 100000}) {
    audio->Cue(bad, sound);
    audio->SetPaused(bad, false);
    EXPECT_FALSE(audio->Playing(bad));
  }
}

// On a machine without sound ALSA used to print a screen of "ALSA lib ..." errors
// before the game started; the log's one line says it all.

}  // namespace
