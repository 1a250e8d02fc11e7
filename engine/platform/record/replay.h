// The record of a stretch of play: what the machine handed up, frame by frame, so
// that the same stretch can be handed back later and play out exactly the same.
//
// While recording, every input poll notes what changed in the polled input state
// (keys, buttons, hits, typed characters, the close request, the pointer in
// drawing-area units, joysticks as read), and every read of the logic clock notes
// its value. While playing back, the same polls get the same changes instead of the
// machine's, and the logic clock gives back the recorded values. The program marks
// its frames with FrameEnded; every 60th frame carries a checksum of the program's
// state, taken through a function the caller supplies, which playback compares.
//
// The text form lives a floor above, in replay/replay_text.h.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/video.h"

namespace plat {

constexpr int kTapeVersion = 1;
constexpr int kChecksumEvery = 60;  // frames between state checksums
// One thing that happened in a frame: 16 bytes, so that a tape held in memory
// weighs a small multiple of its text (pointer positions and joystick states,
// which need more, sit in the tape's side tables).
struct TapeEvent {
  enum Kind : uint8_t {
    kKeyDown,    // code: key 0..255
    kKeyUp,
    kKeyHits,    // code: key; value: presses
    kMouseDown,  // code: button 1..3
    kMouseUp,
    kMouseHits,  // code: button; value: presses
    kPointer,    // value: index into Tape::pointers
    kChar,       // code: a typed character
    kClose,      // a close request
    kClock,      // value: a logic clock reading (not tied to a poll: poll is 0)
    kJoyCount,   // code: joysticks plugged
    kJoystick,   // code: port; value: index into Tape::sticks
    kKeyTap,     // code: key; value: its quick-press state after the poll
    kMouseTap,   // code: button; value: as kKeyTap
  };
  Kind kind = kKeyDown;
  int poll = 0;  // the input poll of its frame it belongs to (0 the first)
  int code = 0;
  int value = 1;
};

struct PointerPos {
  double x = 0, y = 0;  // drawing-area units
};

struct Tape {
  // Lines before the frames, "name value": what the caller needs to set up the
  // same start (the platform does not read them).
  std::vector<std::pair<std::string, std::string>> header;
  // The closing line's words after "end" (the caller's summary, e.g. the score).
  std::string footer;

  // Every frame the program ended, then what came after the last one.
  size_t FrameCount() const { return frameEnds.size(); }
  // The events of frame `f` (from 0) are Event(i) for i in [FirstEvent(f), EndEvent(f)).
  size_t FirstEvent(size_t f) const { return f == 0 ? 0 : frameEnds[f - 1]; }
  size_t EndEvent(size_t f) const { return frameEnds[f]; }
  const TapeEvent& Event(size_t i) const { return events[i]; }
  const PointerPos& Pointer(const TapeEvent& e) const { return pointers[static_cast<size_t>(e.value)]; }
  const JoystickState& Stick(const TapeEvent& e) const { return sticks[static_cast<size_t>(e.value)]; }
  // false when frame `f` carries no checksum.
  bool Checksum(size_t f, uint64_t& sum) const;

  // Building, always at the end: a new frame, then its events and checksum.
  void AddFrame();
  TapeEvent& AddEvent(TapeEvent::Kind kind, int poll, int code = 0, int value = 1);
  void AddPointer(int poll, double x, double y);
  void AddJoystick(int poll, int port, JoystickState stick);
  void SetChecksum(uint64_t sum);  // of the last frame

  std::string Header(const std::string& name) const;  // "" when absent
  // Same header, footer, frames, events and checksums (numbers to the bit).
  bool operator==(const Tape& other) const;

 private:
  // Chunked containers: growing them never copies what they hold, so reading
  // a tape needs no more than it keeps.
  std::deque<TapeEvent> events;
  std::deque<uint32_t> frameEnds;
  std::deque<PointerPos> pointers;
  std::deque<JoystickState> sticks;
  std::vector<std::pair<uint32_t, uint64_t>> checksums;  // (frame, sum), frames rising
};

// Thrown out of a poll, a clock read or a frame end while playing back, when the
// program no longer does what the tape recorded. `frame` counts from 1.
struct ReplayDiverged {
  int frame;
};
// Thrown out of a poll during a watched playback when the viewer asks to stop
// (Escape or a close request on the real machine).
struct ReplayStopped {};

using StateChecksum = std::function<uint64_t()>;

// Recording: from now on input polls, logic clock reads and frame ends are noted.
// The first poll notes the whole input state (what is held down, pending hits).
void StartRecording(StateChecksum checksum);
bool Recording();
// Ends the recording and hands it over (header and footer empty).
Tape StopRecording();

// Playback of `tape` from now on: the input state starts empty and takes only
// what the tape holds; the machine's own input is watched only for Escape and a
// close request when `watched` (which then throw ReplayStopped).
void StartReplay(Tape tape, StateChecksum checksum, bool watched);
bool Replaying();
// The frame being played, from 1.
int ReplayFrame();
// Ends playback; throws ReplayDiverged unless the program did exactly what the
// tape holds, up to its last event. `complete` false skips that check.
void StopReplay(bool complete = true);

// Marks the end of a program frame (EndFrame calls it).
void FrameEnded();

// The millisecond clock as the program's rules read it (a seed for the random
// generator): recorded and played back. Pacing and on-screen clocks use Millisecs.
int LogicMillisecs();

// A summary of the shared random generator's whole state.
uint64_t RandomStateDigest();

}  // namespace plat
