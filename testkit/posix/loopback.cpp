#include "testkit/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testnet {

Socket ListenOnLoopback(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return kNoSocket;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0 || listen(fd, 8) != 0) {
    close(fd);
    return kNoSocket;
  }
  port = ntohs(a.sin_port);
  return fd;
}

Socket Accept(Socket listener) {
  const int c = accept(static_cast<int>(listener), nullptr, nullptr);
  return c < 0 ? kNoSocket : c;
}

long Receive(Socket s, char* data, size_t size) { return read(static_cast<int>(s), data, size); }

void SendAll(Socket s, const std::string& data) {
  for (size_t at = 0; at < data.size();) {
    const ssize_t n = write(static_cast<int>(s), data.data() + at, data.size() - at);
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

void Close(Socket s) { close(static_cast<int>(s)); }

// Closing alone leaves accept() waiting on Linux; shutting down wakes it.
void StopListening(Socket listener) {
  shutdown(static_cast<int>(listener), SHUT_RDWR);
  close(static_cast<int>(listener));
}

}  // namespace testnet
