// The display: opening and closing, flip with its timer pacing, the virtual
// resolution and the virtual mouse.
#include <algorithm>

#include "platform/platform_internal.h"
#include "platform/record/replay_internal.h"

namespace plat {

namespace {

// The display as opened, and the pacing of its frames; a new backend starts it afresh.
struct Display {
  int graphicsDriver = kDriverOpenGL;
  bool displayOpen = false;
  int displayWidth = 0, displayHeight = 0, displayDepth = 0, displayHz = 0;
  double virtualWidth = 0, virtualHeight = 0;

  // Timer pacing of Flip(-1) in a window.
  bool paceStarted = false;
  int64_t paceDue = 0;
  int paceRemainder = 0;
};

Display& Screen() {
  static Display display;
  return display;
}

Renderer* OpenRenderer() {
  if (!Screen().displayOpen || !HasBackend()) return nullptr;
  return CurrentBackend().renderer();
}

}  // namespace

void detail::ResetDisplayState() { Screen() = Display{}; }

std::vector<DisplayMode> DisplayModes() { return CurrentBackend().Modes(); }
int RendererChoices() { return CurrentBackend().RendererChoices(); }

void SetGraphicsDriver(int driver) {
  Screen().graphicsDriver = (driver >= kDriverOpenGL && driver <= kDriverDirect3D7) ? driver : kDriverOpenGL;
}

int GetGraphicsDriver() { return Screen().graphicsDriver; }

bool OpenDisplay(int width, int height, int depth, int hz, int flags) {
  Display& c = Screen();
  CloseDisplay();
  if (width <= 0 || height <= 0) {
    Notice("Refused a display of " + std::to_string(width) + "x" + std::to_string(height));
    return false;
  }
  Backend& b = CurrentBackend();
  if (!b.Open(width, height, depth, hz, flags, c.graphicsDriver)) {
    Notice("Could not open a display of " + std::to_string(width) + "x" + std::to_string(height) + "," +
           std::to_string(depth));
    return false;
  }
  c.displayOpen = true;
  c.displayWidth = width;
  c.displayHeight = height;
  c.displayDepth = depth;
  c.displayHz = std::max(0, hz);
  c.paceStarted = false;
  // A new display starts with its virtual space equal to its real pixels.
  c.virtualWidth = width;
  c.virtualHeight = height;
  if (Renderer* r = b.renderer()) r->SetVirtualSize(width, height);
  if (depth != 0) {
    double cx = GraphicsWidth() / 2.0, cy = GraphicsHeight() / 2.0;
    b.WarpMouse(cx, cy);
    Input().mouseX = cx;
    Input().mouseY = cy;
  }
  return true;
}

void CloseDisplay() {
  Display& c = Screen();
  if (!c.displayOpen) return;
  c.displayOpen = false;
  if (HasBackend()) CurrentBackend().Close();
}

bool DisplayIsOpen() { return Screen().displayOpen; }

int GraphicsWidth() {
  if (Renderer* r = OpenRenderer()) return r->Width();
  return Screen().displayOpen ? Screen().displayWidth : 0;
}

int GraphicsHeight() {
  if (Renderer* r = OpenRenderer()) return r->Height();
  return Screen().displayOpen ? Screen().displayHeight : 0;
}

void SetWindowTitle(const std::string& title) { CurrentBackend().SetTitle(title); }

namespace {

// Sleeps until the next due time of a timer running at hz, or restarts the
// schedule when the due time has already passed (a slow frame is not made up).
void PaceWindow(Backend& b, int hz) {
  Display& c = Screen();
  int64_t now = b.Millisecs();
  if (!c.paceStarted || now > c.paceDue) {
    c.paceStarted = true;
    c.paceDue = now;
    c.paceRemainder = 0;
  } else if (now < c.paceDue) {
    b.Sleep(static_cast<int>(c.paceDue - now));
  }
  int step = 1000 / hz;
  c.paceDue += step;
  c.paceRemainder += 1000 - step * hz;
  if (c.paceRemainder >= hz) {
    c.paceRemainder -= hz;
    c.paceDue += 1;
  }
}

}  // namespace

void Flip(int sync) {
  Display& c = Screen();
  Backend& b = CurrentBackend();
  b.NoteFlip(sync);
  if (Renderer* r = OpenRenderer()) {
    bool vsync = sync > 0;
    if (sync < 0 && c.displayHz > 0) {
      if (c.displayDepth == 0) {
        PaceWindow(b, c.displayHz);
      } else {
        vsync = true;
      }
    }
    r->Present(vsync);
  }
  // Keeps the window responsive even on screens that read no input.
  detail::PumpInput();
}

void SkipFlip() { CurrentBackend().NoteSkippedFlip(); }

void FlushDrawing() {
  if (Renderer* r = OpenRenderer()) r->FlushDrawing();
}

void Cls() {
  if (Renderer* r = OpenRenderer()) r->Clear();
}

void SetVirtualResolution(double width, double height) {
  if (!(width > 0) || !(height > 0)) return;
  Display& c = Screen();
  c.virtualWidth = width;
  c.virtualHeight = height;
  if (Renderer* r = OpenRenderer()) r->SetVirtualSize(width, height);
}

double VirtualResolutionWidth() { return Screen().virtualWidth; }
double VirtualResolutionHeight() { return Screen().virtualHeight; }

void detail::VirtualPointer(const InputState& input, double& x, double& y) {
  x = input.mouseX;
  y = input.mouseY;
  int gw = GraphicsWidth(), gh = GraphicsHeight();
  if (gw > 0 && Screen().virtualWidth > 0) x = x * Screen().virtualWidth / gw;
  if (gh > 0 && Screen().virtualHeight > 0) y = y * Screen().virtualHeight / gh;
}

// A replay hands back the pointer in drawing-area units as recorded, whatever
// size the window it plays in.
double VirtualMouseX() {
  double x = 0, y = 0;
  const InputState& in = detail::PolledInput();
  if (!detail::ReplayedPointer(x, y)) detail::VirtualPointer(in, x, y);
  return x;
}

double VirtualMouseY() {
  double x = 0, y = 0;
  const InputState& in = detail::PolledInput();
  if (!detail::ReplayedPointer(x, y)) detail::VirtualPointer(in, x, y);
  return y;
}

void MoveVirtualMouse(double x, double y) {
  Display& c = Screen();
  int gw = GraphicsWidth(), gh = GraphicsHeight();
  double rx = (gw > 0 && c.virtualWidth > 0) ? x * gw / c.virtualWidth : x;
  double ry = (gh > 0 && c.virtualHeight > 0) ? y * gh / c.virtualHeight : y;
  CurrentBackend().WarpMouse(rx, ry);
  Input().mouseX = rx;
  Input().mouseY = ry;
}

void ShowPointer() { CurrentBackend().SetPointerVisible(true); }
void HidePointer() { CurrentBackend().SetPointerVisible(false); }

}  // namespace plat
