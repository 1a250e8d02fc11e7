// Placeholder bodies; replaced by the real implementation.
#include "platform/headless.h"

namespace plat {

std::unique_ptr<AudioDriver> MakeHeadlessAudio(std::vector<std::string> driverNames, bool deviceAvailable,
                                               std::function<int64_t()> clock) {
  return nullptr;
}
MixerChannelInfo HeadlessChannelInfo(AudioDriver& audio, int channel) { return {}; }
std::pair<double, double> HeadlessMix(AudioDriver& audio, int milliseconds) { return {0, 0}; }

}  // namespace plat
