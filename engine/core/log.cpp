#include "core/log.h"

#include <cstdio>

bool OpenLog(const std::string& path) {
  CloseLog();
  Core.DebugLog = plat::WriteFile(path);
  // A replay writes nothing on purpose: its log is dropped, not shown.
  Core.LogToStderr = Core.DebugLog == 0 && !plat::FileWritesBlocked();
  // Notices are sub-steps of whatever the program was doing when they came.
  plat::SetNoticeSink([](const std::string& text) { LogLine("\t" + text); });
  return Core.DebugLog != 0;
}

void CloseLog() {
  plat::SetNoticeSink(nullptr);
  Core.LogToStderr = false;
  if (Core.DebugLog == 0) return;
  plat::CloseStream(Core.DebugLog);
  Core.DebugLog = 0;
}

void LogLine(const std::string& text) {
  if (Core.DebugLog != 0) {
    plat::WriteLine(Core.DebugLog, text);
  } else if (Core.LogToStderr) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

void AddMessage(const std::string& txt, int c) {
  ment m;
  m.txt = txt;
  m.c = c;
  Core.MessageList.push_back(m);
}
