// The fixture of the openal tests, shared with their Linux-only part.
#pragma once

// The OpenAL driver on whatever this machine has: a real device, OpenAL Soft's
// null output (ALSOFT_DRIVERS=null, see tests.cmake), or no device at all. Every
// sample is silence, so nothing is heard on a machine with speakers.
#include <gtest/gtest.h>


#include <cstdlib>
#include <string>

#include "platform/backend.h"

inline plat::PcmData Silence(int channels = 1) {
  plat::PcmData pcm;
  pcm.rate = 8000;
  pcm.channels = channels;
  pcm.samples.assign(static_cast<size_t>(30 * pcm.rate * channels), 0);  // 30 s: outlasts any test
  return pcm;
}

class OpenALTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetNoticeSink([this](const std::string& text) { notices.push_back(text); });
    audio = plat::MakeOpenALAudio();
    ASSERT_NE(audio, nullptr);
    device = audio->EnableOpenAL();
    if (const char* expect = std::getenv("PUFFWICK_EXPECT_AL_DEVICE")) {
      ASSERT_EQ(device, *expect == '1');
    }
  }
  void TearDown() override {
    audio.reset();
    plat::SetNoticeSink(nullptr);
  }

  std::unique_ptr<plat::AudioDriver> audio;
  bool device = false;
  std::vector<std::string> notices;
};
