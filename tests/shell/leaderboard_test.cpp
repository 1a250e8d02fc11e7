// The game's side of the leaderboard: the replay goes to the server named, the
// answer becomes a message on a later frame, and a replay the server never heard
// of is listed and sent again, once, at the next start.
#include <chrono>
#include <thread>

#include "config/config_state.h"
#include "config/settings.h"
#include "core/log.h"
#include "platform/net.h"
#include "shell/leaderboard.h"
#include "shell/shell_state.h"
#include "testkit/http_server.h"
#include "testkit/scratch.h"

namespace {

using testnet::TinyHttpServer;

const std::string kReplay = "puffwick-replay 1\ndifficulty 1\nframes\n.\nend score 5 frames 0\n";

// Frames until a message shows (or fifteen seconds: a loaded machine under Wine).
std::string NextMessage() {
  for (int i = 0; i < 1500 && Core.MessageList.empty(); ++i) {
    CollectLeaderboardAnswers();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Core.MessageList.empty() ? std::string() : Core.MessageList.back().txt;
}

using LeaderboardTest = ScratchTest;

TEST_F(LeaderboardTest, TheServersRankShowsAsAMessage) {
  TinyHttpServer server(201, "{\"id\":7,\"rank\":12,\"of\":340}");
  Shell.LeaderboardOverride = server.Url();
  MakeDir("replays");
  SendToLeaderboard(kReplay, "replays/100.txt");
  EXPECT_EQ(ReadBytes("replays/unsent.txt"), "100.txt\n") << "listed until the server answers";
  EXPECT_EQ(NextMessage(), "World rank 12 of 340 (Medium)");
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_FALSE(std::filesystem::exists(At("replays/unsent.txt"))) << "heard: not to be sent again";
}

TEST_F(LeaderboardTest, AServerNotReachedKeepsTheReplayForOneMoreTryAtTheNextStart) {
  int port = 0;
  {
    TinyHttpServer gone(500, "");
    port = std::stoi(gone.Url().substr(17));
  }
  Shell.LeaderboardOverride = "http://127.0.0.1:" + std::to_string(port);
  MakeDir("replays");
  WriteBytes("replays/100.txt", kReplay);
  SendToLeaderboard(kReplay, "replays/100.txt");
  EXPECT_EQ(NextMessage(), "Leaderboard not reached: score kept here");
  EXPECT_EQ(ReadBytes("replays/unsent.txt"), "100.txt\n");

  // The next start: sent again, and not listed again whatever happens.
  TinyHttpServer server(201, "{\"id\":8,\"rank\":1,\"of\":1}");
  Shell.LeaderboardOverride = server.Url();
  Core.MessageList.clear();
  ResendUnsentReplays();
  EXPECT_FALSE(std::filesystem::exists(At("replays/unsent.txt")));
  EXPECT_EQ(NextMessage(), "World rank 1 of 1 (Medium)");
  ResendUnsentReplays();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(server.Requests(), 1) << "at most once per file";
}

TEST_F(LeaderboardTest, NothingIsSentWithoutAWebAddress) {
  TinyHttpServer server(201, "{}");
  MakeDir("replays");
  for (const char* url : {"", "ftp://x", "file:///etc", "http://a b"}) {
    Shell.LeaderboardOverride = url;
    SendToLeaderboard(kReplay, "replays/100.txt");
  }
  EXPECT_EQ(LeaderboardUrl(), "");
  EXPECT_FALSE(std::filesystem::exists(At("replays/unsent.txt")));
  EXPECT_TRUE(Shell.LeaderboardPosts.empty());
}

TEST_F(LeaderboardTest, SetupKeepsTheLeaderboardLineAcrossSaves) {
  WriteBytes("Setup.ini", "[Leaderboard]\r\nLeaderboard = https://scores.example/\r\n");
  LoadSetup();
  EXPECT_EQ(LeaderboardUrl(), "https://scores.example");
  SaveSetup();
  EXPECT_NE(ReadBytes("Setup.ini").find("Leaderboard = https://scores.example/\r\n"), std::string::npos);
  Shell.LeaderboardOverride = "http://127.0.0.1:1";
  EXPECT_EQ(LeaderboardUrl(), "http://127.0.0.1:1") << "the command line wins for its run";
}

}  // namespace
