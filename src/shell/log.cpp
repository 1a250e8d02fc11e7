#include "shell/log.h"

#include "config/display.h"
#include "draw/helpers.h"

plat::Stream DebugLog = 0;
std::list<ment> MessageList;

bool OpenLog(const std::string& path) {
  CloseLog();
  DebugLog = plat::WriteFile(path);
  if (DebugLog == 0) return false;
  plat::SetNoticeSink([](const std::string& text) { LogLine(text); });
  return true;
}

void CloseLog() {
  if (DebugLog == 0) return;
  plat::SetNoticeSink(nullptr);
  plat::CloseStream(DebugLog);
  DebugLog = 0;
}

void LogLine(const std::string& text) {
  if (DebugLog != 0) plat::WriteLine(DebugLog, text);
}

void AddMessage(const std::string& txt, int c) {
  ment m;
  m.txt = txt;
  m.c = c;
  MessageList.push_back(m);
}

void DrawMessages() {
  SetScaleXY(1, 1);
  plat::SetImageFont(UiFonts[3]);
  int y = VirtualHeight - 16;
  for (auto it = MessageList.begin(); it != MessageList.end();) {
    ment& m = *it;
    m.tick++;
    bool flashing = m.tick < kMessageFlashTicks;
    if (flashing) {
      SetColorAlpha(255, 255, 0, 0.7);
    } else {
      SetColorAlpha(0, 0, 0, 0.7);
    }
    plat::DrawRect(0, y, plat::TextWidth(m.txt), plat::TextHeight());
    if (flashing) {
      SetColorAlpha(0, 0, 0, 1);
    } else {
      SetColorAlpha(255, 255, 255, 1);
    }
    DrawTextAligned(0, y, m.txt, 0, 0);
    y -= 14;
    if (m.tick >= kMessageLifeTicks) {
      it = MessageList.erase(it);
    } else {
      ++it;
    }
  }
}
