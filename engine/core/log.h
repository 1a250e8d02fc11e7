// The debug log "Debug.txt" and the on-screen messages' list.
#pragma once

#include <list>
#include <string>

#include "platform/platform.h"

// One on-screen message.
class ment {
 public:
  int tick = 0;     // frames shown so far
  std::string txt;  // the message
  int c = 0;        // caller's value; not used by the drawing
};

// Opens (empties) the log file. Platform notices go to the log from then on, as
// sub-steps. When the file cannot be opened, log lines and notices go to stderr
// instead, so that failures are still seen.
bool OpenLog(const std::string& path);
void CloseLog();
// One line of the log; a no-op while no log was ever asked for.
void LogLine(const std::string& text);

void AddMessage(const std::string& txt, int c);

constexpr int kMessageFlashTicks = 60;
constexpr int kMessageLifeTicks = 180;

#include "core/state.h"  // Core.DebugLog, Core.MessageList
