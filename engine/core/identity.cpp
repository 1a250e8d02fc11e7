#include "core/identity.h"

#include <algorithm>

void UseGame(const GameTable& game) {
  Core.ThisGame = game;
  Core.WeekNumber = game.number;
  Core.TitleFirst = game.titleFirst;
  Core.TitleSecond = game.titleSecond;
  Core.AppTitle = "#" + std::to_string(Core.WeekNumber) + " : " + Core.TitleFirst + " " + Core.TitleSecond;
  // The number as three digits with leading zeros.
  const std::string digits = std::to_string(Core.WeekNumber);
  Core.GameFolder = std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits + "/";
}

void FillCredits() {
  Core.CreditCount = 1;
  const size_t room = std::size(Core.CreditLines) - 1;
  for (size_t i = 0; i < Core.ThisGame.credits.size() && i < room; ++i) Core.CreditLines[Core.CreditCount++] = Core.ThisGame.credits[i];
}
