// WAV decoding: the layouts we play come out as 16-bit PCM, the rest is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/backend.h"
#include "platform/headless/headless.h"

namespace {

namespace fs = std::filesystem;

void Put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char(v >> 8 & 0xFF); }
void Put32(std::string& s, uint32_t v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

// A WAV file with one format chunk (format tag `tag`) and the given sample bytes.
std::string Wav(unsigned tag, int channels, int rate, int bits, const std::string& data) {
  std::string fmt;
  Put16(fmt, tag);
  Put16(fmt, channels);
  Put32(fmt, rate);
  Put32(fmt, rate * channels * bits / 8);
  Put16(fmt, channels * bits / 8);
  Put16(fmt, bits);
  std::string body = "WAVEfmt ";
  Put32(body, static_cast<uint32_t>(fmt.size()));
  body += fmt + "data";
  Put32(body, static_cast<uint32_t>(data.size()));
  body += data;
  if (data.size() % 2) body += '\0';
  std::string file = "RIFF";
  Put32(file, static_cast<uint32_t>(body.size()));
  return file + body;
}

std::string Samples16(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) Put16(s, static_cast<uint16_t>(v));
  return s;
}

std::string SamplesFloat(std::initializer_list<float> values) {
  std::string s;
  for (float v : values) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    Put32(s, bits);
  }
  return s;
}

class WavTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(PUFFWICK_BINARY_DIR) / "test_audio_wav";
    fs::create_directories(dir);
    plat::SetNoticeSink([this](const std::string& text) { notices.push_back(text); });
  }
  void TearDown() override { plat::SetNoticeSink(nullptr); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  fs::path dir;
  std::vector<std::string> notices;
};

TEST_F(WavTest, DecodesPlayableLayoutsTo16Bit) {
  struct Case {
    const char* name;
    std::string file;
    int channels;
    std::vector<int> samples;
  };
  const std::vector<Case> cases = {
      {"u8.wav", Wav(1, 1, 22050, 8, std::string("\x80\xff\x00\x40", 4)), 1, {0, 32512, -32768, -16384}},
      {"mono16.wav", Wav(1, 1, 22050, 16, Samples16({0, 1000, -1000, 32767})), 1, {0, 1000, -1000, 32767}},
      {"stereo16.wav", Wav(1, 2, 22050, 16, Samples16({100, -100, 200, -200})), 2, {100, -100, 200, -200}},
      {"float.wav", Wav(3, 1, 22050, 32, SamplesFloat({0.0f, 0.5f, -1.0f})), 1, {0, 16384, -32768}},
      {"s32.wav", Wav(1, 1, 22050, 32, std::string("\0\0\0\x40\0\0\0\xc0", 8)), 1,
       {16384, -16384}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::PcmData pcm;
    ASSERT_TRUE(plat::DecodeWav(Write(c.name, c.file), pcm));
    EXPECT_EQ(pcm.rate, 22050);
    EXPECT_EQ(pcm.channels, c.channels);
    ASSERT_EQ(pcm.samples.size(), c.samples.size());
    for (size_t i = 0; i < c.samples.size(); ++i) EXPECT_NEAR(pcm.samples[i], c.samples[i], 2) << i;
  }
  EXPECT_TRUE(notices.empty());
}

TEST_F(WavTest, FoldsMoreThanTwoChannelsToStereo) {
  // Three frames: a loud one with front left up and front right down, a louder
  // one, then silence; every other channel is silent.
  for (int channels : {3, 4, 6, 8}) {
    SCOPED_TRACE(channels);
    std::string data;
    for (int frame : {1, 2, 0}) {
      for (int c = 0; c < channels; ++c) Put16(data, c == 0 ? 1000 * frame : c == 1 ? -1000 * frame : 0);
    }
    plat::PcmData pcm;
    ASSERT_TRUE(plat::DecodeWav(Write("multi.wav", Wav(1, channels, 11025, 16, data)), pcm));
    EXPECT_EQ(pcm.channels, 2);
    ASSERT_EQ(pcm.samples.size(), 6u);
    EXPECT_GT(pcm.samples[0], 0);
    EXPECT_LT(pcm.samples[1], 0);
    EXPECT_GT(pcm.samples[2], pcm.samples[0]);
    EXPECT_EQ(pcm.samples[4], 0);
  }
}

TEST_F(WavTest, RefusesBrokenFilesWithoutDecoding) {
  std::string good = Wav(1, 1, 8000, 16, Samples16({1, 2, 3, 4, 5, 6, 7, 8}));
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.wav", ""},
      {"text.wav", "This is not a sound at all, just some words in a file.\n"},
      {"header-only.wav", good.substr(0, 20)},
      {"truncated.wav", good.substr(0, good.size() - 5)},
      {"no-samples.wav", Wav(1, 1, 8000, 16, "")},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    plat::PcmData pcm;
    pcm.samples = {42};
    EXPECT_FALSE(plat::DecodeWav(Write(name, bytes), pcm));
    EXPECT_EQ(pcm.samples, std::vector<int16_t>{42}) << "output untouched";
  }
  plat::PcmData pcm;
  EXPECT_FALSE(plat::DecodeWav((dir / "missing.wav").string(), pcm));
  EXPECT_FALSE(plat::DecodeWav(dir.string(), pcm));  // a folder
}

// A header may claim any size; the file is measured before anything is read or
// allocated for it (a 44-byte file claiming 4 GB of samples used to allocate them).
TEST_F(WavTest, ChunksClaimingMoreThanTheFileHoldsAreRefused) {
  std::string empty = Wav(1, 1, 8000, 16, "");  // 44 bytes
  std::string hugeData = empty;
  hugeData.replace(40, 4, "\xF0\xFF\xFF\xFF");
  std::string hugeFmt = Wav(1, 1, 8000, 16, Samples16({1, 2, 3, 4, 5, 6, 7, 8}));
  hugeFmt.replace(16, 4, "\x00\x00\x00\x7F");
  std::string list = "LIST";
  Put32(list, 0x40000000);
  list += "INFO";
  std::string hugeOther = Wav(1, 1, 8000, 16, Samples16({1, 2}));
  hugeOther.insert(12, list);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"claims-4gb-data.wav", hugeData},
      {"claims-2gb-fmt.wav", hugeFmt},
      {"claims-1gb-list.wav", hugeOther},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    notices.clear();
    plat::PcmData pcm;
    EXPECT_FALSE(plat::DecodeWav(Write(name, bytes), pcm));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("Could not read sound file " + (dir / name).string()), std::string::npos)
        << notices[0];
    EXPECT_NE(notices[0].find("more than the file holds"), std::string::npos) << notices[0];
  }
  // A missing pad byte after an odd-sized last chunk is no overrun.
  std::string odd = Wav(1, 1, 8000, 8, std::string(3, '\x90'));
  odd.pop_back();
  plat::PcmData pcm;
  EXPECT_TRUE(plat::DecodeWav(Write("odd.wav", odd), pcm));
  EXPECT_EQ(pcm.samples.size(), 3u);
}

// An empty data chunk gives no sample buffer at all; it is a sound with nothing
// to play, so none, with the usual notice.
TEST_F(WavTest, AnEmptyDataChunkIsNoSound) {
  plat::PcmData pcm;
  EXPECT_FALSE(plat::DecodeWav(Write("no-samples.wav", Wav(1, 2, 22050, 16, "")), pcm));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("no samples"), std::string::npos) << notices[0];
  plat::UseHeadless();
  EXPECT_EQ(plat::LoadSound((dir / "no-samples.wav").string()), 0);
}

TEST_F(WavTest, UnsupportedEncodingsGiveOneNoticeNamingTheFile) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"pcm24.wav", Wav(1, 1, 8000, 24, std::string(12, '\x10'))},
      {"mulaw.wav", Wav(7, 1, 8000, 8, std::string(8, '\x10'))},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    notices.clear();
    plat::PcmData pcm;
    EXPECT_FALSE(plat::DecodeWav(Write(name, bytes), pcm));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(name), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find("unsupported"), std::string::npos) << notices[0];
  }
}

TEST_F(WavTest, LoadSoundGivesNoneForFilesItCannotPlay) {
  plat::UseHeadless();
  EXPECT_NE(plat::LoadSound(Write("ok.wav", Wav(1, 1, 8000, 16, Samples16({1, 2, 3})))), 0);
  EXPECT_EQ(plat::LoadSound(Write("bad.wav", "RIFF")), 0);
  EXPECT_EQ(plat::LoadSound((dir / "missing.wav").string()), 0);
}

}  // namespace
