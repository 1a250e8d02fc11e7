// Every game is recorded from the click that starts it to the end of name entry,
// and a recording plays back the same game: in the window at its own speed, or
// headless as fast as it can, checking the game's state every 60 frames.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {
struct Tape;
}

// Begins recording the game about to start, with what its start depends on
// (difficulty, drawing area, slow-system mode, bindings, the mouse as last seen).
void BeginGameRecording();
// Ends the recording and returns it as a replay file's text ("" when none ran).
std::string EndGameRecording();
// Writes `text` to replays/<timestamp>.txt in the current folder (the game's score
// record's timestamp, or now when 0; <timestamp>-<n>.txt after the same second's
// earlier ones), keeps the newest 50 replays by the time and suffix their names
// hold (other files are left alone), and logs one line naming the file. Returns the file's path ("" when it could not be written).
std::string SaveGameRecording(const std::string& text, int64_t timestamp = 0);

constexpr int kReplaysKept = 50;

struct ReplayResult {
  int code = 0;      // 0 played to its end, 2 not a readable replay, 3 diverged
  std::string line;  // "score N frames F", "diverged at frame F", or FILE:LINE: reason
  int score = 0;
  int frames = 0;
  bool otherRules = false;  // code 2: a readable replay of rules this program does not play
  std::string name;         // code 0: the name entered in the game's score record ("" when none)
};

// Plays the replay `text` (read from `fileName`, named in errors) on the installed
// backend and display, with the frame services in place. Nothing is written
// while it plays. `watched`: Escape or a close request on the machine stops it.
ReplayResult PlayReplay(const std::string& text, const std::string& fileName, bool watched);
// The same for a tape already read.
ReplayResult PlayTape(plat::Tape tape, const std::string& fileName, bool watched);

// A replay played to its end headless, as a server verifying a score does it:
// on the headless machine, writing no file, reading none. One at a time per
// process (the engine's state is the process's).
struct ReplayVerdict {
  enum Kind {
    kPlayed,      // played to its end, to the score it claims
    kUnreadable,  // not a well-formed replay: errorLine, error
    kOtherRules,  // readable, but of rules this program does not play: rules
    kTooLong,     // more frames than allowed: frames
    kDiverged,    // the game no longer does what it recorded, or ends on another score: divergedAt
  };
  Kind kind = kUnreadable;
  int score = 0;         // kPlayed: the score, as claimed and played
  int frames = 0;        // the frames it claims
  int claimedScore = 0;  // what its end line claims (all but kUnreadable)
  int divergedAt = 0;    // kDiverged: the frame, from 1
  int errorLine = 0;     // kUnreadable: the line (0 when none), and the reason
  std::string error;
  int rules = 0;         // the rules it names (1 when it names none)
  int difficulty = 0;
  std::string name;      // kPlayed: the name entered at its end
  std::string recorded;  // its "recorded" line: the player's clock, not to be trusted
};
ReplayVerdict VerifyReplay(std::string_view text, int maxFrames = INT_MAX);
ReplayVerdict VerifyTape(plat::Tape tape, int maxFrames = INT_MAX);

// "--replay FILE" plays it in the window, with "--headless" on the headless
// backend, printing the result line. Returns the exit code.
int ReplayCommand(const std::string& file, bool headless);

#include "shell/shell_state.h"  // the floor's record, Shell
