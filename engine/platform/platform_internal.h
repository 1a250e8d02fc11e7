// Private to the platform core files (lifecycle, display, input, files, clock,
// random): the hooks one concern needs from another.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/backend.h"

namespace plat::detail {

// display.cpp: forgets the open display and its pacing (a new backend is a fresh machine).
void ResetDisplayState();
// random.cpp: the 32-bit Mersenne twister, drawing what std::mt19937 draws. It is
// our own because a replay's checksum digests its state, which the C++ libraries
// write differently (libstdc++ in storage order with its position, libc++ rotated
// to its position): the state is written here as libstdc++ does, the form the
// recorded replays' checksums hold, on every target.
class Twister {
 public:
  explicit Twister(uint32_t seed) { Seed(seed); }
  void Seed(uint32_t seed);
  uint32_t operator()();
  // "x[0] x[1] ... x[623] position", in decimal.
  std::string StateText() const;

 private:
  static constexpr size_t kWords = 624;
  std::array<uint32_t, kWords> x_{};
  size_t next_ = kWords;  // the word the next draw tempers; kWords: twist first
};
// random.cpp: puts the shared generator back at its start.
void ResetRandom();
// random.cpp: the shared generator itself (the replay checksum reads its state).
Twister& RandomGenerator();
// files.cpp: flushes every stream open for writing (before the process ends).
void FlushWriteStreams();
// file_view.cpp: the machine's path a read or a write of `path` uses (the path
// itself until a view is mounted). WritePath gives "" when the write is refused
// (saving off) and, with makeFolders, makes the target's missing folders.
std::string ReadPath(const std::string& path);
std::string WritePath(const std::string& path, bool makeFolders = true);
bool ViewMounted();
bool ViewChangeDir(const std::string& path);
std::string ViewCurrentDir();
// input.cpp: the shared input state after the backend has applied what is pending.
InputState& PolledInput();
// lifecycle.cpp: ends the process in order if a termination signal has arrived.
void CheckTermination();
// web_page.cpp: a file under the save folder was finished, replaced or removed; and
// waiting (up to `milliseconds`) until the page has stored all such changes.
void SaveFolderChanged();
void WaitForSaveFolder(int milliseconds);

}  // namespace plat::detail
