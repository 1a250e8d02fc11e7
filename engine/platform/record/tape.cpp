// The tape's own building and reading; the recorder (replay.cpp) and the text
// form above the platform both use them.
#include <algorithm>
#include <cstring>

#include "platform/record/replay.h"

namespace plat {

bool Tape::Checksum(size_t f, uint64_t& sum) const {
  auto at = std::lower_bound(checksums.begin(), checksums.end(), f,
                             [](const std::pair<uint32_t, uint64_t>& c, size_t frame) { return c.first < frame; });
  if (at == checksums.end() || at->first != f) return false;
  sum = at->second;
  return true;
}

void Tape::AddFrame() { frameEnds.push_back(static_cast<uint32_t>(events.size())); }

TapeEvent& Tape::AddEvent(TapeEvent::Kind kind, int poll, int code, int value) {
  if (frameEnds.empty()) AddFrame();
  TapeEvent e;
  e.kind = kind;
  e.poll = kind == TapeEvent::kClock ? 0 : poll;
  e.code = code;
  e.value = value;
  events.push_back(e);
  frameEnds.back() = static_cast<uint32_t>(events.size());
  return events.back();
}

void Tape::AddPointer(int poll, double x, double y) {
  AddEvent(TapeEvent::kPointer, poll, 0, static_cast<int>(pointers.size()));
  pointers.push_back(PointerPos{x, y});
}

void Tape::AddJoystick(int poll, int port, JoystickState stick) {
  AddEvent(TapeEvent::kJoystick, poll, port, static_cast<int>(sticks.size()));
  sticks.push_back(std::move(stick));
}

void Tape::SetChecksum(uint64_t sum) {
  const uint32_t f = static_cast<uint32_t>(frameEnds.size() - 1);
  if (!checksums.empty() && checksums.back().first == f) {
    checksums.back().second = sum;
  } else {
    checksums.emplace_back(f, sum);
  }
}

std::string Tape::Header(const std::string& name) const {
  for (const auto& [key, value] : header) {
    if (key == name) return value;
  }
  return {};
}

bool Tape::operator==(const Tape& o) const {
  if (header != o.header || footer != o.footer || frameEnds != o.frameEnds || checksums != o.checksums ||
      events.size() != o.events.size()) {
    return false;
  }
  auto sameBits = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (size_t i = 0; i < events.size(); ++i) {
    const TapeEvent &a = events[i], &b = o.events[i];
    if (a.kind != b.kind || a.poll != b.poll || a.code != b.code) return false;
    if (a.kind == TapeEvent::kPointer) {
      const PointerPos &p = Pointer(a), &q = o.Pointer(b);
      if (!sameBits(p.x, q.x) || !sameBits(p.y, q.y)) return false;
    } else if (a.kind == TapeEvent::kJoystick) {
      const JoystickState &s = Stick(a), &t = o.Stick(b);
      if (s.name != t.name || !sameBits(s.hat, t.hat) || s.buttons != t.buttons || s.connected != t.connected) {
        return false;
      }
      for (size_t k = 0; k < s.axes.size(); ++k) {
        if (!sameBits(s.axes[k], t.axes[k])) return false;
      }
    } else if (a.value != b.value) {
      return false;
    }
  }
  return true;
}

}  // namespace plat
