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
// The text form (FormatTape / ParseTape) is documented in docs/replay-format.md.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"

namespace plat {

constexpr int kTapeVersion = 1;
constexpr int kChecksumEvery = 60;  // frames between state checksums

struct TapeEvent {
  enum Kind {
    kKeyDown,    // code: key 0..255
    kKeyUp,
    kKeyHits,    // code: key; count: presses
    kMouseDown,  // code: button 1..3
    kMouseUp,
    kMouseHits,  // code: button; count: presses
    kPointer,    // x, y: drawing-area units
    kChar,       // code: a typed character
    kClose,      // a close request
    kClock,      // value: a logic clock reading
    kJoyCount,   // code: joysticks plugged
    kJoystick,   // code: port; stick: its state as read
    kKeyTap,     // code: key; value: its quick-press state after the poll
    kMouseTap,   // code: button; value: as kKeyTap
  };
  Kind kind = kKeyDown;
  int poll = 0;  // the input poll of its frame it belongs to (0 the first)
  int code = 0;
  int count = 1;
  int value = 0;
  double x = 0, y = 0;
  JoystickState stick;
};

struct TapeFrame {
  std::vector<TapeEvent> events;  // in the order they happened
  bool hasChecksum = false;
  uint64_t checksum = 0;
};

struct Tape {
  // Lines before the frames, "name value": what the caller needs to set up the
  // same start (the platform does not read them).
  std::vector<std::pair<std::string, std::string>> header;
  // Every frame the program ended, then what came after the last one.
  std::vector<TapeFrame> frames;
  // The closing line's words after "end" (the caller's summary, e.g. the score).
  std::string footer;

  std::string Header(const std::string& name) const;  // "" when absent
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

// The text form. ParseTape returns false with the 1-based line number and a
// reason for anything that is not a well-formed tape of this version.
std::string FormatTape(const Tape& tape);
bool ParseTape(const std::string& text, Tape& tape, int& errorLine, std::string& error);

namespace detail {
// input.cpp and display.cpp: one input poll, recorded or played back.
void PumpInput();
// input.cpp: a query consumed hits, characters or the close request.
void InputConsumed();
// display.cpp: the pointer as played back; false when not playing back.
bool ReplayedPointer(double& x, double& y);
// display.cpp: the pointer in drawing-area units as the input state holds it.
void VirtualPointer(const InputState& input, double& x, double& y);
// input.cpp: joystick reads, recorded or played back.
// The machine's sticks are asked only when not playing back.
int TapeJoyCount(Backend& machine);
JoystickState TapeJoystick(int port, Backend& machine);
// lifecycle.cpp: a new backend ends any recording or playback.
void ResetTape();
}  // namespace detail

}  // namespace plat
