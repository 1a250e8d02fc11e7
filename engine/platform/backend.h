// The driver model behind platform.h: one Backend interface with a real and a
// headless implementation. Common code (draw state, images, fonts, text streams,
// strings, random numbers, flip pacing) lives above it in platform/*.cpp and only
// asks a backend for what differs between machines.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "media/wav.h"
#include "platform/platform.h"

namespace plat {

// ---------------------------------------------------------------- renderer
// Corners in virtual coordinates (the renderer maps the virtual size onto its real
// pixels), texture coordinates in 0..1 of the texture.
struct QuadVertex {
  float x, y;
  float u, v;
};

// One textured (or, with texture 0, plain) quad in the current state. Vertex
// order: top-left, top-right, bottom-right, bottom-left of the unrotated quad.
struct Quad {
  QuadVertex v[4];
  uint8_t r, g, b;
  float a;
  int blend;      // BlendMode
  int texture;    // renderer texture id, 0 = untextured
  bool filtered;  // linear sampling (else nearest)
};

// kTextureAlpha8: the pixels are one byte each, the coverage of white texels (the
// draw colour tints them), as font glyphs are kept; otherwise RGBA8.
enum TextureFlags { kTextureFiltered = 2, kTextureMipmapped = 4, kTextureAlpha8 = 8 };

class Renderer {
 public:
  virtual ~Renderer() = default;
  // RGBA8 pixels (or coverage bytes with kTextureAlpha8), top row first. Returns
  // an id > 0, or 0 on failure. Updates use the texture's own pixel format.
  virtual int CreateTexture(int width, int height, const uint8_t* rgba, int flags) = 0;
  virtual void UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) = 0;
  virtual void DestroyTexture(int texture) = 0;
  virtual void SetVirtualSize(double width, double height) = 0;
  // Quads are drawn in order; the renderer may batch them until Present/ReadPixels.
  virtual void DrawQuads(const Quad* quads, int count) = 0;
  virtual void Clear() = 0;  // black
  // Back buffer pixels in real pixels, top row first, RGBA8. Clipped to the screen;
  // pixels outside read as opaque black.
  virtual void ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) = 0;
  // Hands what is batched to the device and lets it start drawing, without waiting
  // for it: a frame flushed before a sleep is drawn during the sleep.
  virtual void FlushDrawing() {}
  // vsync true waits for the vertical blank.
  virtual void Present(bool vsync) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// A draw call as the 2D layer issued it, in virtual coordinates, with its state.
struct DrawCall {
  enum Kind { kRect, kImage, kText } kind;
  int image = 0;  // kImage: image handle; kText: font handle (0 default font)
  int frame = 0;
  double x = 0, y = 0;           // position as passed to the call
  double width = 0, height = 0;  // kRect: size; kImage: frame size; kText: text width/height
  std::string text;              // kText
  int r = 255, g = 255, b = 255;
  double alpha = 1;
  int blend = kBlendAlpha;
  double rotation = 0;
  double scaleX = 1, scaleY = 1;
};

// ---------------------------------------------------------------- audio
// 16-bit PCM as the WAV codec gives it.
using PcmData = media::PcmData;

class AudioDriver {
 public:
  virtual ~AudioDriver() = default;
  virtual std::vector<std::string> DriverNames() = 0;
  virtual bool SelectDriver(const std::string& name) = 0;
  virtual bool EnableOpenAL() = 0;
  // Returns an id > 0, or 0 when the data cannot be used.
  virtual int CreateSound(const PcmData& pcm) = 0;
  virtual void FreeSound(int sound) = 0;
  virtual int AllocChannel() = 0;
  // Prepares the sound on the channel, paused; the caller unpauses it.
  virtual void Cue(int channel, int sound) = 0;
  virtual void Stop(int channel) = 0;
  virtual void SetPaused(int channel, bool paused) = 0;
  virtual void SetVolume(int channel, double volume) = 0;
  virtual void SetPan(int channel, double pan) = 0;
  virtual void SetDepth(int channel, double depth) = 0;
  virtual void SetRate(int channel, double rate) = 0;
  virtual bool Playing(int channel) = 0;
  // Channel records held now (see audio::ChannelPool): bounded however many
  // sounds have been played.
  virtual int LiveChannels() const = 0;
};

// ---------------------------------------------------------------- input
// Shared polled input state; backends feed events into it from Pump().
//
// keyDown and mouseDown are what the machine holds now. Queries read through
// ReadKey and ReadMouse, which also keep quick presses: an input pressed and let
// go before any query has read it held still reads held until the end of the
// frame in which it is first read (or, when nothing reads it, of the frame after
// the one it came in), so that a tap between two frames' checks is not lost.
struct InputState {
  std::array<bool, 256> keyDown{};
  std::array<int, 256> keyHits{};
  std::array<bool, 4> mouseDown{};
  std::array<int, 4> mouseHits{};
  std::array<uint8_t, 256> keyTap{};  // quick-press bookkeeping, see input.cpp
  std::array<uint8_t, 4> mouseTap{};
  double mouseX = 0, mouseY = 0;  // real pixels
  std::deque<int> typed;
  bool closeRequested = false;

  // A press counts one hit only when the key was up (system repeats are ignored);
  // mouse buttons 1..3 are also held and hit as key codes 1..3.
  void PressKey(int key);
  void ReleaseKey(int key);
  void PressMouse(int button);
  void ReleaseMouse(int button);
  // Held now, or a quick press still being shown; counts as read.
  bool ReadKey(int key);
  bool ReadMouse(int button);
  // The end of a frame: quick presses read in it, or left unread for a whole
  // frame, are let go.
  void EndFrame();
};

// ---------------------------------------------------------------- backend
class Backend {
 public:
  virtual ~Backend() = default;

  virtual bool Start() = 0;
  virtual void Shutdown() {}
  [[noreturn]] virtual void Exit(int code) = 0;

  // Display
  virtual std::vector<DisplayMode> Modes() = 0;
  // Opens a window (depth 0) or full screen with the given renderer choice
  // (GraphicsDriver). Returns false when no display can be had.
  virtual bool Open(int width, int height, int depth, int hz, int flags, int driver) = 0;
  virtual void Close() = 0;
  virtual Renderer* renderer() = 0;  // null while no display is open
  // Bumped each time a display is opened, so that textures can be re-created.
  virtual int DisplayGeneration() const = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetPointerVisible(bool visible) = 0;
  virtual void WarpMouse(double realX, double realY) = 0;

  // Input: applies pending events to the shared state.
  virtual void Pump(InputState& input) = 0;
  // Gives the processor away until an event is pending or the time has passed,
  // without taking the event (Pump does that).
  virtual void WaitEvents(int milliseconds) { Sleep(milliseconds); }
  virtual int JoyCount() = 0;
  virtual JoystickState Joystick(int port) = 0;

  // Time
  virtual int64_t Millisecs() = 0;
  virtual void Sleep(int milliseconds) = 0;
  // A page shows a frame only while the program sleeps, so it sleeps once a frame,
  // just after the flip: the frame pacing's wait is handed over to be slept there.
  virtual bool WaitsAtFlip() const { return false; }
  virtual int RendererChoices() const { return 3; }
  virtual void WaitAtNextFlipUntil(int64_t millis) {}
  virtual std::time_t WallClock() = 0;  // for date and time texts

  // Sound
  virtual AudioDriver& Audio() = 0;

  // Draw-call recording (the headless backend records for tests).
  virtual bool RecordingDrawCalls() const { return false; }
  virtual void RecordDrawCall(const DrawCall&) {}
  // Told the sync argument of every Flip, before the present (the headless backend
  // keeps it for tests).
  virtual void NoteFlip(int sync) {}
  // Told of a frame that frame skipping leaves unshown.
  virtual void NoteSkippedFlip() {}
};

// Factories of the real machine's pieces (platform/sdl_backend.cpp, audio_openal.cpp).
std::unique_ptr<Backend> MakeSdlBackend();
std::unique_ptr<AudioDriver> MakeOpenALAudio();
// The offscreen software renderer (platform/soft_renderer.cpp): real pixels,
// rasterised lazily when pixels are read.
std::unique_ptr<Renderer> MakeSoftRenderer(int width, int height);

// Reads a WAV file into 16-bit PCM (platform/sound.cpp). False for a missing,
// unreadable or unsupported file.
bool DecodeWav(const std::string& path, PcmData& out);

// How the in-memory mixer places and reads a sound (platform/audio_headless.cpp),
// for code that mixes the same way: constant-power pan gains for a pan in -1..1
// (stereo sounds balanced), and the left and right sample at a fractional frame
// position, linearly interpolated (position must be below the frame count).
void PanGains(double pan, int channels, double& left, double& right);
void SampleAt(const PcmData& pcm, double position, double& left, double& right);

// Access for the backends to the shared input state (owned by input.cpp).
InputState& Input();

// For a backend whose display connection is gone (lifecycle.cpp): logs it, runs
// EndHooks.SaveForEnd, flushes the files and ends the process with status 1 at
// once, so that nothing talks to the dead display again.
[[noreturn]] void EndForLostDisplay();

}  // namespace plat
