#include "core/state.h"

#include <algorithm>
#include <iterator>
#include <utility>

CoreState Core;

void ResetCore() {
  CloseLog();
  CoreState fresh;
  // The game in use is configuration, not run state: it stays, with all it derives.
  fresh.ThisGame = std::move(Core.ThisGame);
  fresh.WeekNumber = Core.WeekNumber;
  fresh.TitleFirst = std::move(Core.TitleFirst);
  fresh.TitleSecond = std::move(Core.TitleSecond);
  fresh.AppTitle = std::move(Core.AppTitle);
  fresh.GameFolder = std::move(Core.GameFolder);
  std::move(std::begin(Core.CreditLines), std::end(Core.CreditLines), std::begin(fresh.CreditLines));
  fresh.CreditCount = Core.CreditCount;
  Core = std::move(fresh);
}
