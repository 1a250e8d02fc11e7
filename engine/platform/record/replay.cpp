// Recording and playing back what the machine hands up (see replay.h), and the
// text form of a recording.
#include "platform/record/replay_internal.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/platform_internal.h"

namespace plat {

namespace {

enum class Mode { kIdle, kRecording, kPlaying };

// The recorder: idle, recording a tape or playing one back, and where it is in it.
struct TapeState {
  Mode mode = Mode::kIdle;
  StateChecksum checksum;
  Tape tape;
  size_t frame = 0;  // index of the frame under way
  int poll = -1;     // index of the last poll of this frame
  // Recording: the input state as last noted, so that each poll notes only changes.
  InputState shadow;
  bool pointerKnown = false;
  double pointerX = 0, pointerY = 0;
  int joyCount = -1;
  std::vector<JoystickState> sticks;
  std::vector<bool> stickKnown;
  // Playback.
  size_t cursor = 0;       // next event of the frame to apply at a poll
  size_t clockCursor = 0;  // next clock reading of the frame
  bool watched = false;
  InputState watch;  // the machine's own input during a watched playback
};

TapeState& Recorder() {
  static TapeState state;
  return state;
}

bool SameStick(const JoystickState& a, const JoystickState& b) {
  return a.name == b.name && a.axes == b.axes && a.hat == b.hat && a.buttons == b.buttons &&
         a.connected == b.connected;
}

int NotePoll() { return Recorder().poll < 0 ? 0 : Recorder().poll; }

void Note(TapeEvent::Kind kind, int code = 0, int value = 1) { Recorder().tape.AddEvent(kind, NotePoll(), code, value); }

// What changed in the input state since it was last noted: the backend's pump,
// a test's scripted input or a pointer warp all count.
void NoteChanges() {
  TapeState& t = Recorder();
  InputState& in = Input();
  InputState& was = t.shadow;
  if (std::memcmp(in.keyDown.data(), was.keyDown.data(), sizeof in.keyDown) != 0 ||
      std::memcmp(in.keyHits.data(), was.keyHits.data(), sizeof in.keyHits) != 0) {
    for (int k = 0; k < 256; ++k) {
      if (in.keyDown[k] != was.keyDown[k]) Note(in.keyDown[k] ? TapeEvent::kKeyDown : TapeEvent::kKeyUp, k);
      if (in.keyHits[k] > was.keyHits[k]) Note(TapeEvent::kKeyHits, k, in.keyHits[k] - was.keyHits[k]);
    }
  }
  for (int b = 1; b <= 3; ++b) {
    if (in.mouseDown[b] != was.mouseDown[b]) Note(in.mouseDown[b] ? TapeEvent::kMouseDown : TapeEvent::kMouseUp, b);
    if (in.mouseHits[b] > was.mouseHits[b]) Note(TapeEvent::kMouseHits, b, in.mouseHits[b] - was.mouseHits[b]);
  }
  if (in.typed.size() > was.typed.size()) {
    for (size_t i = was.typed.size(); i < in.typed.size(); ++i) Note(TapeEvent::kChar, in.typed[i]);
  }
  if (in.closeRequested && !was.closeRequested) Note(TapeEvent::kClose);
  double x = 0, y = 0;
  detail::VirtualPointer(in, x, y);
  if (!t.pointerKnown || x != t.pointerX || y != t.pointerY) {
    t.tape.AddPointer(NotePoll(), x, y);
    t.pointerKnown = true;
    t.pointerX = x;
    t.pointerY = y;
  }
  was.keyDown = in.keyDown;
  was.keyHits = in.keyHits;
  was.mouseDown = in.mouseDown;
  was.mouseHits = in.mouseHits;
  if (was.typed != in.typed) was.typed = in.typed;
  was.closeRequested = in.closeRequested;
}

[[noreturn]] void Diverged() { throw ReplayDiverged{static_cast<int>(Recorder().frame) + 1}; }

// The events of the frame under way, [first, end) of the tape's.
struct FrameSpan {
  size_t first, end;
};

FrameSpan PlayingFrame() {
  TapeState& t = Recorder();
  if (t.frame >= t.tape.FrameCount()) Diverged();
  return {t.tape.FirstEvent(t.frame), t.tape.EndEvent(t.frame)};
}

// A tape may hold any count of presses: the count held saturates.
void AddHits(int& held, int count) { held = count > std::numeric_limits<int>::max() - held ? std::numeric_limits<int>::max() : held + count; }

void Apply(const TapeEvent& e) {
  TapeState& t = Recorder();
  InputState& in = Input();
  switch (e.kind) {
    case TapeEvent::kKeyDown: in.keyDown[e.code] = true; break;
    case TapeEvent::kKeyUp: in.keyDown[e.code] = false; break;
    case TapeEvent::kKeyHits: AddHits(in.keyHits[e.code], e.value); break;
    case TapeEvent::kMouseDown: in.mouseDown[e.code] = true; break;
    case TapeEvent::kMouseUp: in.mouseDown[e.code] = false; break;
    case TapeEvent::kMouseHits: AddHits(in.mouseHits[e.code], e.value); break;
    case TapeEvent::kPointer:
      t.pointerX = t.tape.Pointer(e).x;
      t.pointerY = t.tape.Pointer(e).y;
      break;
    case TapeEvent::kChar: in.typed.push_back(e.code); break;
    case TapeEvent::kClose: in.closeRequested = true; break;
    case TapeEvent::kClock: break;
    case TapeEvent::kJoyCount: t.joyCount = e.code; break;
    case TapeEvent::kKeyTap: in.keyTap[e.code] = static_cast<uint8_t>(e.value); break;
    case TapeEvent::kMouseTap: in.mouseTap[e.code] = static_cast<uint8_t>(e.value); break;
    case TapeEvent::kJoystick:
      if (t.sticks.size() <= static_cast<size_t>(e.code)) t.sticks.resize(static_cast<size_t>(e.code) + 1);
      t.sticks[static_cast<size_t>(e.code)] = t.tape.Stick(e);
      break;
  }
}

// Input events still unplayed in the frame (clock readings are counted apart).
// Cursors count from the frame's first event.
bool InputLeft(FrameSpan f, size_t cursor) {
  for (size_t i = f.first + cursor; i < f.end; ++i) {
    if (Recorder().tape.Event(i).kind != TapeEvent::kClock) return true;
  }
  return false;
}

bool ClockLeft(FrameSpan f, size_t cursor) {
  for (size_t i = f.first + cursor; i < f.end; ++i) {
    if (Recorder().tape.Event(i).kind == TapeEvent::kClock) return true;
  }
  return false;
}

void Reset() {
  TapeState& t = Recorder();
  t = TapeState{};
}

}  // namespace

void StartRecording(StateChecksum checksum) {
  Reset();
  TapeState& t = Recorder();
  t.mode = Mode::kRecording;
  t.checksum = std::move(checksum);
  t.tape.AddFrame();
}

bool Recording() { return Recorder().mode == Mode::kRecording; }

Tape StopRecording() {
  TapeState& t = Recorder();
  Tape tape = std::move(t.tape);
  Reset();
  return tape;
}

void StartReplay(Tape tape, StateChecksum checksum, bool watched) {
  Reset();
  TapeState& t = Recorder();
  t.mode = Mode::kPlaying;
  t.checksum = std::move(checksum);
  t.tape = std::move(tape);
  t.watched = watched;
  t.joyCount = 0;
  Input() = InputState{};
}

bool Replaying() { return Recorder().mode == Mode::kPlaying; }

int ReplayFrame() { return static_cast<int>(Recorder().frame) + 1; }

void StopReplay(bool complete) {
  TapeState& t = Recorder();
  if (complete && t.mode == Mode::kPlaying) {
    // The program must have finished on the tape's last frame with nothing unplayed.
    if (t.frame + 1 != t.tape.FrameCount()) Diverged();
    const FrameSpan f = PlayingFrame();
    if (InputLeft(f, t.cursor) || ClockLeft(f, t.clockCursor)) Diverged();
  }
  Reset();
}

void FrameEnded() {
  TapeState& t = Recorder();
  if (t.mode == Mode::kRecording) {
    if ((t.frame + 1) % kChecksumEvery == 0 && t.checksum) t.tape.SetChecksum(t.checksum());
    t.tape.AddFrame();
    ++t.frame;
    t.poll = -1;
  } else if (t.mode == Mode::kPlaying) {
    const FrameSpan f = PlayingFrame();
    // The tape's last line is what followed its last frame: no frame ends there.
    if (t.frame + 1 >= t.tape.FrameCount()) Diverged();
    if (InputLeft(f, t.cursor) || ClockLeft(f, t.clockCursor)) Diverged();
    uint64_t sum = 0;
    if (t.tape.Checksum(t.frame, sum) && t.checksum && t.checksum() != sum) Diverged();
    ++t.frame;
    t.poll = -1;
    t.cursor = 0;
    t.clockCursor = 0;
  }
}

int LogicMillisecs() {
  TapeState& t = Recorder();
  if (t.mode == Mode::kPlaying) {
    const FrameSpan f = PlayingFrame();
    const size_t count = f.end - f.first;
    while (t.clockCursor < count && t.tape.Event(f.first + t.clockCursor).kind != TapeEvent::kClock) ++t.clockCursor;
    if (t.clockCursor >= count) Diverged();
    return t.tape.Event(f.first + t.clockCursor++).value;
  }
  const int now = Millisecs();
  if (t.mode == Mode::kRecording) Note(TapeEvent::kClock, 0, now);
  return now;
}

uint64_t RandomStateDigest() {
  // FNV-1a over the generator's state in its text form.
  uint64_t h = 1469598103934665603ull;
  for (unsigned char ch : detail::RandomGenerator().StateText()) {
    h ^= ch;
    h *= 1099511628211ull;
  }
  return h;
}

void detail::PumpInput() {
  TapeState& t = Recorder();
  Backend& machine = CurrentBackend();
  if (t.mode != Mode::kPlaying) {
    // A press let go within one pump leaves only its quick-press state behind, so
    // what the pump did to those states is noted too (the rest of their life,
    // reads and frame ends, replays by itself).
    const auto keyTap = Input().keyTap;
    const auto mouseTap = Input().mouseTap;
    machine.Pump(Input());
    if (t.mode == Mode::kRecording) {
      ++t.poll;
      NoteChanges();
      const InputState& in = Input();
      for (int k = 0; k < 256; ++k) {
        if (in.keyTap[k] != keyTap[k]) Note(TapeEvent::kKeyTap, k, in.keyTap[k]);
      }
      for (int b = 1; b <= 3; ++b) {
        if (in.mouseTap[b] != mouseTap[b]) Note(TapeEvent::kMouseTap, b, in.mouseTap[b]);
      }
    }
    return;
  }
  if (t.watched) {
    machine.Pump(t.watch);
    if (t.watch.keyDown[27] || t.watch.keyHits[27] > 0 || t.watch.closeRequested) throw ReplayStopped{};
  }
  ++t.poll;
  const FrameSpan f = PlayingFrame();
  while (f.first + t.cursor < f.end) {
    const TapeEvent& e = t.tape.Event(f.first + t.cursor);
    if (e.kind != TapeEvent::kClock) {
      if (e.poll > t.poll) break;
      Apply(e);
    }
    ++t.cursor;
  }
}

void detail::InputConsumed() {
  TapeState& t = Recorder();
  if (t.mode != Mode::kRecording) return;
  InputState& in = Input();
  t.shadow.keyHits = in.keyHits;
  t.shadow.mouseHits = in.mouseHits;
  if (t.shadow.typed != in.typed) t.shadow.typed = in.typed;
  t.shadow.closeRequested = in.closeRequested;
}

bool detail::ReplayedPointer(double& x, double& y) {
  TapeState& t = Recorder();
  if (t.mode != Mode::kPlaying) return false;
  x = t.pointerX;
  y = t.pointerY;
  return true;
}

int detail::TapeJoyCount(Backend& machine) {
  TapeState& t = Recorder();
  if (t.mode == Mode::kPlaying) return t.joyCount;
  const int n = machine.JoyCount();
  if (t.mode == Mode::kRecording && n != t.joyCount) {
    Note(TapeEvent::kJoyCount, n);
    t.joyCount = n;
  }
  return n;
}

JoystickState detail::TapeJoystick(int port, Backend& machine) {
  TapeState& t = Recorder();
  const size_t p = static_cast<size_t>(port);
  if (t.mode == Mode::kPlaying) {
    if (p < t.sticks.size()) return t.sticks[p];
    JoystickState none;
    none.connected = false;
    return none;
  }
  JoystickState s = machine.Joystick(port);
  if (t.mode == Mode::kRecording) {
    if (t.sticks.size() <= p) {
      t.sticks.resize(p + 1);
      t.stickKnown.resize(p + 1, false);
    }
    if (!t.stickKnown[p] || !SameStick(s, t.sticks[p])) {
      t.tape.AddJoystick(NotePoll(), port, s);
      t.sticks[p] = s;
      t.stickKnown[p] = true;
    }
  }
  return s;
}

void detail::ResetTape() { Reset(); }

}  // namespace plat
