// The music player on the headless machine's virtual clock and in-memory mixer.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "music_fixture.h"

namespace {

class PlayerTest : public MusicTest {
 protected:
  void SetUp() override {
    MusicTest::SetUp();
    WriteAllSamples();
  }
  void Start(const std::string& text, int seed = 11, int pairLength = 250) {
    WriteSong("t", text);
    StartSong("t", seed, pairLength);
    ASSERT_EQ(Audio.SongPlaying, 1);
  }
};

// Every part has a note on every step.
const char* const kBusySong =
    "[DRUMS]\nSTRETCH=FALSE\n\"1\"\n[CHORDS]\n\"qqqqqqqq\"\n[BASS]\nSTRETCH=FALSE\n\"q\"\n"
    "[MELODY]\nSTRETCH=FALSE\n\"q\"\n[ACCOMPANY]\nSTRETCH=FALSE\n\"q\"\n";

TEST_F(PlayerTest, StepsEvery125MsAfterAQuarterSecond) {
  Start(kBusySong);
  EXPECT_EQ(Audio.StepIndex, -1);
  machine_->AdvanceTime(250);
  UpdateSong();
  EXPECT_EQ(Audio.StepIndex, -1) << "nothing sounds until 250 ms have passed";
  EXPECT_EQ(Audio.ChannelTable[0], 0);
  std::vector<int> stepTimes;
  for (int i = 0; i < 4; ++i) {
    NextStep();
    stepTimes.push_back(Elapsed());
  }
  EXPECT_EQ(stepTimes, (std::vector<int>{251, 376, 501, 626}));
}

TEST_F(PlayerTest, TakesOneStepPerCallAndKeepsTheTempo) {
  Start(kBusySong);
  machine_->AdvanceTime(1250);  // a stall: eight steps are due
  UpdateSong();
  EXPECT_EQ(Audio.StepIndex, 0) << "one step per call";
  for (int i = 0; i < 7; ++i) UpdateSong();
  EXPECT_EQ(Audio.StepIndex, 7);
  UpdateSong();
  EXPECT_EQ(Audio.StepIndex, 7) << "caught up";

  // Uneven frames do not let the schedule drift: 64 s hold exactly 512 steps.
  std::mt19937 gen(1);
  while (Elapsed() < 64000) {
    machine_->AdvanceTime(10 + static_cast<int>(gen() % 25));
    UpdateSong();
  }
  machine_->AdvanceTime(64250 - Elapsed());
  for (int i = 0; i < 5; ++i) UpdateSong();
  EXPECT_EQ(Audio.BlockCounter * 64 + Audio.StepIndex + 1, 512);
}

TEST_F(PlayerTest, GridIsTheSameWhateverTheTimingAndOtherRandomUse) {
  const std::string song =
      "[DRUMS]\n\"1030\"\n\"1234\"\n\"5\"\n[CHORDS]\n\"qwer\"\n\"qwerty\"\n\"qqwwqqww\"\n"
      "[BASS]\nSTRETCH=RANDOM\n\"q e\"\n\"t\"\n[MELODY]\nSTRETCH=RANDOM+\n\"qwe\"\n\"rty\"\n"
      "[ACCOMPANY]\n\"i\"\n\"o\"\n";
  auto record = [&](bool uneven) {
    Start(song, 42);
    std::mt19937 gen(uneven ? 9 : 0);
    std::vector<std::vector<double>> blocks;
    int lastBlock = -1;
    while (Audio.BlockCounter < 12) {
      if (Audio.BlockCounter != lastBlock) {
        lastBlock = Audio.BlockCounter;
        blocks.emplace_back(Audio.StepGrid, Audio.StepGrid + 1300);
      }
      machine_->AdvanceTime(uneven ? 1 + static_cast<int>(gen() % 60) : 1);
      // Other users of the shared generator between frames.
      if (uneven) for (unsigned i = gen() % 5; i > 0; --i) plat::Rand(1, 6);
      UpdateSong();
    }
    StopSong();
    return blocks;
  };
  const auto steady = record(false);
  const auto uneven = record(true);
  ASSERT_EQ(steady.size(), 12u);
  EXPECT_EQ(steady, uneven);
}

TEST_F(PlayerTest, PartsPlayTheirSamplesWithPanRateAndVolume) {
  Start("[DRUMS]\nSTRETCH=FALSE\n\"3\"\n[CHORDS]\n\"wwww\"\n[BASS]\nSTRETCH=FALSE\n\"e\"\n"
        "[MELODY]\nSTRETCH=FALSE\n\"r\"\n[ACCOMPANY]\nSTRETCH=FALSE\n\"t\"\n");
  PlayAllParts();
  NextStep();
  struct Expect {
    int entry;
    double pan, rate, volume;
  };
  const Expect expected[5] = {{3, 0.3, 1, 0.5},
                              {13, -0.3, 1, 0.5},
                              {20 + Audio.SampleChoice[1], -0.3, 1.26 * 1.122, 0.5},
                              {30 + Audio.SampleChoice[2], 0, 1.335 * 1.122, 0.5},
                              {40 + Audio.SampleChoice[3], 0.3, 1.498 * 1.122, 0.25}};
  for (int p = 0; p < kPartCount; ++p) {
    SCOPED_TRACE(p);
    const plat::MixerChannelInfo info = Slot(p);
    EXPECT_EQ(info.sound, Audio.MusicSamples[expected[p].entry]);
    EXPECT_TRUE(info.playing);
    EXPECT_FALSE(info.paused);
    EXPECT_DOUBLE_EQ(info.pan, expected[p].pan);
    EXPECT_DOUBLE_EQ(info.rate, expected[p].rate);
    EXPECT_DOUBLE_EQ(info.volume, expected[p].volume);
  }
  SetSongPan(-0.8);
  NextStep();
  EXPECT_DOUBLE_EQ(Slot(0).pan, -0.8);
  EXPECT_DOUBLE_EQ(Slot(2).pan, 0.8);

  Core.Settings[slot::musicVolume] = 0;
  NextStep();
  EXPECT_TRUE(Slot(0).playing) << "notes are still triggered at volume 0";
  EXPECT_EQ(Slot(0).volume, 0);
}

TEST_F(PlayerTest, ANoteCutsThePartsPreviousNoteAndRestsDoNot) {
  Start("[DRUMS]\nSTRETCH=FALSE\n\"19\"\n[CHORDS]\n\"qqqq\"\n[BASS]\nSTRETCH=FALSE\n\"q\"\n");
  PlayAllParts();
  NextStep();
  const plat::Channel firstBass = Audio.ChannelTable[kBassPart], drum = Audio.ChannelTable[kDrumKit1];
  EXPECT_EQ(Slot(kDrumKit1).sound, Audio.MusicSamples[1]);
  NextStep();
  EXPECT_NE(Audio.ChannelTable[kBassPart], firstBass);
  EXPECT_FALSE(machine_->ChannelInfo(firstBass).playing) << "the second bass note cut the first";
  EXPECT_TRUE(Slot(kBassPart).playing);
  EXPECT_EQ(Audio.ChannelTable[kDrumKit1], drum) << "digit 9 plays nothing";
  EXPECT_TRUE(machine_->ChannelInfo(drum).playing) << "a silent step leaves the last note ringing";
}

TEST_F(PlayerTest, DrumTextPlaysSampleOneSilenceSilenceSampleEight) {
  Start("[DRUMS]\nSTRETCH=FALSE\n\"1098\"\n[CHORDS]\n\"qqqq\"\n");
  Audio.PartMuted[kDrumKit1] = 0;
  std::vector<int> played;
  for (int i = 0; i < 4; ++i) {
    const plat::Channel before = Audio.ChannelTable[kDrumKit1];
    NextStep();
    played.push_back(Audio.ChannelTable[kDrumKit1] != before ? Slot(kDrumKit1).sound : 0);
  }
  EXPECT_EQ(played, (std::vector<int>{Audio.MusicSamples[1], 0, 0, Audio.MusicSamples[8]}));
}

// A part resting now but playing in the next section comes in early at the end of
// the progression: from step 48 of the last block with lead-in 1, from step 56 with 2.
TEST_F(PlayerTest, RestingPartsLeadIntoTheNextSection) {
  struct Case {
    const char* chords;
    int nextMuted, leadIn;
    int firstStep;  // of the section's last block; -1 never
  };
  const Case cases[] = {{"qqqqqqqq", 0, 1, 48}, {"qqqqqqqq", 0, 2, 56}, {"qqqqqqqq", 1, 1, -1},
                        {"qqqq", 0, 1, 48},     {"qqqqqq", 0, 1, -1},   {"qqqqqq", 0, 2, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.chords) + " next " + std::to_string(c.nextMuted) + " lead-in " +
                 std::to_string(c.leadIn));
    Start(std::string(kBusySong).replace(std::string(kBusySong).find("qqqqqqqq"), 8, c.chords));
    for (int p : {kDrumKit2, kMelodyPart}) {
      Audio.PartMuted[p] = 1;
      Audio.NextMuted[p] = c.nextMuted;
      Audio.LeadIn[p] = c.leadIn;
    }
    const int lastBlock = static_cast<int>(Audio.ChordLine.size()) / 4;
    int first[2] = {-1, -1}, notes[2] = {0, 0};
    plat::Channel before[2] = {0, 0};
    while (Audio.BlockCounter < lastBlock - 1 || Audio.StepIndex < 63) {
      NextStep();
      for (int i = 0; i < 2; ++i) {
        const int p = i == 0 ? kDrumKit2 : kMelodyPart;
        if (Audio.ChannelTable[p] && first[i] < 0) {
          EXPECT_EQ(Audio.BlockNumber, lastBlock);
          first[i] = Audio.StepIndex;
        }
        // Each note takes a fresh channel: count the steps that started one.
        notes[i] += Audio.ChannelTable[p] != before[i];
        before[i] = Audio.ChannelTable[p];
      }
    }
    EXPECT_EQ(first[0], c.firstStep) << "drum kit 2";
    EXPECT_EQ(first[1], c.firstStep) << "melody";
    // Once in, a part plays on every step to the end of the section (56..63 too).
    const int expected = c.firstStep < 0 ? 0 : 64 - c.firstStep;
    EXPECT_EQ(notes[0], expected) << "drum kit 2";
    EXPECT_EQ(notes[1], expected) << "melody";
    StopSong();
  }
}

TEST_F(PlayerTest, ChordOutsideTheNoteTableSilencesMelodicParts) {
  Start("[DRUMS]\nSTRETCH=FALSE\n\"1\"\n[CHORDS]\n\"qaqq\"\n[BASS]\nSTRETCH=FALSE\n\"q\"\n"
        "[MELODY]\nSTRETCH=FALSE\n\"q\"\n[ACCOMPANY]\nSTRETCH=FALSE\n\"q\"\n");
  PlayAllParts();
  while (Audio.StepIndex < 15) NextStep();
  const plat::Channel bass = Audio.ChannelTable[kBassPart];
  ASSERT_TRUE(machine_->ChannelInfo(bass).playing);
  NextStep();  // step 16: chord letter a
  EXPECT_FALSE(machine_->ChannelInfo(bass).playing) << "the silent note still cuts the previous one";
  for (int p = kBassPart; p <= kAccompanyPart; ++p) EXPECT_EQ(Audio.ChannelTable[p], 0) << p;
  EXPECT_TRUE(Slot(kDrumKit1).playing);
  const auto [left, right] = machine_->MixLevels(20);
  EXPECT_NEAR(left, right, 0.2) << "only the drums, near the centre";
}

TEST_F(PlayerTest, MissingMelodicSamplesStaySilent) {
  // No bass files at all, a gap below the highest melody sample.
  for (int n = 1; n <= 8; ++n) {
    std::filesystem::remove(At(MusicSamplePath(20 + n)));
    std::filesystem::remove(At(MusicSamplePath(30 + n)));
  }
  WriteBytes(MusicSamplePath(33), SquareWav(1));
  for (int& c : Audio.SampleCount) c = 0;
  LoadMusicSamples();
  ASSERT_EQ(Audio.SampleCount[1], 0);
  ASSERT_EQ(Audio.SampleCount[2], 3);
  for (int seed = 1; seed <= 6; ++seed) {
    Start(kBusySong, seed);
    PlayAllParts();
    NextStep();
    EXPECT_EQ(Audio.ChannelTable[kBassPart], 0);
    EXPECT_EQ(Audio.ChannelTable[kMelodyPart] != 0, Audio.SampleChoice[2] == 3) << "sample " << Audio.SampleChoice[2];
    StopSong();
  }
}

TEST_F(PlayerTest, StopSongSilencesTheMusicChannels) {
  Start(kBusySong);
  PlayAllParts();
  for (int i = 0; i < 3; ++i) NextStep();
  std::vector<plat::Channel> playing;
  for (int p = 0; p < kPartCount; ++p) playing.push_back(Audio.ChannelTable[p]);
  const plat::Channel effect = Audio.ChannelTable[kFirstSfxSlot] = plat::PlaySound(Audio.MusicSamples[1]);
  StopSong();
  EXPECT_EQ(Audio.SongPlaying, 0);
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(Audio.ChannelTable[slot], 0) << slot;
  for (plat::Channel c : playing) EXPECT_FALSE(machine_->ChannelInfo(c).playing);
  EXPECT_TRUE(machine_->ChannelInfo(effect).playing) << "effects are not music";
  plat::StopChannel(effect);

  const int step = Audio.StepIndex;
  for (int i = 0; i < 1000; ++i) {
    machine_->AdvanceTime(1);
    UpdateSong();
  }
  EXPECT_EQ(Audio.StepIndex, step);
  EXPECT_EQ(machine_->MixLevels(50), std::make_pair(0.0, 0.0));
}

TEST_F(PlayerTest, BrokenDefinitionsPlayWithoutFault) {
  std::mt19937 gen(5);
  std::string noise = "[DRUMS]\n\"";
  for (int i = 0; i < 50000; ++i) noise.push_back(static_cast<char>(gen() & 0xFF));
  std::string many = "[CHORDS]\n";
  for (int i = 0; i < 100000; ++i) many += "\"" + std::string(1, "qa]z"[i % 4]) + "\"\n";
  const std::string megabyte(1 << 20, 'w');
  const std::string texts[] = {
      "",
      "[SONG]\n\"123\"\n",
      "[DRUMS]\n\"\"\n[CHORDS]\n\"\"\n[BASS]\n\"\"\n[MELODY]\n\"\"\n[ACCOMPANY]\n\"\"\n",
      std::string("[DRUMS]\n\"1\0 2\"\n[CHORDS]\n\"q\0w\"\n", 28),
      noise,
      many + "[DRUMS]\n\"12\"\n[MELODY]\n\"q\"\n",
      "[CHORDS]\n\"" + megabyte + "\"\n[MELODY]\nSTRETCH=DOUBLE\n\"" + megabyte + "\"\n[DRUMS]\n\"1\"\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 20));
    Start(text);
    for (int i = 0; i < 200; ++i) NextStep();
    EXPECT_EQ(Audio.SongPlaying, 1);
    StopSong();
  }
}

}  // namespace
