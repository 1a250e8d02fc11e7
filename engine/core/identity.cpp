#include "core/identity.h"

#include <algorithm>

GameTable ThisGame;

int WeekNumber = 0;
std::string TitleFirst;
std::string TitleSecond;
std::string AppTitle;
std::string GameFolder;

std::string CreditLines[100];
int CreditCount = 0;

void UseGame(const GameTable& game) {
  ThisGame = game;
  WeekNumber = game.number;
  TitleFirst = game.titleFirst;
  TitleSecond = game.titleSecond;
  AppTitle = "#" + std::to_string(WeekNumber) + " : " + TitleFirst + " " + TitleSecond;
  // The number as three digits with leading zeros.
  const std::string digits = std::to_string(WeekNumber);
  GameFolder = std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits + "/";
}

void FillCredits() {
  CreditCount = 1;
  const size_t room = std::size(CreditLines) - 1;
  for (size_t i = 0; i < ThisGame.credits.size() && i < room; ++i) CreditLines[CreditCount++] = ThisGame.credits[i];
}
