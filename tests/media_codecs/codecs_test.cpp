// The codecs on bytes alone, with no platform started: what the file front-ends
// (tests/platform_gfx, tests/audio) rely on, and the kinds of WAV refusal they
// turn into notices.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/png.h"
#include "media/wav.h"

namespace {

using plat::media::WavError;

TEST(PngCodecTest, RoundTripIsExactAndDamageIsRefused) {
  const int w = 3, h = 2;
  std::vector<uint8_t> rgba(w * h * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 37 + 5);
  std::string png;
  ASSERT_TRUE(plat::media::EncodePng(rgba.data(), w, h, 9, png));
  const auto* bytes = reinterpret_cast<const uint8_t*>(png.data());
  int gw = 0, gh = 0;
  std::vector<uint8_t> back;
  ASSERT_TRUE(plat::media::DecodePng(bytes, png.size(), gw, gh, back));
  EXPECT_EQ(gw, w);
  EXPECT_EQ(gh, h);
  EXPECT_EQ(back, rgba);

  std::string flipped = png;
  flipped[flipped.size() / 2] ^= 0x55;  // inside the compressed pixels
  const std::vector<std::string> broken = {"", png.substr(0, 8), png.substr(0, png.size() / 2), flipped,
                                           "GIF89a not a png at all"};
  for (const std::string& file : broken) {
    std::vector<uint8_t> out;
    EXPECT_FALSE(plat::media::DecodePng(reinterpret_cast<const uint8_t*>(file.data()), file.size(), gw, gh, out))
        << file.size() << " bytes";
  }
}

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string Wav(int tag, int channels, int rate, int bits, const std::string& data) {
  const int align = channels * bits / 8;
  std::string fmt = Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) + Le(bits, 2);
  std::string body = "WAVE" + std::string("fmt ") + Le(16, 4) + fmt + "data" + Le(data.size(), 4) + data;
  return "RIFF" + Le(body.size(), 4) + body;
}

WavError Decode(const std::string& file, plat::media::PcmData& pcm, std::string* why = nullptr) {
  return plat::media::DecodeWav(reinterpret_cast<const uint8_t*>(file.data()), file.size(), pcm, why);
}

TEST(WavCodecTest, DecodesPcmTo16Bit) {
  plat::media::PcmData pcm;
  ASSERT_EQ(Decode(Wav(1, 2, 22050, 16, Le(0x1234, 2) + Le(0xFF00, 2)), pcm), WavError::kNone);
  EXPECT_EQ(pcm.rate, 22050);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0x1234, static_cast<int16_t>(0xFF00)}));
}

TEST(WavCodecTest, RefusalsSayWhatKindAndLeaveTheOutputAlone) {
  const std::string good = Wav(1, 1, 8000, 16, Le(1, 2) + Le(2, 2));
  struct Case {
    const char* what;
    std::string file;
    WavError error;
  };
  const Case cases[] = {
      {"not a WAV file", "hello, not a sound", WavError::kUnreadable},
      {"cut short", good.substr(0, good.size() - 3), WavError::kUnreadable},
      {"A-law", Wav(6, 1, 8000, 8, "abcd"), WavError::kUnsupported},
      {"24-bit PCM", Wav(1, 1, 8000, 24, "abcdef"), WavError::kUnsupported},
      {"empty data chunk", Wav(1, 1, 8000, 16, ""), WavError::kNoSamples},
  };
  for (const Case& c : cases) {
    plat::media::PcmData pcm;
    pcm.rate = 1234;
    std::string why;
    EXPECT_EQ(Decode(c.file, pcm, &why), c.error) << c.what;
    EXPECT_EQ(pcm.rate, 1234) << c.what;
    if (c.error != WavError::kNoSamples) {
      EXPECT_FALSE(why.empty()) << c.what;
    }
  }
  std::string overrun = good;
  overrun.replace(40, 4, Le(1 << 30, 4));  // the data chunk claims a gigabyte
  plat::media::PcmData pcm;
  std::string why;
  EXPECT_EQ(Decode(overrun, pcm, &why), WavError::kUnreadable);
  EXPECT_NE(why.find("more than the file holds"), std::string::npos) << why;
}

}  // namespace
