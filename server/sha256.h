// SHA-256, for the replays' identity: a submission is known again by the hash of
// its file, so the hash must be one a stranger cannot make collide.
#pragma once

#include <string>
#include <string_view>

// The lowercase hex digest of `data`.
std::string Sha256Hex(std::string_view data);
