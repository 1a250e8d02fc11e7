// Posting to a web server without holding up a frame: a post is handed to the
// target's sender and its answer is collected on a later frame.
#pragma once

#include <string>
#include <vector>

namespace plat {

struct PostAnswer {
  int ticket = 0;
  int status = 0;    // the HTTP status; 0 when the server was not reached
  std::string body;  // the answer's first 64 KiB
};

// Starts posting `body` (as application/octet-stream) to `url`; returns its ticket.
int StartPost(const std::string& url, const std::string& body);
// The posts answered (or given up) since the last call.
std::vector<PostAnswer> TakeAnswers();

}  // namespace plat
