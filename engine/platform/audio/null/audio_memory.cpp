// The in-memory audio driver of the headless backend. Sounds are kept as PCM and
// channels as play positions; playback follows the virtual clock, and tests can mix
// real output to check what would be heard.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>

#include "platform/audio/audio_internal.h"
#include "platform/headless/headless.h"

namespace plat {
namespace {

using audio::Clamp;
using audio::kMaxRate;

constexpr int kMixRate = 44100;



class HeadlessAudio : public AudioDriver {
 public:
  HeadlessAudio(std::vector<std::string> names, bool device, std::function<int64_t()> clock)
      : names_(std::move(names)), device_(device), clock_(std::move(clock)) {
    last_ = Now();
  }

  std::vector<std::string> DriverNames() override { return names_; }

  bool SelectDriver(const std::string& name) override {
    requested_ = name;
    if (std::find(names_.begin(), names_.end(), name) == names_.end() || !device_) return false;
    selected_ = name;
    return true;
  }

  const std::string& Requested() const { return requested_; }
  const std::string& Selected() const { return selected_; }

  bool EnableOpenAL() override { return device_; }

  int CreateSound(const PcmData& pcm) override {
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.samples.empty()) return 0;
    if (pcm.samples.size() % pcm.channels != 0) return 0;
    int id = nextSound_++;
    sounds_[id] = std::make_shared<const PcmData>(pcm);
    return id;
  }

  void FreeSound(int sound) override {
    // Channels hold their own reference, so a sound freed while playing ends cleanly.
    sounds_.erase(sound);
  }

  int AllocChannel() override { return channels_.Alloc(); }

  void Cue(int channel, int sound) override {
    auto it = sounds_.find(sound);
    if (it == sounds_.end()) return;
    // Synced first: time passing may end other channels and reclaim idle records.
    Sync();
    Channel* c = channels_.Revive(channel);
    if (!c) return;
    c->sound = sound;
    c->pcm = it->second;
    c->position = 0;
    c->paused = true;
    c->active = device_;  // without a device nothing ever plays
    if (c->active) {
      channels_.MarkBusy(channel);
      Track(channel);
    } else {
      channels_.MarkIdle(channel);
    }
  }

  void Stop(int channel) override {
    Sync();
    Channel* c = Get(channel);
    if (!c) return;
    c->active = false;
    c->pcm.reset();
    if (c->tracked) {
      c->tracked = false;
      live_.erase(std::find(live_.begin(), live_.end(), channel));
    }
    channels_.MarkIdle(channel);
  }

  void SetPaused(int channel, bool paused) override {
    Sync();
    if (Channel* c = Get(channel)) {
      c->paused = paused;
    }
  }

  void SetVolume(int channel, double volume) override {
    if (Channel* c = Get(channel)) c->volume = Clamp(volume, 0, 1);
  }

  void SetPan(int channel, double pan) override {
    if (Channel* c = Get(channel)) c->pan = Clamp(pan, -1, 1);
  }

  void SetDepth(int channel, double depth) override {
    if (Channel* c = Get(channel)) c->depth = std::isfinite(depth) ? depth : 0;
  }

  void SetRate(int channel, double rate) override {
    Sync();
    if (Channel* c = Get(channel)) {
      c->rate = Clamp(rate, 0, kMaxRate);
    }
  }

  int LiveChannels() const override { return static_cast<int>(channels_.Live()); }

  bool Playing(int channel) override {
    Sync();
    Channel* c = Get(channel);
    return c && c->active;
  }

  MixerChannelInfo Info(int channel) {
    MixerChannelInfo info;
    Sync();
    Channel* c = Get(channel);
    if (!c) return info;
    info.sound = c->sound;
    info.playing = c->active;
    info.paused = c->paused;
    info.volume = c->volume;
    info.pan = c->pan;
    info.rate = c->rate;
    info.depth = c->depth;
    return info;
  }

  std::pair<double, double> Mix(int milliseconds) {
    Sync();
    double peakL = 0, peakR = 0;
    if (milliseconds <= 0) return {0, 0};
    long frames = static_cast<long>(milliseconds) * kMixRate / 1000;
    for (int id : live_) {
      Channel* found = channels_.Find(id);
      if (!found) continue;
      Channel& c = *found;
      if (!c.active || c.paused || c.rate <= 0) continue;
      const PcmData& pcm = *c.pcm;
      long length = static_cast<long>(pcm.samples.size()) / pcm.channels;
      double gainL, gainR;
      PanGains(c.pan, pcm.channels, gainL, gainR);
      gainL *= c.volume;
      gainR *= c.volume;
      double step = c.rate * pcm.rate / kMixRate;
      // Channels are mixed one at a time; the sum is kept per output frame.
      if (static_cast<long>(mixL_.size()) < frames) {
        mixL_.resize(frames);
        mixR_.resize(frames);
      }
      for (long f = 0; f < frames && c.position < length; ++f) {
        double l, r;
        SampleAt(pcm, c.position, l, r);
        mixL_[f] += l / 32768.0 * gainL;
        mixR_[f] += r / 32768.0 * gainR;
        c.position += step;
      }
      if (Finished(c.position, length)) End(c);
    }
    for (long f = 0; f < frames && f < static_cast<long>(mixL_.size()); ++f) {
      peakL = std::max(peakL, std::fabs(mixL_[f]));
      peakR = std::max(peakR, std::fabs(mixR_[f]));
      mixL_[f] = mixR_[f] = 0;
    }
    Prune();
    return {std::min(peakL, 1.0), std::min(peakR, 1.0)};
  }

 private:
  struct Channel {
    int sound = 0;
    std::shared_ptr<const PcmData> pcm;
    double position = 0;  // in frames of the sound
    double volume = 1, pan = 0, rate = 1, depth = 0;
    bool paused = false;
    bool active = false;  // a sound is cued or playing and has not ended
    bool tracked = false;
  };

  int64_t Now() const { return clock_ ? clock_() : 0; }

  Channel* Get(int channel) { return channels_.Find(channel); }

  void Track(int channel) {
    Channel& c = *channels_.Find(channel);
    if (!c.tracked) {
      c.tracked = true;
      live_.push_back(channel);
    }
  }

  // Positions add up in steps of clock time; the tolerance keeps rounding from
  // leaving a channel one step past its end.
  static bool Finished(double position, double length) { return position >= length - 1e-6; }

  static void End(Channel& c) {
    c.active = false;
    c.pcm.reset();
  }

  // Advances every running channel by the clock time passed since the last call.
  void Sync() {
    int64_t now = Now();
    int64_t elapsed = now - last_;
    last_ = now;
    if (elapsed <= 0) return;
    for (int id : live_) {
      Channel* found = channels_.Find(id);
      if (!found) continue;
      Channel& c = *found;
      if (!c.active || c.paused || c.rate <= 0) continue;
      double length = static_cast<double>(c.pcm->samples.size() / c.pcm->channels);
      c.position += c.rate * c.pcm->rate * (elapsed / 1000.0);
      if (Finished(c.position, length)) End(c);
    }
    Prune();
  }

  // Only running channels are visited; the ones that ended become idle records.
  void Prune() {
    ended_.clear();
    auto keep = std::remove_if(live_.begin(), live_.end(), [this](int id) {
      Channel* c = channels_.Find(id);
      if (c && c->active) return false;
      if (c) {
        c->tracked = false;
        ended_.push_back(id);
      }
      return true;
    });
    live_.erase(keep, live_.end());
    for (int id : ended_) channels_.MarkIdle(id);
  }

  std::vector<std::string> names_;
  std::string requested_, selected_;
  bool device_;
  std::function<int64_t()> clock_;
  int64_t last_ = 0;
  int nextSound_ = 1;
  std::map<int, std::shared_ptr<const PcmData>> sounds_;
  audio::ChannelPool<Channel> channels_;
  std::vector<int> live_, ended_;
  std::vector<double> mixL_, mixR_;
};

}  // namespace

std::unique_ptr<AudioDriver> MakeHeadlessAudio(std::vector<std::string> driverNames, bool deviceAvailable,
                                               std::function<int64_t()> clock) {
  return std::make_unique<HeadlessAudio>(std::move(driverNames), deviceAvailable, std::move(clock));
}

MixerChannelInfo HeadlessChannelInfo(AudioDriver& audio, int channel) {
  auto* mixer = dynamic_cast<HeadlessAudio*>(&audio);
  return mixer ? mixer->Info(channel) : MixerChannelInfo{};
}

std::string HeadlessRequestedDriver(AudioDriver& audio) {
  auto* mixer = dynamic_cast<HeadlessAudio*>(&audio);
  return mixer ? mixer->Requested() : std::string();
}

std::string HeadlessSelectedDriver(AudioDriver& audio) {
  auto* mixer = dynamic_cast<HeadlessAudio*>(&audio);
  return mixer ? mixer->Selected() : std::string();
}

std::pair<double, double> HeadlessMix(AudioDriver& audio, int milliseconds) {
  auto* mixer = dynamic_cast<HeadlessAudio*>(&audio);
  return mixer ? mixer->Mix(milliseconds) : std::pair<double, double>{0, 0};
}

// Constant-power pan: equal power at the centre, one side silent at the extremes.
// Stereo sounds are balanced instead, so that the centre keeps both sides at full.
void PanGains(double pan, int channels, double& left, double& right) {
  double angle = (pan + 1.0) * std::numbers::pi / 4.0;  // 0 hard left .. pi/2 hard right
  left = std::cos(angle);
  right = std::sin(angle);
  if (channels == 2) {
    left = std::min(1.0, left * std::numbers::sqrt2);
    right = std::min(1.0, right * std::numbers::sqrt2);
  }
  if (left < 1e-9) left = 0;
  if (right < 1e-9) right = 0;
}

void SampleAt(const PcmData& pcm, double position, double& left, double& right) {
  const long length = static_cast<long>(pcm.samples.size()) / pcm.channels;
  const long i = static_cast<long>(position);
  const double t = position - static_cast<double>(i);
  const long j = std::min(i + 1, length - 1);
  if (pcm.channels == 1) {
    left = right = pcm.samples[i] * (1 - t) + pcm.samples[j] * t;
  } else {
    left = pcm.samples[2 * i] * (1 - t) + pcm.samples[2 * j] * t;
    right = pcm.samples[2 * i + 1] * (1 - t) + pcm.samples[2 * j + 1] * t;
  }
}

}  // namespace plat
