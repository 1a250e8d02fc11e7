// The outputs Windows offers by name: DirectSound is OpenAL Soft held to its
// DirectSound back end, which the library picks once, at its first call.
#include <cstring>

#include "openal_fixture.h"

namespace {

TEST_F(OpenALTest, OffersDirectSoundBesideTheLibrarysOwnChoice) {
  EXPECT_EQ(audio->DriverNames(), (std::vector<std::string>{"OpenAL", "DirectSound"}));
  // The fixture has started the library on its own choice: too late to hold it.
  notices.clear();
  EXPECT_FALSE(audio->SelectDriver("DirectSound"));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "Audio driver DirectSound can only be chosen at start");
}

// Registered in tests.cmake to run alone in a fresh process.
TEST(DirectSoundAtStart, HoldsTheLibraryToItsDirectSoundBackEnd) {
  if (!std::getenv("PUFFWICK_FRESH_OPENAL")) GTEST_SKIP() << "needs a process that has not started the library";
  std::vector<std::string> notices;
  plat::SetNoticeSink([&](const std::string& text) { notices.push_back(text); });
  auto audio = plat::MakeOpenALAudio();
  ASSERT_EQ(audio->DriverNames(), (std::vector<std::string>{"OpenAL", "DirectSound"}));
  // With no sound card (Wine in CI) the device may not open; it must say so.
  const bool opened = audio->SelectDriver("DirectSound");
  ASSERT_NE(std::getenv("ALSOFT_DRIVERS"), nullptr);
  EXPECT_STREQ(std::getenv("ALSOFT_DRIVERS"), "dsound");
  if (!opened) {
    EXPECT_EQ(notices, (std::vector<std::string>{"Could not open sound device DirectSound"}));
  }
  EXPECT_EQ(audio->SelectDriver("DirectSound"), opened) << "chosen again: the same answer";
  audio.reset();
  plat::SetNoticeSink(nullptr);
}

}  // namespace
