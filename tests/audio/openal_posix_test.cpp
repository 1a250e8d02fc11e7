// The openal tests of what only Linux has: child processes, signals, permission
// bits, links.
#include <alsa/asoundlib.h>

#include "openal_fixture.h"

namespace {

// Linux names every output through the library's own device list.
TEST_F(OpenALTest, NamesOnlyTheLibrarysDevices) {
  for (const std::string& name : audio->DriverNames()) EXPECT_EQ(name.rfind("OpenAL", 0), 0u) << name;
  EXPECT_FALSE(audio->SelectDriver("DirectSound"));
}

TEST(AlsaErrors, StayOffTheTerminal) {
  if (const char* level = std::getenv("ALSOFT_LOGLEVEL"); level && std::atoi(level) > 0) {
    GTEST_SKIP() << "ALSOFT_LOGLEVEL asks for the sound libraries' own diagnostics";
  }
  auto audio = plat::MakeOpenALAudio();
  testing::internal::CaptureStderr();
  snd_pcm_t* pcm = nullptr;
  int rc = snd_pcm_open(&pcm, "puffwick_no_such_device", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
  std::string printed = testing::internal::GetCapturedStderr();
  if (pcm) snd_pcm_close(pcm);
  EXPECT_LT(rc, 0);
  EXPECT_EQ(printed.find("ALSA lib"), std::string::npos) << printed;
}

}  // namespace
