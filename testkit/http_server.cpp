#include "testkit/http_server.h"

namespace testnet {

TinyHttpServer::TinyHttpServer(int status, std::string body, std::string headers)
    : status_(status), body_(std::move(body)), headers_(std::move(headers)) {
  listener_ = ListenOnLoopback(port_);
  if (listener_ != kNoSocket) thread_ = std::thread([this] { Serve(); });
}

TinyHttpServer::~TinyHttpServer() {
  if (listener_ == kNoSocket) return;
  StopListening(listener_);
  thread_.join();
}

int TinyHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string TinyHttpServer::LastRequest() const {
  std::lock_guard lock(mutex_);
  return last_;
}

void TinyHttpServer::Serve() {
  for (;;) {
    const Socket c = Accept(listener_);
    if (c == kNoSocket) return;
    std::string request;
    char buf[4096];
    auto more = [&] {
      const long n = Receive(c, buf, sizeof buf);
      if (n > 0) request.append(buf, static_cast<size_t>(n));
      return n > 0;
    };
    while (request.find("\r\n\r\n") == std::string::npos && more()) {
    }
    const size_t end = request.find("\r\n\r\n");
    // libcurl asks before sending a large body, and waits a second for the word.
    if (request.find("Expect: 100-continue\r\n") < end) SendAll(c, "HTTP/1.1 100 Continue\r\n\r\n");
    const size_t cl = request.find("Content-Length: ");
    const size_t want = cl == std::string::npos ? 0 : std::stoul(request.substr(cl + 16));
    while (end != std::string::npos && request.size() - end - 4 < want && more()) {
    }
    {
      std::lock_guard lock(mutex_);
      ++requests_;
      last_ = request;
    }
    SendAll(c, "HTTP/1.1 " + std::to_string(status_) + " X\r\nContent-Length: " + std::to_string(body_.size()) +
                   "\r\n" + headers_ + "Connection: close\r\n\r\n" + body_);
    Close(c);
  }
}

}  // namespace testnet
