// Against a real leaderboard server, when one is named (PUFFWICK_LEADERBOARD_URL,
// e.g. http://127.0.0.1:18400 with a puffwick-server listening there): this
// target's sender posts a golden replay and the server, having played it, takes it.
// Left out when none is named, as in CI.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/net.h"

namespace {

TEST(LeaderboardPost, AGoldenReplayIsTakenByTheServer) {
  const char* url = std::getenv("PUFFWICK_LEADERBOARD_URL");
  if (!url || !*url) GTEST_SKIP() << "no server named in PUFFWICK_LEADERBOARD_URL";
  std::ifstream in(PUFFWICK_SOURCE_DIR "/games/puffwick-loopery/tests/replays/medium.txt", std::ios::binary);
  const std::string replay{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(replay.empty());
  const int ticket = plat::StartPost(std::string(url) + "/api/v1/replays", replay);
  // The server plays the whole game before it answers.
  for (int i = 0; i < 4000; ++i) {
    for (const plat::PostAnswer& a : plat::TakeAnswers()) {
      if (a.ticket != ticket) continue;
      EXPECT_TRUE(a.status == 201 || a.status == 200) << a.status << " " << a.body;  // 200: it had it already
      EXPECT_NE(a.body.find("\"rank\":"), std::string::npos) << a.body;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  FAIL() << "no answer within 40 s";
}

}  // namespace
