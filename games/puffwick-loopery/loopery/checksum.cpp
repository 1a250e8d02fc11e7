#include "loopery/checksum.h"

#include <cstring>

#include "loopery/board.h"
#include "platform/record/replay.h"

namespace {

// FNV-1a, 64 bits.
struct Hash {
  uint64_t h = 1469598103934665603ull;
  void Bytes(const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void Int(int64_t v) { Bytes(&v, sizeof v); }
  // By bit pattern: a replay must reproduce values exactly, not nearly.
  void Real(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    Int(static_cast<int64_t>(bits));
  }
  template <typename T, size_t N>
  void Reals(const std::array<T, N>& a) {
    for (const T& v : a) Real(v);
  }
};

}  // namespace

uint64_t GameChecksum() {
  Hash s;
  const GameBoard& g = Game;
  for (const Grid* grid : {&g.TrackGrid, &g.UnderGrid, &g.BusyGrid, &g.PeopleGrid, &g.ParcelGrid, &g.OverfullGrid}) {
    s.Bytes(grid->data(), sizeof(int) * grid->size());
  }
  // The engine channel is left out: it depends on the sound device, not on play.
  for (int v : {g.Money, g.ShownMoney, g.SpawnOdds, g.StationCountdown, g.StationInterval, g.StationToggle,
                g.EndCounter, g.Tick, g.Tool, static_cast<int>(g.MouseLatch), g.CargoSoundCooldown, g.QuitFlag,
                g.GameScore, g.BadgeBits, g.BoardMaxX, g.BoardMaxY}) {
    s.Int(v);
  }
  s.Bytes(g.BestValues.data(), sizeof(int) * g.BestValues.size());
  s.Int(static_cast<int64_t>(g.TrainList.size()));
  for (const ain& t : g.TrainList) {
    s.Real(t.spd);
    s.Int(t.dead);
    s.Int(t.cars);
    s.Bytes(t.car.data(), sizeof(int) * t.car.size());
    s.Bytes(t.Full.data(), sizeof(int) * t.Full.size());
    s.Bytes(t.turnedAt.data(), sizeof(int) * t.turnedAt.size());
    s.Bytes(t.heldAt.data(), sizeof(int) * t.heldAt.size());
    s.Reals(t.cx);
    s.Reals(t.cy);
    s.Reals(t.ca);
    s.Reals(t.ca2);
  }
  s.Int(static_cast<int64_t>(g.SmokeList.size()));
  for (const ke& p : g.SmokeList) {
    for (double v : {p.x, p.y, p.rot, p.rotgo, p.spdx, p.spdy, p.size, p.alp}) s.Real(v);
  }
  s.Int(static_cast<int64_t>(plat::RandomStateDigest()));
  return s.h;
}
