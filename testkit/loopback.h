// Private to the test server (http_server.cpp): loopback TCP through the target's
// sockets (posix/, win32/).
#pragma once

#include <cstddef>
#include <string>

namespace testnet {

using Socket = long long;
constexpr Socket kNoSocket = -1;

// Listens on a free loopback port, which goes to `port`; kNoSocket on failure.
Socket ListenOnLoopback(int& port);
// The next connection; kNoSocket once the listener is stopped.
Socket Accept(Socket listener);
// Bytes received, up to `size`; 0 at the end, below 0 on an error.
long Receive(Socket s, char* data, size_t size);
void SendAll(Socket s, const std::string& data);
void Close(Socket s);
// Ends a listener so that a thread waiting in Accept on it returns.
void StopListening(Socket listener);

}  // namespace testnet
