// The headless backend: a virtual clock, scripted input, an offscreen renderer and
// an in-memory mixer, so that every screen can run in tests without a window.
#include "platform/headless/headless.h"
#include "platform/machines.h"
#include "platform/os.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/render/soft/soft_renderer.h"

namespace plat {

namespace {

// Reads of the clock and input polls in a row, with no time passing, after which
// the virtual clock moves on by 1 ms. A loop that waits for time or input without
// sleeping would otherwise never end on a clock that only sleeping advances.
constexpr int kIdleCallsPerMillisecond = 10000;

// Unique over the whole run, so that textures made for an earlier backend's
// display are never mistaken for current ones.
int NextDisplayGeneration() {
  static int generation = 0;
  return ++generation;
}

}  // namespace

namespace {

// What a presented frame is reported to.
class FrameOwner {
 public:
  virtual ~FrameOwner() = default;
  virtual void OnPresent(SoftRenderer* inner, bool vsync) = 0;
  virtual void OnClear() = 0;
};

// The renderer handed to the drawing layer: forwards to the software renderer and
// turns each Present into a counted, hookable frame.
class FrameRenderer : public Renderer {
 public:
  FrameRenderer(FrameOwner& owner, SoftRenderer* inner, int width, int height)
      : owner_(owner), inner_(inner), width_(width), height_(height) {}

  int CreateTexture(int width, int height, const uint8_t* rgba, int flags) override {
    return inner_ ? inner_->CreateTexture(width, height, rgba, flags) : 0;
  }
  void UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) override {
    if (inner_) inner_->UpdateTexture(texture, x, y, width, height, rgba);
  }
  void DestroyTexture(int texture) override {
    if (inner_) inner_->DestroyTexture(texture);
  }
  void SetVirtualSize(double width, double height) override {
    if (inner_) inner_->SetVirtualSize(width, height);
  }
  void DrawQuads(const Quad* quads, int count) override {
    if (inner_) inner_->DrawQuads(quads, count);
  }
  void Clear() override {
    if (inner_) inner_->Clear();
    owner_.OnClear();
  }
  void ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) override;
  void Present(bool vsync) override;
  int Width() const override { return inner_ ? inner_->Width() : width_; }
  int Height() const override { return inner_ ? inner_->Height() : height_; }

 private:
  FrameOwner& owner_;
  SoftRenderer* inner_;
  int width_, height_;
};

}  // namespace

struct HeadlessBackend::Impl : FrameOwner {
  HeadlessBackend& self;
  HeadlessOptions options;
  int64_t now;
  int presentCost = 0;
  int idleCalls = 0;
  std::function<void(int)> frameHook;
  std::multimap<int64_t, std::function<void(InputState&)>> events;  // equal times keep their order
  std::vector<JoystickState> joysticks;
  JoystickState scratchStick;

  std::unique_ptr<SoftRenderer> soft;
  std::unique_ptr<FrameRenderer> frame;
  bool open = false;
  bool fullScreen = false;
  int generation = 0;
  std::string title;
  bool pointerVisible = true;

  int framesPresented = 0;
  int frameCap;
  bool lastVsync = false;
  std::optional<int> lastFlipSync;
  bool recording = false;
  std::vector<DrawCall> currentCalls, lastCalls;

  std::unique_ptr<AudioDriver> audio;
  bool mixer = false;  // audio is the in-memory mixer (not the silent stand-in)

  Impl(HeadlessBackend& backend, HeadlessOptions opts)
      : self(backend), options(std::move(opts)), now(options.startMillis), frameCap(options.frameCap) {}

  void Advance(int64_t milliseconds) {
    idleCalls = 0;
    if (milliseconds > 0) now += milliseconds;
  }

  void Idle() {
    if (++idleCalls >= kIdleCallsPerMillisecond) {
      idleCalls = 0;
      ++now;
    }
  }

  void OnPresent(SoftRenderer* inner, bool vsync) override {
    if (frameHook) frameHook(framesPresented);
    if (inner) inner->Present(vsync);
    lastVsync = vsync;
    lastCalls = std::move(currentCalls);
    currentCalls.clear();
    ++framesPresented;
    Advance(presentCost);
    if (frameCap > 0 && framesPresented >= frameCap) self.Exit(0);
  }

  // What was drawn before a clear is no longer in the picture.
  void OnClear() override { currentCalls.clear(); }
};

namespace {

void FrameRenderer::ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) {
  if (inner_) {
    inner_->ReadPixels(x, y, width, height, rgbaOut);
    return;
  }
  for (int64_t i = 0, n = static_cast<int64_t>(std::max(0, width)) * std::max(0, height); i < n; ++i) {
    rgbaOut[i * 4 + 0] = rgbaOut[i * 4 + 1] = rgbaOut[i * 4 + 2] = 0;
    rgbaOut[i * 4 + 3] = 255;
  }
}

void FrameRenderer::Present(bool vsync) { owner_.OnPresent(inner_, vsync); }

}  // namespace

HeadlessBackend::HeadlessBackend(HeadlessOptions options)
    : impl_(std::make_unique<Impl>(*this, std::move(options))) {
  Impl* impl = impl_.get();
  impl->audio = MakeHeadlessAudio(impl->options.audioDrivers, impl->options.audioDevice,
                                  [impl] { return impl->now; });
  impl->mixer = impl->audio != nullptr;
}

HeadlessBackend::~HeadlessBackend() = default;

// --- test control -----------------------------------------------------------

int64_t HeadlessBackend::Now() const { return impl_->now; }
void HeadlessBackend::AdvanceTime(int milliseconds) { impl_->Advance(milliseconds); }
void HeadlessBackend::SetPresentCost(int milliseconds) { impl_->presentCost = std::max(0, milliseconds); }
void HeadlessBackend::OnFrame(std::function<void(int frame)> hook) { impl_->frameHook = std::move(hook); }
InputState& HeadlessBackend::ScriptInput() { return Input(); }

void HeadlessBackend::At(int64_t atMillis, std::function<void(InputState&)> event) {
  if (event) impl_->events.emplace(atMillis, std::move(event));
}

void HeadlessBackend::PlugJoystick(const JoystickState& state) {
  impl_->joysticks.push_back(state);
  impl_->joysticks.back().connected = true;
}

JoystickState& HeadlessBackend::JoystickAt(int port) {
  if (port < 0 || port >= static_cast<int>(impl_->joysticks.size())) {
    impl_->scratchStick = JoystickState{};
    return impl_->scratchStick;
  }
  return impl_->joysticks[port];
}

void HeadlessBackend::UnplugJoystick(int port) {
  if (port >= 0 && port < static_cast<int>(impl_->joysticks.size())) impl_->joysticks[port].connected = false;
}

void HeadlessBackend::RequestClose() { Input().closeRequested = true; }

int HeadlessBackend::FramesPresented() const { return impl_->framesPresented; }
void HeadlessBackend::SetFrameCap(int frames) { impl_->frameCap = frames; }
bool HeadlessBackend::LastPresentVsync() const { return impl_->lastVsync; }
std::optional<int> HeadlessBackend::LastFlipSync() const { return impl_->lastFlipSync; }

void HeadlessBackend::SetRecording(bool on) {
  impl_->recording = on;
  if (!on) impl_->currentCalls.clear();
}
bool HeadlessBackend::Recording() const { return impl_->recording; }
const std::vector<DrawCall>& HeadlessBackend::CurrentFrameCalls() const { return impl_->currentCalls; }
const std::vector<DrawCall>& HeadlessBackend::LastFrameCalls() const { return impl_->lastCalls; }

std::vector<uint8_t> HeadlessBackend::FrontBufferPixels() {
  if (!impl_->open) return {};
  if (impl_->soft) return impl_->soft->FrontPixels();
  // Without a rasteriser the screen stays black.
  std::vector<uint8_t> black(static_cast<size_t>(impl_->frame->Width()) * impl_->frame->Height() * 4, 0);
  for (size_t i = 3; i < black.size(); i += 4) black[i] = 255;
  return black;
}

bool HeadlessBackend::DisplayOpenedFullScreen() const { return impl_->fullScreen; }
std::string HeadlessBackend::WindowTitle() const { return impl_->title; }
bool HeadlessBackend::PointerVisible() const { return impl_->pointerVisible; }

std::string HeadlessBackend::SelectedAudioDriver() {
  return impl_->mixer ? HeadlessSelectedDriver(*impl_->audio) : std::string();
}

std::string HeadlessBackend::RequestedAudioDriver() {
  return impl_->mixer ? HeadlessRequestedDriver(*impl_->audio) : std::string();
}

MixerChannelInfo HeadlessBackend::ChannelInfo(int channel) {
  return impl_->mixer ? HeadlessChannelInfo(*impl_->audio, channel) : MixerChannelInfo{};
}

std::pair<double, double> HeadlessBackend::MixLevels(int milliseconds) {
  return impl_->mixer ? HeadlessMix(*impl_->audio, milliseconds) : std::pair<double, double>{0, 0};
}

// --- Backend ----------------------------------------------------------------

bool HeadlessBackend::Start() { return true; }

[[noreturn]] void HeadlessBackend::Exit(int code) { throw ProcessEnded{code}; }

std::vector<DisplayMode> HeadlessBackend::Modes() { return impl_->options.modes; }
int HeadlessBackend::RendererChoices() const { return impl_->options.rendererChoices; }
void HeadlessBackend::SetRendererChoices(int count) { impl_->options.rendererChoices = count; }

bool HeadlessBackend::Open(int width, int height, int depth, int hz, int flags, int driver) {
  Close();
  if (!impl_->options.displayAvailable || width <= 0 || height <= 0) return false;
  impl_->soft = MakeSoftRendererImpl(width, height);
  impl_->frame = std::make_unique<FrameRenderer>(*impl_, impl_->soft.get(), width, height);
  impl_->open = true;
  impl_->fullScreen = depth != 0;
  impl_->generation = NextDisplayGeneration();
  return true;
}

void HeadlessBackend::Close() {
  impl_->frame.reset();
  impl_->soft.reset();
  impl_->open = false;
}

Renderer* HeadlessBackend::renderer() { return impl_->frame.get(); }
int HeadlessBackend::DisplayGeneration() const { return impl_->generation; }
void HeadlessBackend::SetTitle(const std::string& title) { impl_->title = title; }
void HeadlessBackend::SetPointerVisible(bool visible) { impl_->pointerVisible = visible; }

void HeadlessBackend::WarpMouse(double realX, double realY) {
  Input().mouseX = realX;
  Input().mouseY = realY;
}

void HeadlessBackend::Pump(InputState& input) {
  impl_->Idle();
  auto& events = impl_->events;
  while (!events.empty() && events.begin()->first <= impl_->now) {
    auto event = std::move(events.begin()->second);
    events.erase(events.begin());
    event(input);  // may schedule further events
  }
}

void HeadlessBackend::WaitEvents(int milliseconds) {
  int64_t until = impl_->now + std::max(milliseconds, 0);
  if (!impl_->events.empty()) until = std::min(until, std::max(impl_->now, impl_->events.begin()->first));
  impl_->Advance(until - impl_->now);
}

int HeadlessBackend::JoyCount() { return static_cast<int>(impl_->joysticks.size()); }

JoystickState HeadlessBackend::Joystick(int port) {
  if (port < 0 || port >= JoyCount()) {
    JoystickState none;
    none.connected = false;
    return none;
  }
  return impl_->joysticks[port];
}

int64_t HeadlessBackend::Millisecs() {
  impl_->Idle();
  return impl_->now;
}

void HeadlessBackend::Sleep(int milliseconds) { impl_->Advance(milliseconds); }

// The configured instant's calendar fields are shown as local time whatever the
// machine's time zone, and the wall clock moves with the virtual clock.
std::time_t HeadlessBackend::WallClock() {
  int64_t elapsed = impl_->now - impl_->options.startMillis;
  std::time_t t = impl_->options.wallClock + static_cast<std::time_t>(elapsed >= 0 ? elapsed / 1000 : 0);
  std::tm fields{};
  if (!sys::UniversalTime(t, fields)) return t;
  fields.tm_isdst = -1;
  std::time_t local = std::mktime(&fields);
  return local == static_cast<std::time_t>(-1) ? t : local;
}

AudioDriver& HeadlessBackend::Audio() { return *impl_->audio; }
bool HeadlessBackend::RecordingDrawCalls() const { return impl_->recording; }

void HeadlessBackend::RecordDrawCall(const DrawCall& call) {
  if (impl_->recording) impl_->currentCalls.push_back(call);
}

void HeadlessBackend::NoteFlip(int sync) { impl_->lastFlipSync = sync; }

HeadlessBackend& UseHeadless(HeadlessOptions options) {
  auto backend = std::make_unique<HeadlessBackend>(std::move(options));
  HeadlessBackend& ref = *backend;
  UseBackend(std::move(backend));
  ref.Start();
  return ref;
}

}  // namespace plat

void plat::UseHeadlessMachine() { UseHeadless(); }
