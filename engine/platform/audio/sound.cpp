// Sounds and channels: WAV files decoded by the media codec, and the channel
// operations, which go to the current backend's audio driver. Handle 0 is "none"
// and does nothing.
#include <cctype>
#include <cstdio>

#include "platform/backend.h"
#include "platform/platform_internal.h"
#include "platform/os.h"

namespace plat {
namespace {

AudioDriver* Audio() { return &CurrentBackend().Audio(); }

}  // namespace

bool DecodeWav(const std::string& logical, PcmData& out) {
  const std::string path = detail::ReadPath(logical);
  if (sys::Examine(path).kind != sys::EntryKind::File) return false;
  std::vector<unsigned char> file;
  if (std::FILE* in = sys::OpenForReading(path)) {
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) file.insert(file.end(), chunk, chunk + got);
    std::fclose(in);
  }
  if (file.empty()) return false;
  std::string why;
  switch (media::DecodeWav(file.data(), file.size(), out, &why)) {
    case media::WavError::kNone:
      return true;
    case media::WavError::kUnreadable:
      Notice("Could not read sound file " + path + ": " + why);
      return false;
    case media::WavError::kUnsupported:
      Notice("Sound file " + path + " uses an unsupported WAV encoding (" + why + ")");
      return false;
    case media::WavError::kNoSamples:
      Notice("Sound file " + path + " holds no samples that can be played");
      return false;
  }
  return false;
}

std::vector<std::string> AudioDrivers() {
  AudioDriver* audio = Audio();
  return audio ? audio->DriverNames() : std::vector<std::string>{};
}

bool AudioDriverExists(const std::string& name) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::string wanted = lower(name);
  for (const std::string& driver : AudioDrivers()) {
    if (lower(driver) == wanted) return true;
  }
  return false;
}

bool SetAudioDriver(const std::string& name) {
  AudioDriver* audio = Audio();
  return audio && audio->SelectDriver(name);
}

bool EnableOpenAL() {
  AudioDriver* audio = Audio();
  return audio && audio->EnableOpenAL();
}

Sound LoadSound(const std::string& path, int flags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  AudioDriver* audio = Audio();
  PcmData pcm;
  if (!audio || !DecodeWav(path, pcm)) return 0;
  return audio->CreateSound(pcm);
}

void FreeSound(Sound sound) {
  if (AudioDriver* audio = Audio(); audio && sound) audio->FreeSound(sound);
}

Channel AllocChannel() {
  AudioDriver* audio = Audio();
  return audio ? audio->AllocChannel() : 0;
}

Channel CueSound(Sound sound, Channel channel) {
  AudioDriver* audio = Audio();
  if (!audio || !sound) return 0;
  if (!channel) channel = audio->AllocChannel();
  if (channel) audio->Cue(channel, sound);
  return channel;
}

Channel PlaySound(Sound sound, Channel channel) {
  channel = CueSound(sound, channel);
  if (channel) Audio()->SetPaused(channel, false);
  return channel;
}

void StopChannel(Channel channel) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->Stop(channel);
}

void SetChannelPaused(Channel channel, bool paused) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetPaused(channel, paused);
}

void SetChannelVolume(Channel channel, double volume) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetVolume(channel, volume);
}

void SetChannelPan(Channel channel, double pan) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetPan(channel, pan);
}

void SetChannelDepth(Channel channel, double depth) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetDepth(channel, depth);
}

void SetChannelRate(Channel channel, double rate) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetRate(channel, rate);
}

bool ChannelPlaying(Channel channel) {
  AudioDriver* audio = Audio();
  return audio && channel && audio->Playing(channel);
}

int LiveChannelCount() { return Audio()->LiveChannels(); }

}  // namespace plat
