// The real machine's audio driver, over OpenAL Soft.
//
// Sounds are AL buffers and channels are our own records; a channel gets an AL
// source when a sound is cued on it. Callers abandon channels freely (the music
// takes a new one for every note), so sources are lent, not owned: when none is
// free, one whose sound has ended is taken back, and failing that the one cued
// longest ago.
//
// "Playing" means the channel holds a sound that has not ended and was not
// stopped: a cued channel that is still paused, a paused one and one held at
// rate 0 all count as playing, since their sound would still come out.
//
// Without any sound device the driver runs silently: sounds and channels are
// still handed out so that callers need no special case, but nothing plays.
#include <AL/al.h>
#include <AL/alc.h>
// The one extension token used, asked for only where the extension is present; not
// every OpenAL ships the extension header that names it (the page's does not).
#ifndef AL_DIRECT_CHANNELS_SOFT
#define AL_DIRECT_CHANNELS_SOFT 0x1033
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numbers>

#include "platform/audio/audio_internal.h"
#include "platform/audio/openal/openal_target.h"
#include "platform/backend.h"

namespace plat {
namespace {

using audio::Clamp;
using audio::kMaxRate;

constexpr size_t kMaxDriverNames = 100;
// Enough for the 260 slots of the program's channel table, with room to spare.
constexpr ALCint kMonoSources = 300;
constexpr ALCint kStereoSources = 32;


// Whether the process has called into the library, which reads its settings
// (ALSOFT_DRIVERS among them) once, at its first call.
bool& LibraryStarted() {
  static bool started = false;
  return started;
}

// A list of zero-terminated names ended by an empty one, as ALC returns them.
std::vector<std::string> SplitList(const ALCchar* list) {
  std::vector<std::string> names;
  while (list && *list) {
    names.emplace_back(list);
    list += std::strlen(list) + 1;
  }
  return names;
}

class OpenALAudio : public AudioDriver {
 public:
  OpenALAudio() {
    // A reclaimed record gives its source back first.
    channels_.OnReclaim([this](int, ChannelRecord& c) {
      if (c.source >= 0 && context_) Detach(sources_[c.source], false);
    });
  }
  ~OpenALAudio() override { Close(); }

  std::vector<std::string> DriverNames() override {
    if (names_.empty()) {
      names_.push_back("OpenAL");
      named_ = NamedBackends();
      if (!named_.empty()) {
        // Listing devices would start the library on its own choice of back
        // end, and a named output can only be held to before it starts: where
        // a target names its outputs, those are the choices.
        for (const NamedBackend& n : named_) names_.push_back(n.name);
        return names_;
      }
      // Enumeration probes every back end of the library, so it is done once.
      LibraryStarted() = true;
      bool all = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT") == ALC_TRUE;
      auto devices = SplitList(alcGetString(nullptr, all ? ALC_ALL_DEVICES_SPECIFIER : ALC_DEVICE_SPECIFIER));
      for (const std::string& device : devices) {
        if (names_.size() >= kMaxDriverNames) break;
        names_.push_back("OpenAL " + device);
      }
    }
    return names_;
  }

  bool SelectDriver(const std::string& name) override {
    std::string device;
    if (name == "OpenAL") {
      device = "";
    } else if (name.rfind("OpenAL ", 0) == 0) {
      device = name.substr(7);
    } else {
      DriverNames();
      auto named = std::find_if(named_.begin(), named_.end(), [&](const NamedBackend& n) { return n.name == name; });
      if (named == named_.end()) return false;
      if (device_ && heldTo_ == named->backend) return true;
      // The library picks its back end once, when it starts.
      if (LibraryStarted()) {
        Notice("Audio driver " + name + " can only be chosen at start");
        return false;
      }
      if (!HoldToBackend(named->backend)) {
        Notice("Audio driver " + name + ": ALSOFT_DRIVERS chooses the sound library's back ends");
        return false;
      }
      heldTo_ = named->backend;
    }
    if (device_ && device == deviceName_) return true;
    // Buffers belong to the device, so the device is only changed before any sound exists.
    if (!sounds_.empty()) {
      Notice("Audio driver " + name + " can only be chosen before sounds are loaded");
      return false;
    }
    Close();
    silent_ = false;
    if (!Open(device)) {
      Notice("Could not open sound device " + name);
      return false;
    }
    return true;
  }

  bool EnableOpenAL() override {
    if (device_) return true;
    if (silent_) return false;
    if (Open("")) return true;
    GoSilent();  // probing every back end again at the first sound would only repeat this
    return false;
  }

  int CreateSound(const PcmData& pcm) override {
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.samples.empty()) return 0;
    if (pcm.samples.size() % pcm.channels != 0) return 0;
    SoundRecord record;
    record.channels = pcm.channels;
    if (Ready()) {
      alGetError();
      alGenBuffers(1, &record.buffer);
      if (alGetError() != AL_NO_ERROR) return 0;
      alBufferData(record.buffer, pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.samples.data(),
                   static_cast<ALsizei>(pcm.samples.size() * sizeof(int16_t)), pcm.rate);
      if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &record.buffer);
        return 0;
      }
    }
    int id = nextSound_++;
    sounds_[id] = record;
    return id;
  }

  void FreeSound(int sound) override {
    auto it = sounds_.find(sound);
    if (it == sounds_.end()) return;
    if (it->second.buffer && Ready()) {
      // A buffer still attached to a source cannot be deleted.
      for (Source& s : sources_) {
        ChannelRecord* owner = s.owner ? channels_.Find(s.owner) : nullptr;
        if (owner && owner->sound == sound) Detach(s, true);
      }
      alDeleteBuffers(1, &it->second.buffer);
    }
    channels_.ForEach([sound](int, ChannelRecord& c) {
      if (c.sound == sound) c.sound = 0;
    });
    sounds_.erase(it);
  }

  int AllocChannel() override {
    Ready();  // opens the default device on first use, or notes that there is none
    return channels_.Alloc();
  }

  void Cue(int channel, int sound) override {
    auto it = sounds_.find(sound);
    if (it == sounds_.end()) return;
    ChannelRecord* c = channels_.Revive(channel);
    if (!c) return;
    c->sound = sound;
    c->paused = true;
    c->cued = false;
    // Busy first: lending a source may make other records idle and reclaim the oldest.
    channels_.MarkBusy(channel);
    Source* s = it->second.buffer && Ready() ? SourceFor(channel) : nullptr;
    if (!s) {
      channels_.MarkIdle(channel);  // silent, or no source to be had: nothing will play
      return;
    }
    alSourceStop(s->id);
    alSourcei(s->id, AL_BUFFER, static_cast<ALint>(it->second.buffer));
    alSourceRewind(s->id);  // AL_INITIAL: ready, nothing heard until played
    if (hasDirectChannels_) {
      alSourcei(s->id, AL_DIRECT_CHANNELS_SOFT, it->second.channels == 2 ? AL_TRUE : AL_FALSE);
    }
    c->cued = true;
    c->stamp = ++cueCount_;
    ApplyGain(*c);
    ApplyPan(*c);
    if (c->rate > 0) alSourcef(s->id, AL_PITCH, static_cast<ALfloat>(c->rate));
  }

  void Stop(int channel) override {
    ChannelRecord* c = Get(channel);
    if (!c) return;
    if (Source* s = SourceOf(*c)) alSourceStop(s->id);
    c->cued = false;
    channels_.MarkIdle(channel);
  }

  void SetPaused(int channel, bool paused) override {
    if (ChannelRecord* c = Get(channel)) {
      c->paused = paused;
      ApplyRunning(*c);
    }
  }

  void SetVolume(int channel, double volume) override {
    if (ChannelRecord* c = Get(channel)) {
      c->volume = Clamp(volume, 0, 1);
      ApplyGain(*c);
    }
  }

  void SetPan(int channel, double pan) override {
    if (ChannelRecord* c = Get(channel)) {
      c->pan = Clamp(pan, -1, 1);
      ApplyPan(*c);
    }
  }

  // Depth is kept but not heard: the program places sounds on the left-right axis only.
  void SetDepth(int channel, double depth) override {
    if (ChannelRecord* c = Get(channel)) c->depth = std::isfinite(depth) ? depth : 0;
  }

  // AL has no pitch 0, so rate 0 holds the source paused where it is; a positive
  // rate later resumes it from there.
  void SetRate(int channel, double rate) override {
    ChannelRecord* c = Get(channel);
    if (!c) return;
    c->rate = Clamp(rate, 0, kMaxRate);
    if (Source* s = SourceOf(*c); s && c->rate > 0) alSourcef(s->id, AL_PITCH, static_cast<ALfloat>(c->rate));
    ApplyRunning(*c);
  }

  bool Playing(int channel) override {
    ChannelRecord* c = Get(channel);
    if (!c || !c->cued) return false;
    Source* s = SourceOf(*c);
    if (!s) return false;
    if (State(*s) == AL_STOPPED) {
      c->cued = false;
      channels_.MarkIdle(channel);
    }
    return c->cued;
  }

  int LiveChannels() const override { return static_cast<int>(channels_.Live()); }

 private:
  struct SoundRecord {
    ALuint buffer = 0;  // 0 when running silently
    int channels = 1;
  };
  struct ChannelRecord {
    int sound = 0;
    int source = -1;     // index into sources_, -1 for none
    bool cued = false;   // a sound is on the source and has not been stopped
    bool paused = false;
    double volume = 1, pan = 0, rate = 1, depth = 0;
    uint64_t stamp = 0;  // when the sound was cued, for choosing a source to take back
  };
  struct Source {
    ALuint id = 0;
    int owner = 0;  // channel id, 0 when free
  };

  bool Open(const std::string& device) {
    LibraryStarted() = true;
    device_ = alcOpenDevice(device.empty() ? nullptr : device.c_str());
    if (!device_) return false;
    const ALCint attributes[] = {ALC_MONO_SOURCES, kMonoSources, ALC_STEREO_SOURCES, kStereoSources, 0};
    context_ = alcCreateContext(device_, attributes);
    if (!context_ || alcMakeContextCurrent(context_) != ALC_TRUE) {
      if (context_) alcDestroyContext(context_);
      alcCloseDevice(device_);
      context_ = nullptr;
      device_ = nullptr;
      return false;
    }
    deviceName_ = device;
    hasDirectChannels_ = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
    sourceLimitReached_ = false;
    return true;
  }

  void Close() {
    if (!context_) return;
    alcMakeContextCurrent(context_);
    for (Source& s : sources_) {
      alSourceStop(s.id);
      alDeleteSources(1, &s.id);
    }
    sources_.clear();
    channels_.ForEach([](int, ChannelRecord& c) {
      c.source = -1;
      c.cued = false;
    });
    for (auto& [id, sound] : sounds_) {
      if (sound.buffer) alDeleteBuffers(1, &sound.buffer);
      sound.buffer = 0;
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
    context_ = nullptr;
    device_ = nullptr;
  }

  // True when a device is open (opening the default on first use) and our context
  // is current. Without one the driver goes silent, and says so once.
  bool Ready() {
    if (!device_ && !silent_ && !Open("")) GoSilent();
    if (!context_) return false;
    if (alcGetCurrentContext() != context_) alcMakeContextCurrent(context_);
    return true;
  }

  void GoSilent() {
    silent_ = true;
    if (!reportedSilence_) Notice("No sound device could be opened: running without sound");
    reportedSilence_ = true;
  }

  ChannelRecord* Get(int channel) { return channels_.Find(channel); }

  Source* SourceOf(ChannelRecord& c) {
    if (c.source < 0 || !Ready()) return nullptr;
    return &sources_[c.source];
  }

  ALint State(const Source& s) {
    ALint state = AL_STOPPED;
    alGetSourcei(s.id, AL_SOURCE_STATE, &state);
    return state;
  }

  // Takes the source from its channel; `markIdle` false while the pool itself is
  // reclaiming that channel.
  void Detach(Source& s, bool markIdle) {
    alSourceStop(s.id);
    alSourcei(s.id, AL_BUFFER, 0);
    int owner = s.owner;
    s.owner = 0;
    if (ChannelRecord* c = owner ? channels_.Find(owner) : nullptr) {
      c->source = -1;
      c->cued = false;
      if (markIdle) channels_.MarkIdle(owner);
    }
  }

  // The channel's source, lending it one if it has none.
  Source* SourceFor(int channel) {
    ChannelRecord& c = *channels_.Find(channel);
    if (c.source >= 0) return &sources_[c.source];
    int index = -1;
    for (size_t i = 0; i < sources_.size() && index < 0; ++i) {
      if (!sources_[i].owner) index = static_cast<int>(i);
    }
    if (index < 0 && !sourceLimitReached_) index = NewSource();
    if (index < 0) index = TakeBackSource();
    if (index < 0) return nullptr;
    Source& s = sources_[index];
    if (s.owner) Detach(s, true);
    s.owner = channel;
    c.source = index;
    return &s;
  }

  int NewSource() {
    Source s;
    alGetError();
    alGenSources(1, &s.id);
    if (alGetError() != AL_NO_ERROR) {
      sourceLimitReached_ = true;
      return -1;
    }
    // Positions are relative to the listener and never fade with distance: they only pan.
    alSourcei(s.id, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(s.id, AL_ROLLOFF_FACTOR, 0.0f);
    sources_.push_back(s);
    return static_cast<int>(sources_.size()) - 1;
  }

  // A source whose sound has ended, else the one cued longest ago.
  int TakeBackSource() {
    if (sources_.empty()) return -1;
    int oldest = 0;
    for (size_t n = 0; n < sources_.size(); ++n) {
      size_t i = (scan_ + n) % sources_.size();
      ChannelRecord* owner = channels_.Find(sources_[i].owner);
      if (!owner || !owner->cued || State(sources_[i]) == AL_STOPPED) {
        scan_ = i + 1;
        return static_cast<int>(i);
      }
      ChannelRecord* oldestOwner = channels_.Find(sources_[oldest].owner);
      if (oldestOwner && owner->stamp < oldestOwner->stamp) oldest = static_cast<int>(i);
    }
    return oldest;
  }

  void ApplyGain(ChannelRecord& c) {
    if (Source* s = SourceOf(c)) alSourcef(s->id, AL_GAIN, static_cast<ALfloat>(c.volume));
  }

  // Constant power: the source sits on the unit circle around the listener, from
  // hard left through straight ahead to hard right.
  void ApplyPan(ChannelRecord& c) {
    Source* s = SourceOf(c);
    if (!s) return;
    double angle = c.pan * std::numbers::pi / 2;
    alSource3f(s->id, AL_POSITION, static_cast<ALfloat>(std::sin(angle)), 0.0f,
               static_cast<ALfloat>(-std::cos(angle)));
  }

  void ApplyRunning(ChannelRecord& c) {
    Source* s = SourceOf(c);
    if (!s || !c.cued) return;
    ALint state = State(*s);
    bool run = !c.paused && c.rate > 0;
    if (run && (state == AL_INITIAL || state == AL_PAUSED)) alSourcePlay(s->id);
    if (!run && state == AL_PLAYING) alSourcePause(s->id);
  }

  std::vector<std::string> names_;
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  std::string deviceName_;
  std::vector<NamedBackend> named_;
  std::string heldTo_;  // the back end a named output held the library to
  bool silent_ = false;  // no device: sounds and channels exist, nothing plays
  bool reportedSilence_ = false;
  bool hasDirectChannels_ = false;
  bool sourceLimitReached_ = false;
  int nextSound_ = 1;
  uint64_t cueCount_ = 0;
  size_t scan_ = 0;
  std::map<int, SoundRecord> sounds_;
  audio::ChannelPool<ChannelRecord> channels_;
  std::vector<Source> sources_;
};

}  // namespace

std::unique_ptr<AudioDriver> MakeOpenALAudio() {
  QuietOpenAL();
  return std::make_unique<OpenALAudio>();
}

}  // namespace plat
