// What the two audio drivers share.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <utility>

namespace plat::audio {

// Rates beyond this are played at it; the music's note ratios stay well below.
constexpr double kMaxRate = 64.0;

// Clamps a channel setting; NaN goes low.
inline double Clamp(double v, double low, double high) {
  if (!(v >= low)) return low;
  if (!(v <= high)) return high;
  return v;
}

// The channel records of a driver. Callers abandon channels freely (an effect cut
// off by the next one, one channel per note of the music), so a record whose sound
// has ended or been stopped is kept only a while: beyond kKeptIdle idle records
// the one idle longest is reclaimed, and memory stays flat however many sounds
// are played. Handles are not handed out twice (until 2^31 have been), so a
// reclaimed handle names nothing: it reads as not playing, and cueing a sound on
// it again gives it a fresh record (default volume, pan and rate).
template <class Record>
class ChannelPool {
 public:
  static constexpr size_t kKeptIdle = 1024;

  // Told of each record just before it is reclaimed.
  void OnReclaim(std::function<void(int, Record&)> hook) { onReclaim_ = std::move(hook); }

  int Alloc() {
    int id = NextId();
    records_.emplace(id, Entry{});
    return id;
  }

  Record* Find(int id) {
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : &it->second.record;
  }

  // The record of a handle about to be cued, made afresh if it was reclaimed;
  // null for a handle never handed out.
  Record* Revive(int id) {
    if (Record* r = Find(id)) return r;
    if (id < 1 || (!wrapped_ && id >= next_)) return nullptr;
    return &records_.emplace(id, Entry{}).first->second.record;
  }

  // The record holds a sound again (a cue).
  void MarkBusy(int id) {
    auto it = records_.find(id);
    if (it != records_.end()) it->second.idleSince = 0;
  }

  // The record's sound ended or was stopped: it may be reclaimed from now on.
  void MarkIdle(int id) {
    auto it = records_.find(id);
    if (it == records_.end() || it->second.idleSince != 0) return;
    it->second.idleSince = ++idleClock_;
    idle_.emplace_back(id, idleClock_);
    while (idle_.size() > kKeptIdle) {
      auto [oldId, stamp] = idle_.front();
      idle_.pop_front();
      auto old = records_.find(oldId);
      // Stale entries (the record was cued again since) are skipped.
      if (old == records_.end() || old->second.idleSince != stamp) continue;
      if (onReclaim_) onReclaim_(oldId, old->second.record);
      records_.erase(old);
    }
  }

  size_t Live() const { return records_.size(); }

  template <class F>
  void ForEach(F f) {
    for (auto& [id, entry] : records_) f(id, entry.record);
  }

 private:
  struct Entry {
    Record record{};
    uint64_t idleSince = 0;  // 0 while busy
  };

  int NextId() {
    for (;;) {
      if (next_ == INT_MAX) {
        next_ = 1;
        wrapped_ = true;
      }
      int id = next_++;
      if (!wrapped_ || records_.find(id) == records_.end()) return id;
    }
  }

  std::unordered_map<int, Entry> records_;
  std::deque<std::pair<int, uint64_t>> idle_;
  std::function<void(int, Record&)> onReclaim_;
  uint64_t idleClock_ = 0;
  int next_ = 1;
  bool wrapped_ = false;
};

}  // namespace plat::audio
