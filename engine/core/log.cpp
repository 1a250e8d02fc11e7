#include "core/log.h"

#include <cstdio>

plat::Stream DebugLog = 0;
std::list<ment> MessageList;

namespace {

// Set when Debug.txt could not be opened: lines then go to stderr.
bool logToStderr = false;

}  // namespace

bool OpenLog(const std::string& path) {
  CloseLog();
  DebugLog = plat::WriteFile(path);
  // A replay writes nothing on purpose: its log is dropped, not shown.
  logToStderr = DebugLog == 0 && !plat::FileWritesBlocked();
  // Notices are sub-steps of whatever the program was doing when they came.
  plat::SetNoticeSink([](const std::string& text) { LogLine("\t" + text); });
  return DebugLog != 0;
}

void CloseLog() {
  plat::SetNoticeSink(nullptr);
  logToStderr = false;
  if (DebugLog == 0) return;
  plat::CloseStream(DebugLog);
  DebugLog = 0;
}

void LogLine(const std::string& text) {
  if (DebugLog != 0) {
    plat::WriteLine(DebugLog, text);
  } else if (logToStderr) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

void AddMessage(const std::string& txt, int c) {
  ment m;
  m.txt = txt;
  m.c = c;
  MessageList.push_back(m);
}
