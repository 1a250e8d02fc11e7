// Sounds read from WAV files, played on channels of the current audio driver.
#pragma once

#include <string>
#include <vector>

namespace plat {

using Sound = int;
using Channel = int;

// ---------------------------------------------------------------- sound
std::vector<std::string> AudioDrivers();
bool AudioDriverExists(const std::string& name);  // letter case ignored
bool SetAudioDriver(const std::string& name);
bool EnableOpenAL();
Sound LoadSound(const std::string& path, int flags = 0);
void FreeSound(Sound sound);
Channel AllocChannel();
Channel PlaySound(Sound sound, Channel channel = 0);
Channel CueSound(Sound sound, Channel channel = 0);
void StopChannel(Channel channel);
void SetChannelPaused(Channel channel, bool paused);
void SetChannelVolume(Channel channel, double volume);
void SetChannelPan(Channel channel, double pan);
void SetChannelDepth(Channel channel, double depth);
void SetChannelRate(Channel channel, double rate);
bool ChannelPlaying(Channel channel);
// Channel records the sound driver holds now. A channel whose sound has ended or
// been stopped is reclaimed after a while (its handle then reads as not playing,
// and cueing a sound on it again starts it afresh), so this stays bounded however
// many sounds are played.
int LiveChannelCount();

}  // namespace plat
