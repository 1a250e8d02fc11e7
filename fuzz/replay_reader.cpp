// libFuzzer harness of the replay reader: any bytes are either refused with a
// line number inside the file, or read into a tape whose text form reads back
// to the same text. Built with -DPUFFWICK_FUZZ=ON by clang (see README).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  plat::Tape tape;
  int line = 0;
  std::string error;
  if (!plat::ParseTape(text, tape, line, error)) {
    size_t lines = 1;
    for (char ch : text) lines += ch == '\n';
    if (line < 1 || static_cast<size_t>(line) > lines + 1 || error.empty()) std::abort();
    return 0;
  }
  const std::string again = plat::FormatTape(tape);
  plat::Tape back;
  if (!plat::ParseTape(again, back, line, error) || plat::FormatTape(back) != again) std::abort();
  return 0;
}
