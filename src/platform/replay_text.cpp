// The text form of a recording (documented in docs/replay-format.md). Kept apart
// from the recorder so that the reader builds alone for fuzzing.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "platform/replay.h"

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

// Joystick names may hold any byte; spaces, commas, '%' and bytes outside
// printable ASCII are written as %XX.
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

void PutEvent(std::string& out, const TapeEvent& e) {
  auto count = [&](char tag) {
    out += tag;
    out += std::to_string(e.code);
    if (e.count != 1) out += "*" + std::to_string(e.count);
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
      PutDouble(out, e.x);
      out += ',';
      PutDouble(out, e.y);
      break;
    case TapeEvent::kChar: out += "c" + std::to_string(e.code); break;
    case TapeEvent::kClose: out += 'x'; break;
    case TapeEvent::kClock: out += "t" + std::to_string(e.value); break;
    case TapeEvent::kJoyCount: out += "n" + std::to_string(e.code); break;
    case TapeEvent::kKeyTap: out += "q" + std::to_string(e.code) + "=" + std::to_string(e.value); break;
    case TapeEvent::kMouseTap: out += "Q" + std::to_string(e.code) + "=" + std::to_string(e.value); break;
    case TapeEvent::kJoystick: {
      out += "j" + std::to_string(e.code) + ":";
      for (double a : e.stick.axes) {
        PutDouble(out, a);
        out += ',';
      }
      PutDouble(out, e.stick.hat);
      out += ',';
      if (e.stick.buttons.empty()) out += '-';
      for (bool b : e.stick.buttons) out += b ? '1' : '0';
      out += e.stick.connected ? ",1," : ",0,";
      out += EncodeName(e.stick.name);
      break;
    }
  }
}

}  // namespace

std::string FormatTape(const Tape& tape) {
  std::string out = std::string(kMagic) + " " + std::to_string(kTapeVersion) + "\n";
  for (const auto& [name, value] : tape.header) out += name + " " + value + "\n";
  out += "frames\n";
  for (const TapeFrame& f : tape.frames) {
    std::string line;
    int poll = 0;
    for (const TapeEvent& e : f.events) {
      if (!line.empty()) line += ' ';
      if (e.kind != TapeEvent::kClock && e.poll != poll) {
        line += "@" + std::to_string(e.poll) + " ";
        poll = e.poll;
      }
      PutEvent(line, e);
    }
    if (f.hasChecksum) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "#%016llx", static_cast<unsigned long long>(f.checksum));
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
  // strtod takes more than the writer ever writes (spaces, '+', hexadecimal): refuse those.
  if (text.size() > 40 || text.find_first_not_of("0123456789.eE-") != std::string_view::npos) return false;
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

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t at = text.find(sep, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

constexpr int kMaxCount = 1000000;
constexpr int kMaxPorts = 64;

bool ParseJoystick(std::string_view body, TapeEvent& e) {
  size_t colon = body.find(':');
  if (colon == std::string_view::npos || !ReadInt(body.substr(0, colon), e.code, 0, kMaxPorts - 1)) return false;
  std::vector<std::string_view> f = Split(body.substr(colon + 1), ',');
  if (f.size() != 10) return false;
  for (int i = 0; i < 6; ++i) {
    if (!ReadDouble(f[static_cast<size_t>(i)], e.stick.axes[static_cast<size_t>(i)])) return false;
  }
  if (!ReadDouble(f[6], e.stick.hat)) return false;
  e.stick.buttons.clear();
  if (f[7] != "-") {
    if (f[7].empty() || f[7].size() > 256) return false;
    for (char ch : f[7]) {
      if (ch != '0' && ch != '1') return false;
      e.stick.buttons.push_back(ch == '1');
    }
  }
  if (f[8] != "0" && f[8] != "1") return false;
  e.stick.connected = f[8] == "1";
  return DecodeName(f[9], e.stick.name);
}

// One event token; false when it is not one.
bool ParseEvent(std::string_view tok, TapeEvent& e) {
  const char tag = tok[0];
  std::string_view body = tok.substr(1);
  auto withCount = [&](int low, int high) {
    size_t star = body.find('*');
    if (star == std::string_view::npos) {
      e.count = 1;
      return ReadInt(body, e.code, low, high);
    }
    return ReadInt(body.substr(0, star), e.code, low, high) && ReadInt(body.substr(star + 1), e.count, 1, kMaxCount);
  };
  switch (tag) {
    case 'd': e.kind = TapeEvent::kKeyDown; return ReadInt(body, e.code, 0, 255);
    case 'u': e.kind = TapeEvent::kKeyUp; return ReadInt(body, e.code, 0, 255);
    case 'h': e.kind = TapeEvent::kKeyHits; return withCount(0, 255);
    case 'D': e.kind = TapeEvent::kMouseDown; return ReadInt(body, e.code, 1, 3);
    case 'U': e.kind = TapeEvent::kMouseUp; return ReadInt(body, e.code, 1, 3);
    case 'H': e.kind = TapeEvent::kMouseHits; return withCount(1, 3);
    case 'p': {
      e.kind = TapeEvent::kPointer;
      size_t comma = body.find(',');
      return comma != std::string_view::npos && ReadDouble(body.substr(0, comma), e.x) &&
             ReadDouble(body.substr(comma + 1), e.y);
    }
    case 'c': e.kind = TapeEvent::kChar; return ReadInt(body, e.code, 0, 0x10FFFF);
    case 'x': e.kind = TapeEvent::kClose; return body.empty();
    case 't':
      e.kind = TapeEvent::kClock;
      return ReadInt(body, e.value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    case 'n': e.kind = TapeEvent::kJoyCount; return ReadInt(body, e.code, 0, kMaxPorts);
    case 'q':
    case 'Q': {
      e.kind = tag == 'q' ? TapeEvent::kKeyTap : TapeEvent::kMouseTap;
      size_t eq = body.find('=');
      return eq != std::string_view::npos && ReadInt(body.substr(0, eq), e.code, tag == 'q' ? 0 : 1, tag == 'q' ? 255 : 3) &&
             ReadInt(body.substr(eq + 1), e.value, 0, 255);
    }
    case 'j': e.kind = TapeEvent::kJoystick; return ParseJoystick(body, e);
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

// A frame line into `f`; false with `error` set.
bool ParseFrameLine(std::string_view line, int frameNumber, TapeFrame& f, std::string& error) {
  if (line == ".") return true;
  if (line.empty()) {
    error = "empty frame line (an empty frame is written \".\")";
    return false;
  }
  int poll = 0;
  for (std::string_view tok : Split(line, ' ')) {
    if (tok.empty()) {
      error = "two spaces in a row";
      return false;
    }
    if (f.hasChecksum) {
      error = "text after the checksum";
      return false;
    }
    if (tok[0] == '@') {
      int next = 0;
      if (!ReadInt(tok.substr(1), next, poll, 1000000000)) {
        error = "bad poll number \"" + std::string(tok) + "\"";
        return false;
      }
      poll = next;
      continue;
    }
    if (tok[0] == '#') {
      if (tok.size() != 17) {
        error = "a checksum is # and 16 hexadecimal digits";
        return false;
      }
      uint64_t sum = 0;
      for (char ch : tok.substr(1)) {
        int d = HexDigit(ch);
        if (d < 0) {
          error = "a checksum is # and 16 hexadecimal digits";
          return false;
        }
        sum = sum * 16 + static_cast<uint64_t>(d);
      }
      if (frameNumber % kChecksumEvery != 0) {
        error = "a checksum on frame " + std::to_string(frameNumber) + ", not a multiple of " +
                std::to_string(kChecksumEvery);
        return false;
      }
      f.hasChecksum = true;
      f.checksum = sum;
      continue;
    }
    TapeEvent e;
    e.poll = poll;
    if (!ParseEvent(tok, e)) {
      error = "bad event \"" + std::string(tok.substr(0, 40)) + "\"";
      return false;
    }
    f.events.push_back(std::move(e));
  }
  return true;
}

}  // namespace

bool ParseTape(const std::string& text, Tape& tape, int& errorLine, std::string& error) {
  tape = Tape{};
  std::vector<std::string_view> lines;
  {
    std::string_view all(text);
    size_t start = 0;
    while (start < all.size()) {
      size_t at = all.find('\n', start);
      std::string_view line = all.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(line);
      if (at == std::string_view::npos) break;
      start = at + 1;
    }
  }
  auto fail = [&](size_t index, std::string why) {
    errorLine = static_cast<int>(index) + 1;
    error = std::move(why);
    tape = Tape{};
    return false;
  };
  if (lines.empty()) return fail(0, "empty file");
  const std::string magic = std::string(kMagic) + " ";
  if (lines[0].substr(0, magic.size()) != magic) return fail(0, "not a replay file");
  int version = 0;
  if (!ReadInt(lines[0].substr(magic.size()), version, 0, 1000000) || version != kTapeVersion) {
    return fail(0, "format version \"" + std::string(lines[0].substr(magic.size(), 20)) +
                       "\" cannot be read (this program reads version " + std::to_string(kTapeVersion) + ")");
  }
  size_t i = 1;
  for (; i < lines.size() && lines[i] != "frames"; ++i) {
    std::string_view line = lines[i];
    size_t space = line.find(' ');
    std::string_view name = line.substr(0, space);
    if (!ValidHeaderName(name)) return fail(i, "bad header line");
    tape.header.emplace_back(std::string(name),
                             space == std::string_view::npos ? std::string() : std::string(line.substr(space + 1)));
  }
  if (i >= lines.size()) return fail(i, "the file ends before its frames (truncated)");
  ++i;
  bool ended = false;
  for (; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line == "end" || line.substr(0, 4) == "end ") {
      if (tape.frames.empty()) return fail(i, "no frames");
      // Every whole frame at a multiple of 60 carries its checksum; the last line
      // (what followed the last frame) carries none.
      if (tape.frames.back().hasChecksum) return fail(i - 1, "a checksum on the line after the last frame");
      tape.footer = line.size() > 4 ? std::string(line.substr(4)) : std::string();
      ended = true;
      ++i;
      break;
    }
    const int frameNumber = static_cast<int>(tape.frames.size()) + 1;
    if (frameNumber > 1 && (frameNumber - 1) % kChecksumEvery == 0 && !tape.frames.back().hasChecksum) {
      return fail(i - 1, "frame " + std::to_string(frameNumber - 1) + " has no checksum");
    }
    TapeFrame f;
    std::string why;
    if (!ParseFrameLine(line, frameNumber, f, why)) return fail(i, why);
    tape.frames.push_back(std::move(f));
  }
  if (!ended) return fail(i, "the file ends before its end line (truncated)");
  for (; i < lines.size(); ++i) {
    if (!lines[i].empty()) return fail(i, "text after the end line");
  }
  return true;
}

}  // namespace plat
