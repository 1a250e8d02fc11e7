// The text form of a recording (documented in docs/replay-format.md). Kept apart
// from the recorder so that the reader builds alone for fuzzing.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "replay/replay_text.h"

namespace plat {

namespace {

constexpr const char* kMagic = "puffwick-replay";

// The shortest text that reads back as the same double. Standard libraries
// without floating-point to_chars (the web build's) search the precision instead.
void PutDouble(std::string& out, double v) {
  char buf[40];
#if defined(__cpp_lib_to_chars)
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
#else
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  out += buf;
#endif
}

}  // namespace

std::string EncodeName(const std::string& name) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char ch : name) {
    if (ch > 0x20 && ch < 0x7f && ch != '%' && ch != ',') {
      out += static_cast<char>(ch);
    } else {
      out += '%';
      out += kHex[ch >> 4];
      out += kHex[ch & 15];
    }
  }
  return out;
}

namespace {

void PutEvent(std::string& out, const Tape& tape, const TapeEvent& e) {
  auto count = [&](char tag) {
    out += tag;
    out += std::to_string(e.code);
    if (e.value != 1) out += "*" + std::to_string(e.value);
  };
  switch (e.kind) {
    case TapeEvent::kKeyDown: out += "d" + std::to_string(e.code); break;
    case TapeEvent::kKeyUp: out += "u" + std::to_string(e.code); break;
    case TapeEvent::kKeyHits: count('h'); break;
    case TapeEvent::kMouseDown: out += "D" + std::to_string(e.code); break;
    case TapeEvent::kMouseUp: out += "U" + std::to_string(e.code); break;
    case TapeEvent::kMouseHits: count('H'); break;
    case TapeEvent::kPointer:
      out += 'p';
      PutDouble(out, tape.Pointer(e).x);
      out += ',';
      PutDouble(out, tape.Pointer(e).y);
      break;
    case TapeEvent::kChar: out += "c" + std::to_string(e.code); break;
    case TapeEvent::kClose: out += 'x'; break;
    case TapeEvent::kClock: out += "t" + std::to_string(e.value); break;
    case TapeEvent::kJoyCount: out += "n" + std::to_string(e.code); break;
    case TapeEvent::kKeyTap: out += "q" + std::to_string(e.code) + "=" + std::to_string(e.value); break;
    case TapeEvent::kMouseTap: out += "Q" + std::to_string(e.code) + "=" + std::to_string(e.value); break;
    case TapeEvent::kJoystick: {
      const JoystickState& stick = tape.Stick(e);
      out += "j" + std::to_string(e.code) + ":";
      for (double a : stick.axes) {
        PutDouble(out, a);
        out += ',';
      }
      PutDouble(out, stick.hat);
      out += ',';
      if (stick.buttons.empty()) out += '-';
      for (bool b : stick.buttons) out += b ? '1' : '0';
      out += stick.connected ? ",1," : ",0,";
      out += EncodeName(stick.name);
      break;
    }
  }
}

}  // namespace

std::string FormatTape(const Tape& tape) {
  std::string out = std::string(kMagic) + " " + std::to_string(kTapeVersion) + "\n";
  for (const auto& [name, value] : tape.header) out += name + " " + value + "\n";
  out += "frames\n";
  std::string line;
  for (size_t f = 0; f < tape.FrameCount(); ++f) {
    line.clear();
    int poll = 0;
    for (size_t i = tape.FirstEvent(f); i < tape.EndEvent(f); ++i) {
      const TapeEvent& e = tape.Event(i);
      if (!line.empty()) line += ' ';
      if (e.kind != TapeEvent::kClock && e.poll != poll) {
        line += "@" + std::to_string(e.poll) + " ";
        poll = e.poll;
      }
      PutEvent(line, tape, e);
    }
    uint64_t sum = 0;
    if (tape.Checksum(f, sum)) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "#%016llx", static_cast<unsigned long long>(sum));
      if (!line.empty()) line += ' ';
      line += buf;
    }
    out += line.empty() ? std::string(".") : line;
    out += '\n';
  }
  out += "end";
  if (!tape.footer.empty()) out += " " + tape.footer;
  out += '\n';
  return out;
}

namespace {

template <typename Int>
bool ReadInt(std::string_view text, Int& out, Int low, Int high) {
  if (text.empty()) return false;
  Int v{};
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v < low || v > high) return false;
  out = v;
  return true;
}

bool ReadDouble(std::string_view text, double& out) {
  if (text.empty()) return false;
  double v = 0;
#if defined(__cpp_lib_to_chars)
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
#else
  // strtod takes more than the writers ever write (spaces, a leading '+', hexadecimal):
  // refuse those. An exponent's sign is written ("%g" and to_chars write "4.8e+02").
  if (text.size() > 40 || text.find_first_not_of("0123456789.eE-+") != std::string_view::npos) return false;
  for (size_t at = text.find('+'); at != std::string_view::npos; at = text.find('+', at + 1)) {
    if (at == 0 || (text[at - 1] != 'e' && text[at - 1] != 'E')) return false;
  }
  const std::string copy(text);
  char* end = nullptr;
  v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return false;
#endif
  out = v;
  return true;
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

}  // namespace

bool DecodeName(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

namespace {

constexpr int kMaxCount = 1000000;
constexpr int kMaxPorts = 64;
constexpr int kMaxPoll = 1000000000;
// A first line longer than this is no replay's: refused before more is read.
constexpr size_t kMagicLineMax = 40;

bool ParseJoystick(std::string_view body, int poll, Tape& tape) {
  size_t colon = body.find(':');
  int port = 0;
  if (colon == std::string_view::npos || !ReadInt(body.substr(0, colon), port, 0, kMaxPorts - 1)) return false;
  std::string_view f[10];
  std::string_view rest = body.substr(colon + 1);
  for (int i = 0; i < 10; ++i) {
    size_t comma = rest.find(',');
    if ((i < 9) == (comma == std::string_view::npos)) return false;  // exactly ten fields
    f[i] = rest.substr(0, comma);
    if (comma != std::string_view::npos) rest = rest.substr(comma + 1);
  }
  JoystickState stick;
  for (int i = 0; i < 6; ++i) {
    if (!ReadDouble(f[i], stick.axes[static_cast<size_t>(i)])) return false;
  }
  if (!ReadDouble(f[6], stick.hat)) return false;
  if (f[7] != "-") {
    if (f[7].empty() || f[7].size() > 256) return false;
    for (char ch : f[7]) {
      if (ch != '0' && ch != '1') return false;
      stick.buttons.push_back(ch == '1');
    }
  }
  if (f[8] != "0" && f[8] != "1") return false;
  stick.connected = f[8] == "1";
  if (!DecodeName(f[9], stick.name)) return false;
  tape.AddJoystick(poll, port, std::move(stick));
  return true;
}

// One event token onto the tape's last frame; false when it is not one.
bool ParseEvent(std::string_view tok, int poll, Tape& tape) {
  const char tag = tok[0];
  std::string_view body = tok.substr(1);
  int code = 0, value = 1;
  auto add = [&](TapeEvent::Kind kind) {
    tape.AddEvent(kind, poll, code, value);
    return true;
  };
  auto withCount = [&](TapeEvent::Kind kind, int low, int high) {
    size_t star = body.find('*');
    if (star == std::string_view::npos) return ReadInt(body, code, low, high) && add(kind);
    return ReadInt(body.substr(0, star), code, low, high) && ReadInt(body.substr(star + 1), value, 1, kMaxCount) &&
           add(kind);
  };
  switch (tag) {
    case 'd': return ReadInt(body, code, 0, 255) && add(TapeEvent::kKeyDown);
    case 'u': return ReadInt(body, code, 0, 255) && add(TapeEvent::kKeyUp);
    case 'h': return withCount(TapeEvent::kKeyHits, 0, 255);
    case 'D': return ReadInt(body, code, 1, 3) && add(TapeEvent::kMouseDown);
    case 'U': return ReadInt(body, code, 1, 3) && add(TapeEvent::kMouseUp);
    case 'H': return withCount(TapeEvent::kMouseHits, 1, 3);
    case 'p': {
      size_t comma = body.find(',');
      double x = 0, y = 0;
      if (comma == std::string_view::npos || !ReadDouble(body.substr(0, comma), x) ||
          !ReadDouble(body.substr(comma + 1), y)) {
        return false;
      }
      tape.AddPointer(poll, x, y);
      return true;
    }
    case 'c': return ReadInt(body, code, 0, 0x10FFFF) && add(TapeEvent::kChar);
    case 'x': return body.empty() && add(TapeEvent::kClose);
    case 't':
      return ReadInt(body, value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()) &&
             add(TapeEvent::kClock);
    case 'n': return ReadInt(body, code, 0, kMaxPorts) && add(TapeEvent::kJoyCount);
    case 'q':
    case 'Q': {
      size_t eq = body.find('=');
      return eq != std::string_view::npos &&
             ReadInt(body.substr(0, eq), code, tag == 'q' ? 0 : 1, tag == 'q' ? 255 : 3) &&
             ReadInt(body.substr(eq + 1), value, 0, 255) && add(tag == 'q' ? TapeEvent::kKeyTap : TapeEvent::kMouseTap);
    }
    case 'j': return ParseJoystick(body, poll, tape);
    default: return false;
  }
}

bool ValidHeaderName(std::string_view name) {
  if (name.empty()) return false;
  for (char ch : name) {
    if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-')) return false;
  }
  return name != "frames" && name != "end";
}

// A frame line onto a new frame of `tape`; false with `error` set.
bool ParseFrameLine(std::string_view line, Tape& tape, std::string& error) {
  tape.AddFrame();
  if (line == ".") return true;
  if (line.empty()) {
    error = "empty frame line (an empty frame is written \".\")";
    return false;
  }
  const size_t frameNumber = tape.FrameCount();
  int poll = 0;
  bool checksummed = false;
  size_t start = 0;
  while (start <= line.size()) {
    size_t space = line.find(' ', start);
    if (space == std::string_view::npos) space = line.size();
    std::string_view tok = line.substr(start, space - start);
    start = space + 1;
    if (tok.empty()) {
      error = "two spaces in a row";
      return false;
    }
    if (checksummed) {
      error = "text after the checksum";
      return false;
    }
    if (tok[0] == '@') {
      if (!ReadInt(tok.substr(1), poll, poll, kMaxPoll)) {
        error = "bad poll number \"" + std::string(tok.substr(0, 40)) + "\"";
        return false;
      }
      continue;
    }
    if (tok[0] == '#') {
      uint64_t sum = 0;
      bool hex = tok.size() == 17;
      for (size_t i = 1; hex && i < tok.size(); ++i) {
        const int d = HexDigit(tok[i]);
        hex = d >= 0;
        sum = sum * 16 + static_cast<uint64_t>(d < 0 ? 0 : d);
      }
      if (!hex) {
        error = "a checksum is # and 16 hexadecimal digits";
        return false;
      }
      if (frameNumber % kChecksumEvery != 0) {
        error = "a checksum on frame " + std::to_string(frameNumber) + ", not a multiple of " +
                std::to_string(kChecksumEvery);
        return false;
      }
      tape.SetChecksum(sum);
      checksummed = true;
      continue;
    }
    if (!ParseEvent(tok, poll, tape)) {
      error = "bad event \"" + std::string(tok.substr(0, 40)) + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace

TapeReader::TapeReader() = default;

bool TapeReader::Fail(std::string why, int line) {
  part_ = Part::kFailed;
  errorLine_ = line > 0 ? line : lineNumber_;
  error_ = std::move(why);
  tape_ = Tape{};
  line_.clear();
  line_.shrink_to_fit();
  return false;
}

bool TapeReader::Feed(const char* bytes, size_t size) {
  if (part_ == Part::kFailed) return false;
  bytes_ += static_cast<long long>(size);
  if (bytes_ > kMaxReplayBytes) {
    return Fail("more than " + std::to_string(kMaxReplayBytes) + " bytes: larger than any replay", 1);
  }
  for (size_t i = 0; i < size; ++i) {
    const char ch = bytes[i];
    if (pendingCr_) {
      // A CR is taken only as part of a CR LF line end: anything else would not
      // come back from the writer as it was read.
      if (ch != '\n') return Fail("a CR byte that does not end a line");
      pendingCr_ = false;
    }
    if (ch == '\n') {
      if (!Line(line_)) return false;
      line_.clear();
      ++lineNumber_;
      continue;
    }
    if (ch == '\r') {
      pendingCr_ = true;
      continue;
    }
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned>(static_cast<unsigned char>(ch)));
      return Fail(std::string("a control byte (") + hex + "): not a line-based text file");
    }
    line_ += ch;
    // The first line is checked before anything else is read.
    if (part_ == Part::kMagic && line_.size() > kMagicLineMax) return Fail("not a replay file");
  }
  return true;
}

bool TapeReader::Finish() {
  if (part_ == Part::kFailed) return false;
  if (pendingCr_) return Fail("a CR byte that does not end a line");
  // The last line may lack its LF; a file that ends with one has no further line.
  if (!line_.empty() || part_ == Part::kMagic) {
    if (part_ == Part::kMagic && line_.empty() && bytes_ == 0) return Fail("empty file");
    if (!Line(line_)) return false;
    line_.clear();
    ++lineNumber_;
  }
  switch (part_) {
    case Part::kHeader: return Fail("the file ends before its frames (truncated)");
    case Part::kFrames: return Fail("the file ends before its end line (truncated)");
    default: return part_ == Part::kAfterEnd;
  }
}

Tape TapeReader::Take() { return std::move(tape_); }

bool TapeReader::Line(std::string_view line) {
  switch (part_) {
    case Part::kMagic: {
      const std::string magic = std::string(kMagic) + " ";
      if (line.substr(0, magic.size()) != magic) return Fail("not a replay file");
      int version = 0;
      if (!ReadInt(line.substr(magic.size()), version, 0, 1000000) || version != kTapeVersion) {
        return Fail("format version \"" + std::string(line.substr(magic.size(), 20)) +
                    "\" cannot be read (this program reads version " + std::to_string(kTapeVersion) + ")");
      }
      part_ = Part::kHeader;
      return true;
    }
    case Part::kHeader: {
      if (line == "frames") {
        part_ = Part::kFrames;
        return true;
      }
      size_t space = line.find(' ');
      std::string_view name = line.substr(0, space);
      if (!ValidHeaderName(name)) return Fail("bad header line");
      tape_.header.emplace_back(std::string(name),
                                space == std::string_view::npos ? std::string() : std::string(line.substr(space + 1)));
      return true;
    }
    case Part::kFrames: {
      const size_t frames = tape_.FrameCount();
      uint64_t sum = 0;
      if (line == "end" || line.substr(0, 4) == "end ") {
        if (frames == 0) return Fail("no frames");
        // Every whole frame at a multiple of 60 carries its checksum; the last line
        // (what followed the last frame) carries none.
        if (tape_.Checksum(frames - 1, sum)) return Fail("a checksum on the line after the last frame", lineNumber_ - 1);
        tape_.footer = line.size() > 4 ? std::string(line.substr(4)) : std::string();
        part_ = Part::kAfterEnd;
        return true;
      }
      if (frames > 0 && frames % kChecksumEvery == 0 && !tape_.Checksum(frames - 1, sum)) {
        return Fail("frame " + std::to_string(frames) + " has no checksum", lineNumber_ - 1);
      }
      std::string why;
      if (!ParseFrameLine(line, tape_, why)) return Fail(why);
      return true;
    }
    case Part::kAfterEnd:
      if (!line.empty()) return Fail("text after the end line");
      return true;
    case Part::kFailed: return false;
  }
  return false;
}

bool ParseTape(std::string_view text, Tape& tape, int& errorLine, std::string& error) {
  TapeReader reader;
  const bool ok = reader.Feed(text.data(), text.size()) && reader.Finish();
  tape = reader.Take();
  errorLine = reader.ErrorLine();
  error = reader.Error();
  return ok;
}

bool ReadTapeFile(const std::string& path, Tape& tape, int& errorLine, std::string& error) {
  tape = Tape{};
  errorLine = 0;
  const long long size = FileSize(path);
  if (size > kMaxReplayBytes) {
    errorLine = 1;
    error = "the file is " + std::to_string(size) + " bytes, more than a replay may hold (" +
            std::to_string(kMaxReplayBytes) + ")";
    return false;
  }
  Stream s = size < 0 ? 0 : ReadFile(path);
  if (!s) {
    error = "cannot be read";
    return false;
  }
  TapeReader reader;
  char buffer[1 << 16];
  bool ok = true;
  for (size_t n; ok && (n = ReadBytes(s, buffer, sizeof buffer)) > 0;) ok = reader.Feed(buffer, n);
  CloseStream(s);
  ok = ok && reader.Finish();
  tape = reader.Take();
  errorLine = reader.ErrorLine();
  error = reader.Error();
  return ok;
}

}  // namespace plat
