// Private to the desktops' sender (net_thread.cpp): one post, made start to end
// on the calling thread by the system's own HTTP client (posix/net_curl.cpp,
// win32/net_winhttp.cpp).
#pragma once

#include <cstddef>
#include <string>

namespace plat::sys {

// Limits every client keeps: a server far away or not there costs a post at most
// this long, and a hostile answer this much memory.
constexpr long kConnectSeconds = 5;  // reaching the server
constexpr long kPostSeconds = 30;    // the whole post, answer included
constexpr size_t kAnswerBytes = 64 * 1024;

// Readies the client, once, on the program's thread before the first post
// (libcurl's global start must come before any other thread uses it).
void StartClient();

// Posts `body` to `url` (starting "http://" or "https://") as application/octet-stream and reads the
// whole answer, keeping its first kAnswerBytes in `answer`. Returns the HTTP status,
// or 0 when the post did not complete: an address that does not parse, a server
// not reached, an answer broken off or late. Redirections are answers, not followed.
int Post(const std::string& url, const std::string& body, std::string& answer);

}  // namespace plat::sys
