// The text form of a tape (docs/replay-format.md): written, read in pieces, and
// read from a replay file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/record/replay.h"

namespace plat {

// The largest replay file read. A 30-minute game weighs about 0.3 MB when the
// mouse rests between moves and about 2.5 MB when it never rests; 8 MiB holds
// over an hour and a half of that. A larger file is refused unread.
constexpr long long kMaxReplayBytes = 8ll << 20;

// The text form. The reader checks the first line before anything else, takes
// its bytes in pieces of any size and keeps only the tape it builds; it refuses,
// with the 1-based line number and a reason, anything that is not a well-formed
// tape of this version, and anything FormatTape would not write back the same.
std::string FormatTape(const Tape& tape);

class TapeReader {
 public:
  TapeReader();
  // Takes the next bytes of the text; false once the text is known to be bad.
  bool Feed(const char* bytes, size_t size);
  // The text has ended: false unless it was a whole tape. Then Take() hands it over.
  bool Finish();
  Tape Take();
  int ErrorLine() const { return errorLine_; }
  const std::string& Error() const { return error_; }

 private:
  bool Line(std::string_view line);
  bool Fail(std::string why, int line = 0);
  enum class Part { kMagic, kHeader, kFrames, kAfterEnd, kFailed };
  Part part_ = Part::kMagic;
  Tape tape_;
  std::string line_;  // the line under way, without its end
  bool pendingCr_ = false;
  int lineNumber_ = 1;
  long long bytes_ = 0;
  int errorLine_ = 0;
  std::string error_;
};

// A name that may hold any byte (a joystick's, a player's) as one word of a line:
// spaces, commas, '%' and bytes outside printable ASCII are written as %XX.
std::string EncodeName(const std::string& name);
// Back again; false on a '%' not followed by two hex digits.
bool DecodeName(std::string_view text, std::string& out);

bool ParseTape(std::string_view text, Tape& tape, int& errorLine, std::string& error);
// A replay file through the reader: refused unread when over kMaxReplayBytes.
bool ReadTapeFile(const std::string& path, Tape& tape, int& errorLine, std::string& error);

}  // namespace plat
