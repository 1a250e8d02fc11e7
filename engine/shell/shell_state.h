// The shell floor's state, one record: start-up's findings, the title screen, the
// pause menu, the end's save stage and the replay being recorded. Each shell header
// includes this one after its own types, so that including any of them brings the record.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shell/shutdown.h"

struct ShellState {
  bool ProgramRan = false;  // RunProgram has run: a second call returns at once
  // The file places' problems in lines short enough for the screen, which start-up
  // shows in the message list.
  std::string FilePlacesProblem;

  // The title screen (shell/title.h).
  // Frames since the title last started sliding in (0 on entry and after each game),
  // counted up to kTitleSlideSteps and then held.
  int SlideStep = 0;
  // What a start on the title screen runs instead of the game's Play (tests hand
  // in their own); nullptr runs the game.
  void (*TitleGame)() = nullptr;
  // Set by a start or a difficulty step; cleared once mouse button 1 and the
  // up/down actions are all let go, so that a held input acts once.
  int StartLatch = 0;
  // Set when a game returns; cleared once Escape is up, so that the Escape that
  // ended a game does not also end the program.
  int EscapeLatch = 0;
  bool MouseWasDown = false;  // mouse button 1 at the end of the previous frame's prompt step

  int PauseCursor = 0;  // the pause menu's selection: 0 "Continue", 1 "Quit"

  // How far the end's save may go (shell/shutdown.h).
  EndSaveStage SaveStage = EndSaveStage::kNothingRead;

  // The replay being recorded (shell/replay.h): its header lines, and whether a
  // recording is under way.
  std::vector<std::pair<std::string, std::string>> ReplayHeader;
  bool Recording = false;

  // The leaderboard (shell/leaderboard.h): --leaderboard's URL for this run ("" to
  // use Setup.ini's), and the posts under way: ticket, replay file, difficulty name.
  std::string LeaderboardOverride;
  struct LeaderboardPost {
    int ticket;
    std::string file, difficulty;
  };
  std::vector<LeaderboardPost> LeaderboardPosts;
};
extern ShellState Shell;

// Puts Shell back as a fresh program has it.
void ResetShell();
