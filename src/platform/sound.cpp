// Placeholder bodies; replaced by the real implementation.
#include <cstdlib>

#include "platform/backend.h"

namespace plat {

std::vector<std::string> AudioDrivers() { return {}; }
bool AudioDriverExists(const std::string& name) { return false; }
bool SetAudioDriver(const std::string& name) { return false; }
bool EnableOpenAL() { return false; }
Sound LoadSound(const std::string& path, int flags) { return 0; }
void FreeSound(Sound sound) {  }
Channel AllocChannel() { return 0; }
Channel PlaySound(Sound sound, Channel channel) { return 0; }
Channel CueSound(Sound sound, Channel channel) { return 0; }
void StopChannel(Channel channel) {  }
void SetChannelPaused(Channel channel, bool paused) {  }
void SetChannelVolume(Channel channel, double volume) {  }
void SetChannelPan(Channel channel, double pan) {  }
void SetChannelDepth(Channel channel, double depth) {  }
void SetChannelRate(Channel channel, double rate) {  }
bool ChannelPlaying(Channel channel) { return false; }
bool DecodeWav(const std::string& path, PcmData& out) { return false; }

}  // namespace plat
