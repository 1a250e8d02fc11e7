// A one-answer-per-connection HTTP server on a free loopback port, for the tests
// of posting: every request is read whole (headers, then the body its
// Content-Length gives) and answered with the same status, headers and body.
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include "testkit/loopback.h"

namespace testnet {

class TinyHttpServer {
 public:
  // `headers`: extra header lines, each ending in "\r\n".
  TinyHttpServer(int status, std::string body, std::string headers = "");
  ~TinyHttpServer();
  TinyHttpServer(const TinyHttpServer&) = delete;
  TinyHttpServer& operator=(const TinyHttpServer&) = delete;

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  int Requests() const;
  std::string LastRequest() const;  // as received, headers and body

 private:
  void Serve();

  const int status_;
  const std::string body_, headers_;
  int port_ = 0;
  Socket listener_ = kNoSocket;
  mutable std::mutex mutex_;
  int requests_ = 0;
  std::string last_;
  std::thread thread_;
};

}  // namespace testnet
