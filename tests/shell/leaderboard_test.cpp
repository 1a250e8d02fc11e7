// The game's side of the leaderboard: the replay goes to the server named, the
// answer becomes a message on a later frame, and a replay the server never heard
// of is listed and sent again, once, at the next start.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "config/config_state.h"
#include "config/settings.h"
#include "core/log.h"
#include "platform/net.h"
#include "shell/leaderboard.h"
#include "shell/shell_state.h"
#include "testkit/scratch.h"

namespace {

// A one-answer-per-connection HTTP server on a free loopback port, answering every
// request with `status` and `body`, counting the requests.
class TinyServer {
 public:
  TinyServer(int status, std::string body) : status_(status), body_(std::move(body)) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(fd_, 8);
    thread_ = std::thread([this] {
      for (;;) {
        const int c = accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        std::string request;
        char buf[4096];
        // Headers, then as many body bytes as Content-Length says.
        while (request.find("\r\n\r\n") == std::string::npos) {
          const ssize_t n = read(c, buf, sizeof buf);
          if (n <= 0) break;
          request.append(buf, static_cast<size_t>(n));
        }
        const size_t cl = request.find("Content-Length: ");
        const size_t want = cl == std::string::npos ? 0 : std::stoul(request.substr(cl + 16));
        while (request.size() - request.find("\r\n\r\n") - 4 < want) {
          const ssize_t n = read(c, buf, sizeof buf);
          if (n <= 0) break;
          request.append(buf, static_cast<size_t>(n));
        }
        ++requests;
        const std::string answer = "HTTP/1.1 " + std::to_string(status_) + " X\r\nContent-Length: " +
                                   std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
        (void)!write(c, answer.data(), answer.size());
        close(c);
      }
    });
  }
  ~TinyServer() {
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::atomic<int> requests{0};

 private:
  int status_;
  std::string body_;
  int fd_ = -1, port_ = 0;
  std::thread thread_;
};

const std::string kReplay = "puffwick-replay 1\ndifficulty 1\nframes\n.\nend score 5 frames 0\n";

// Frames until a message shows (or five seconds).
std::string NextMessage() {
  for (int i = 0; i < 500 && Core.MessageList.empty(); ++i) {
    CollectLeaderboardAnswers();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Core.MessageList.empty() ? std::string() : Core.MessageList.back().txt;
}

using LeaderboardTest = ScratchTest;

TEST_F(LeaderboardTest, TheServersRankShowsAsAMessage) {
  TinyServer server(201, "{\"id\":7,\"rank\":12,\"of\":340}");
  Shell.LeaderboardOverride = server.Url();
  MakeDir("replays");
  SendToLeaderboard(kReplay, "replays/100.txt");
  EXPECT_EQ(ReadBytes("replays/unsent.txt"), "100.txt\n") << "listed until the server answers";
  EXPECT_EQ(NextMessage(), "World rank 12 of 340 (Medium)");
  EXPECT_EQ(server.requests, 1);
  EXPECT_FALSE(std::filesystem::exists(At("replays/unsent.txt"))) << "heard: not to be sent again";
}

TEST_F(LeaderboardTest, AServerNotReachedKeepsTheReplayForOneMoreTryAtTheNextStart) {
  int port = 0;
  {
    TinyServer gone(500, "");
    port = std::stoi(gone.Url().substr(17));
  }
  Shell.LeaderboardOverride = "http://127.0.0.1:" + std::to_string(port);
  MakeDir("replays");
  WriteBytes("replays/100.txt", kReplay);
  SendToLeaderboard(kReplay, "replays/100.txt");
  EXPECT_EQ(NextMessage(), "Leaderboard not reached: score kept here");
  EXPECT_EQ(ReadBytes("replays/unsent.txt"), "100.txt\n");

  // The next start: sent again, and not listed again whatever happens.
  TinyServer server(201, "{\"id\":8,\"rank\":1,\"of\":1}");
  Shell.LeaderboardOverride = server.Url();
  Core.MessageList.clear();
  ResendUnsentReplays();
  EXPECT_FALSE(std::filesystem::exists(At("replays/unsent.txt")));
  EXPECT_EQ(NextMessage(), "World rank 1 of 1 (Medium)");
  ResendUnsentReplays();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(server.requests, 1) << "at most once per file";
}

TEST_F(LeaderboardTest, NothingIsSentWithoutAWebAddress) {
  TinyServer server(201, "{}");
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
