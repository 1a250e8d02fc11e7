#include "loopery/checksum.h"

#include <tuple>

#include "loopery/board.h"
#include "platform/record/replay.h"
#include "replay/state_hash.h"

namespace {

// The fields of each record the checksum reads, in hashing order, and those it
// leaves out on purpose. A field missing from a replay's checksum would let that
// field drift unnoticed; the counts below stop the build until a new one is placed.
constexpr auto kBoardFields = std::make_tuple(
    &GameBoard::TrackGrid, &GameBoard::UnderGrid, &GameBoard::BusyGrid, &GameBoard::PeopleGrid,
    &GameBoard::ParcelGrid, &GameBoard::OverfullGrid, &GameBoard::Money, &GameBoard::ShownMoney,
    &GameBoard::SpawnOdds, &GameBoard::StationCountdown, &GameBoard::StationInterval, &GameBoard::StationToggle,
    &GameBoard::EndCounter, &GameBoard::Tick, &GameBoard::Tool, &GameBoard::MouseLatch,
    &GameBoard::CargoSoundCooldown, &GameBoard::QuitFlag, &GameBoard::GameScore, &GameBoard::BadgeBits,
    &GameBoard::BoardMaxX, &GameBoard::BoardMaxY, &GameBoard::BestValues);
// Hashed element by element by GameChecksum itself.
constexpr auto kBoardLists = std::make_tuple(&GameBoard::TrainList, &GameBoard::SmokeList);
constexpr auto kBoardFieldsLeftOut = std::make_tuple(
    &GameBoard::EngineChannel,    // depends on the sound device, not on play
    &GameBoard::LevelValue,       // this game has no levels: always 0
    &GameBoard::GameFlagsValue);  // nor flags: always 0

constexpr auto kTrainFields =
    std::make_tuple(&ain::spd, &ain::dead, &ain::cars, &ain::car, &ain::Full, &ain::turnedAt, &ain::heldAt,
                    &ain::cx, &ain::cy, &ain::ca, &ain::ca2);
constexpr auto kTrainFieldsLeftOut = std::make_tuple(&ain::x, &ain::y);  // not used by the game

constexpr auto kSmokeFields =
    std::make_tuple(&ke::x, &ke::y, &ke::rot, &ke::rotgo, &ke::spdx, &ke::spdy, &ke::size, &ke::alp);

static_assert(FieldCount<GameBoard>() ==
                  kListed<decltype(kBoardFields), decltype(kBoardLists), decltype(kBoardFieldsLeftOut)>,
              "GameBoard has a field the replay checksum does not know: add it to kBoardFields (or hash it in "
              "GameChecksum and add it to kBoardLists), or to kBoardFieldsLeftOut with the reason");
static_assert(FieldCount<ain>() == kListed<decltype(kTrainFields), decltype(kTrainFieldsLeftOut)>,
              "A train has a field the replay checksum does not know: add it to kTrainFields, or to "
              "kTrainFieldsLeftOut with the reason");
static_assert(FieldCount<ke>() == kListed<decltype(kSmokeFields)>,
              "A smoke puff has a field the replay checksum does not know: add it to kSmokeFields");

}  // namespace

uint64_t GameChecksum() {
  StateHash s;
  const GameBoard& g = Game;
  s.Fields(g, kBoardFields);
  s.Each(g.TrainList, kTrainFields);
  s.Each(g.SmokeList, kSmokeFields);
  s.Int(static_cast<int64_t>(plat::RandomStateDigest()));
  return s.h;
}
