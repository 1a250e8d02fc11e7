// libFuzzer harness of the replay reader, through the path the game reads a
// replay file by: the bytes go to a file, which plat::ReadTapeFile reads. Any
// bytes are either refused with a reason and a line number inside the file, or
// read into a tape that the writer writes back to text that reads as the same tape.
// Built with -DPUFFWICK_FUZZ=ON by clang (see README).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "replay/replay_text.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/fuzz-replay-" + std::to_string(::getpid()) + ".txt";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchFile();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
  plat::Tape tape;
  int line = 0;
  std::string error;
  if (!plat::ReadTapeFile(path, tape, line, error)) {
    size_t lines = 1;
    for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
    if (line < 1 || static_cast<size_t>(line) > lines + 1 || error.empty()) std::abort();
    return 0;
  }
  const std::string again = plat::FormatTape(tape);
  plat::Tape back;
  if (!plat::ParseTape(again, back, line, error) || !(back == tape) || plat::FormatTape(back) != again) std::abort();
  return 0;
}
