// The leaderboard's sender (platform/net.h) as every desktop has it: the post
// reaches the server whole, the answer comes back on a later call with its status
// and at most 64 KiB of its body, and whatever does not complete is status 0.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "platform/net.h"
#include "testkit/http_server.h"

namespace {

using testnet::TinyHttpServer;

// The answer to `ticket`, or nothing after `seconds`. Answers to other tickets
// taken on the way wait for their own call (two posts can be answered at once).
std::optional<plat::PostAnswer> AnswerTo(int ticket, int seconds = 15) {
  static std::vector<plat::PostAnswer> taken;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < until) {
    for (plat::PostAnswer& a : plat::TakeAnswers()) taken.push_back(std::move(a));
    for (auto it = taken.begin(); it != taken.end(); ++it) {
      if (it->ticket != ticket) continue;
      plat::PostAnswer a = std::move(*it);
      taken.erase(it);
      return a;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return std::nullopt;
}

// A port nothing listens on (a server's, closed).
std::string NobodyThere() {
  TinyHttpServer gone(500, "");
  return gone.Url();
}

TEST(NetTest, APostArrivesWholeAndItsAnswerComesBack) {
  TinyHttpServer server(201, "{\"id\":7,\"rank\":12,\"of\":340}");
  // Bytes of every value, NULs included, and more than one packet of them.
  std::string body;
  for (int i = 0; i < 100000; ++i) body += static_cast<char>(i * 7 % 256);
  const int ticket = plat::StartPost(server.Url() + "/api/v1/replays?v=1", body);
  const auto a = AnswerTo(ticket);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 201);
  EXPECT_EQ(a->body, "{\"id\":7,\"rank\":12,\"of\":340}");
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("POST /api/v1/replays?v=1 HTTP/1.1\r\n", 0), 0u) << request.substr(0, 200);
  EXPECT_NE(request.find("\r\nContent-Type: application/octet-stream\r\n"), std::string::npos);
  const size_t end = request.find("\r\n\r\n");
  ASSERT_NE(end, std::string::npos);
  EXPECT_TRUE(request.compare(end + 4, std::string::npos, body) == 0) << "the body, byte for byte";
  EXPECT_TRUE(plat::TakeAnswers().empty()) << "each answer is taken once";
}

TEST(NetTest, AnAnswerIsKeptToItsFirst64KiBAndARedirectionIsNotFollowed) {
  std::string huge;
  for (int i = 0; i < 200 * 1024; ++i) huge += static_cast<char>('a' + i % 23);
  TinyHttpServer big(200, huge);
  TinyHttpServer elsewhere(201, "{}");
  TinyHttpServer moved(302, "", "Location: " + elsewhere.Url() + "/api/v1/replays\r\n");
  const int first = plat::StartPost(big.Url(), "x");
  const int second = plat::StartPost(moved.Url(), "x");
  EXPECT_NE(first, second);
  const auto a = AnswerTo(first);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 200);
  EXPECT_EQ(a->body.size(), 64u * 1024);
  EXPECT_TRUE(a->body == huge.substr(0, 64 * 1024));
  const auto b = AnswerTo(second);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->status, 302);
  EXPECT_EQ(elsewhere.Requests(), 0);
}

TEST(NetTest, WhatCannotBePostedIsAnsweredZeroAndNothingReachesTheServer) {
  TinyHttpServer server(201, "{}");
  const std::string port = server.Url().substr(17);
  const std::string urls[] = {
      NobodyThere(),  // within the connect timeout: the answer is awaited 15 s at most
      "",
      "127.0.0.1:" + port,
      "not a web address",
      "http://",
      "http://:" + port + "/",
      "http:///api",
      "ftp://127.0.0.1:" + port + "/",
      "file:///etc/passwd",
      "http://127.0.0.1:99999/",
      "http://[::1/",
  };
  for (const std::string& url : urls) {
    const auto a = AnswerTo(plat::StartPost(url, "x"));
    ASSERT_TRUE(a) << url;
    EXPECT_EQ(a->status, 0) << url;
    EXPECT_EQ(a->body, "") << url;
  }
  EXPECT_EQ(server.Requests(), 0);
}

}  // namespace
