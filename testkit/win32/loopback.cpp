#include "testkit/loopback.h"

#include <winsock2.h>

#include <algorithm>

namespace testnet {
namespace {

SOCKET Native(Socket s) { return static_cast<SOCKET>(s); }

}  // namespace

Socket ListenOnLoopback(int& port) {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) return kNoSocket;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0 || listen(s, 8) != 0) {
    closesocket(s);
    return kNoSocket;
  }
  port = ntohs(a.sin_port);
  return static_cast<Socket>(s);
}

Socket Accept(Socket listener) {
  const SOCKET c = accept(Native(listener), nullptr, nullptr);
  return c == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(c);
}

long Receive(Socket s, char* data, size_t size) {
  return recv(Native(s), data, static_cast<int>(std::min<size_t>(size, 1 << 20)), 0);
}

void SendAll(Socket s, const std::string& data) {
  for (size_t at = 0; at < data.size();) {
    const int n = send(Native(s), data.data() + at, static_cast<int>(std::min<size_t>(data.size() - at, 1 << 20)), 0);
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

void Close(Socket s) { closesocket(Native(s)); }

// Closing a listening socket makes a waiting accept() fail at once.
void StopListening(Socket listener) { closesocket(Native(listener)); }

}  // namespace testnet
