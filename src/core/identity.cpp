#include "core/identity.h"

const std::string TitleFirst = "Puffwick";
const std::string TitleSecond = "Loopery";
const std::string AppTitle = "#" + std::to_string(WeekNumber) + " : " + TitleFirst + " " + TitleSecond;
// The number as three digits with leading zeros.
const std::string GameFolder =
    ("000" + std::to_string(WeekNumber)).substr(std::to_string(WeekNumber).size()) + "/";

std::string CreditLines[100];
int CreditCount = 0;

namespace {

const char* const kCredits[] = {
    "A Game by Corvell",
    "Brindlewood Community Pages",
    "",
    "Name half suggested by Ruddle",
    "and half suggested by Kobb",
    "",
    "Game",
    "Made with Quillon",
    "using Corvell's Framework",
    "",
    "Graphics",
    "Font : SVBasicManual by Strom",
    "Font : Blue Highway by Lavendry",
    "Font : Acknowledge TT by Okwell",
    "All other graphics by Corvell",
    "",
    "Sound",
    "Title Music by Corvell",
    "Sound Effects by Corvell",
    "",
    "",
    "Instructions",
    "",
    "Collect and deliver parcels",
    "and people from the stations.",
    "",
    "The numbers on the train show",
    "how empty/full your carriage is.",
    "",
    "Head in the right direction and",
    "pass through the station to",
    "drop off/pick up, and carry on.",
    "",
    "For reasons best unknown,",
    "stations will explode if they",
    "reach more than 16 people/parcels.",
    "",
    "Keep the flow of cargo moving.",
    "",
    "You'll earn money as you go,",
    "and spend money on track.",
};

}  // namespace

void FillCredits() {
  CreditCount = 1;
  for (const char* line : kCredits) CreditLines[CreditCount++] = line;
}

