// Text helpers over byte strings (one byte per character, positions from 1).
#include <algorithm>
#include <cstdint>

#include "base/text.h"

namespace plat {

namespace {

bool IsSpace(unsigned char ch) { return ch < 33; }

}  // namespace

namespace {

// Reads an integer of `bits` (32 or 64) bits: leading white space, a sign, then
// decimal digits, or "%" binary and "$" hexadecimal ones. Decimal values
// saturate, so a huge number in a file reads as the largest one; "$" and "%"
// texts are bit patterns and wrap like words of that width ("$FFFFFFFF" is -1 in
// 32 bits).
int64_t ReadInteger(const std::string& text, int bits) {
  size_t i = 0, n = text.size();
  while (i < n && IsSpace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '%') {
    base = 2;
    ++i;
  } else if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  }
  const uint64_t limit = uint64_t{1} << (bits - 1);  // magnitude of the most negative value
  const uint64_t mask = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
  uint64_t value = 0;
  for (; i < n; ++i) {
    char ch = text[i];
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (ch >= 'a' && ch <= 'f') {
      digit = ch - 'a' + 10;
    } else if (ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      break;
    }
    if (digit >= base) break;
    if (base == 10) {
      value = value > (limit - digit) / 10 ? limit : value * 10 + static_cast<uint64_t>(digit);
    } else {
      value = (value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit)) & mask;
    }
  }
  if (base == 10) {
    if (negative) return value >= limit ? -static_cast<int64_t>(limit - 1) - 1 : -static_cast<int64_t>(value);
    return value >= limit ? static_cast<int64_t>(limit - 1) : static_cast<int64_t>(value);
  }
  if (negative) value = (0 - value) & mask;
  // Sign-extend the word.
  if (bits < 64 && (value & limit)) return static_cast<int64_t>(value) - static_cast<int64_t>(mask) - 1;
  return static_cast<int64_t>(value);
}

}  // namespace

int ToInt(const std::string& text) { return static_cast<int>(ReadInteger(text, 32)); }

int64_t ToInt64(const std::string& text) { return ReadInteger(text, 64); }

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsSpace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Mid(const std::string& text, int start, int count) {
  int64_t len = static_cast<int64_t>(text.size());
  int64_t from = static_cast<int64_t>(start) - 1;
  int64_t to = count < 0 ? len : from + count;
  from = std::clamp<int64_t>(from, 0, len);
  to = std::clamp<int64_t>(to, 0, len);
  if (to <= from) return {};
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

std::string Left(const std::string& text, int count) {
  if (count <= 0) return {};
  return text.substr(0, std::min(text.size(), static_cast<size_t>(count)));
}

std::string Right(const std::string& text, int count) {
  if (count <= 0) return {};
  size_t n = std::min(text.size(), static_cast<size_t>(count));
  return text.substr(text.size() - n);
}

int Instr(const std::string& text, const std::string& pattern, int start) {
  if (pattern.empty()) return 0;
  size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= text.size()) return 0;
  size_t at = text.find(pattern, from);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Replace(const std::string& text, const std::string& pattern, const std::string& with) {
  if (pattern.empty()) return text;
  std::string out;
  size_t from = 0;
  for (size_t at; (at = text.find(pattern, from)) != std::string::npos; from = at + pattern.size()) {
    out.append(text, from, at - from);
    out += with;
  }
  out.append(text, from, std::string::npos);
  return out;
}

// Latin-1: a..z and the accented small letters (but not the division sign).
std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    unsigned char u = static_cast<unsigned char>(ch);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) ch = static_cast<char>(u - 0x20);
  }
  return out;
}

}  // namespace plat
