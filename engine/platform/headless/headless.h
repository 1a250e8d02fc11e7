// The headless backend: no window, no sound card. A virtual millisecond clock that
// sleeping advances at once, scripted input, an offscreen renderer that produces
// real pixels (rasterised lazily, only when pixels are read) and can record draw
// calls, an in-memory audio mixer, and a frame cap after which EndProcess is raised.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace plat {

// What the in-memory mixer knows of one channel.
struct MixerChannelInfo {
  int sound = 0;  // 0: nothing cued
  bool playing = false;
  bool paused = false;
  double volume = 1, pan = 0, rate = 1, depth = 0;
};

struct HeadlessOptions {
  std::vector<DisplayMode> modes = {{640, 480, 32, 60},  {800, 600, 16, 60},  {800, 600, 24, 60},
                                    {800, 600, 32, 60},  {1024, 768, 32, 60}, {1280, 960, 32, 60},
                                    {1280, 800, 32, 60}, {1920, 1080, 32, 60}};
  int frameCap = 0;          // presents after which EndProcess is raised; 0 = never
  int64_t startMillis = 1000;  // the virtual clock's start value
  std::time_t wallClock = 1291735812;  // 07 Dec 2010 15:30:12 UTC, read as local time
  bool displayAvailable = true;  // false: Open() fails as on a machine without a display
  std::vector<std::string> audioDrivers = {"OpenAL"};
  bool audioDevice = true;  // false: no sound device at all
  int rendererChoices = 3;  // 1: ours only, as in a web page
};

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(HeadlessOptions options = {});
  ~HeadlessBackend() override;

  // --- test control -------------------------------------------------------
  // The virtual clock. Besides sleeping and AdvanceTime, 10000 clock reads or input
  // polls in a row with no time passing move it on by 1 ms, so that a loop that
  // waits without sleeping still ends.
  int64_t Now() const;
  void AdvanceTime(int milliseconds);
  // Extra virtual time every Present costs (simulates render time). Default 0.
  void SetPresentCost(int milliseconds);
  // A function run at the start of each Present with the number of frames
  // presented before it (0 for the first). Used to script input per frame.
  void OnFrame(std::function<void(int frame)> hook);
  // Input applied immediately to the shared state (real pixel coordinates).
  InputState& ScriptInput();
  // Input events applied when the virtual clock reaches `atMillis`.
  void At(int64_t atMillis, std::function<void(InputState&)> event);
  void PlugJoystick(const JoystickState& state);  // appends a port
  JoystickState& JoystickAt(int port);
  void UnplugJoystick(int port);
  void RequestClose();
  void SetRendererChoices(int count);

  int FramesPresented() const;
  void SetFrameCap(int frames);
  // Whether the last Present waited for the vertical blank (sync 1 / full-screen -1).
  bool LastPresentVsync() const;
  // The sync argument of the last Flip (with or without an open display); empty
  // before the first.
  std::optional<int> LastFlipSync() const;

  // Draw-call recording: calls of the current (unpresented) frame and of the last
  // presented frame. Cls starts the current frame afresh, so a frame that is
  // cleared and redrawn without being presented leaves no calls behind, and
  // LastFrameCalls is exactly the picture the last Flip showed.
  void SetRecording(bool on);
  bool Recording() const;
  const std::vector<DrawCall>& CurrentFrameCalls() const;
  const std::vector<DrawCall>& LastFrameCalls() const;

  // Pixels of the last presented frame (RGBA8, top row first), rasterised on demand.
  std::vector<uint8_t> FrontBufferPixels();
  bool DisplayOpenedFullScreen() const;
  std::string WindowTitle() const;
  bool PointerVisible() const;

  // The name the last successful SetAudioDriver chose, "" while none; and the
  // name last asked for, whether or not it could be started.
  std::string SelectedAudioDriver();
  std::string RequestedAudioDriver();

  // The in-memory mixer, for inspection.
  MixerChannelInfo ChannelInfo(int channel);
  // Mixes `milliseconds` of output (advancing playback) and returns the peak absolute
  // level of each side, 0..1.
  std::pair<double, double> MixLevels(int milliseconds);

  // --- Backend ------------------------------------------------------------
  bool Start() override;
  [[noreturn]] void Exit(int code) override;
  std::vector<DisplayMode> Modes() override;
  int RendererChoices() const override;
  bool Open(int width, int height, int depth, int hz, int flags, int driver) override;
  void Close() override;
  Renderer* renderer() override;
  int DisplayGeneration() const override;
  void SetTitle(const std::string& title) override;
  void SetPointerVisible(bool visible) override;
  void WarpMouse(double realX, double realY) override;
  void Pump(InputState& input) override;
  // Moves the clock on to the first scripted event or by the time, whichever is sooner.
  void WaitEvents(int milliseconds) override;
  int JoyCount() override;
  JoystickState Joystick(int port) override;
  int64_t Millisecs() override;
  void Sleep(int milliseconds) override;
  std::time_t WallClock() override;
  AudioDriver& Audio() override;
  bool RecordingDrawCalls() const override;
  void RecordDrawCall(const DrawCall& call) override;
  void NoteFlip(int sync) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Fault injection for tests of whole-file saves (ReplaceFileContents): after
// `bytes` more bytes the writes fail as on a full disk. Negative lifts the limit.
void FailFileWritesAfter(long long bytes);

// Installs a fresh HeadlessBackend and starts it; returns it for test control.
HeadlessBackend& UseHeadless(HeadlessOptions options = {});

// The in-memory audio driver used by the headless backend (audio implementation).
// Playback advances with `clock` (the virtual clock), so a channel stops playing
// once its sound's length, divided by its rate, has passed on that clock.
std::unique_ptr<AudioDriver> MakeHeadlessAudio(std::vector<std::string> driverNames, bool deviceAvailable,
                                               std::function<int64_t()> clock);
MixerChannelInfo HeadlessChannelInfo(AudioDriver& audio, int channel);
// The driver names the headless audio was last asked for and last started ("" for none).
std::string HeadlessRequestedDriver(AudioDriver& audio);
std::string HeadlessSelectedDriver(AudioDriver& audio);
std::pair<double, double> HeadlessMix(AudioDriver& audio, int milliseconds);

}  // namespace plat
