// The display, the pointer and the player's input: keys, mouse buttons and joysticks.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace plat {

// ---------------------------------------------------------------- display
struct DisplayMode {
  int width;
  int height;
  int depth;
  int hz;
};

enum GraphicsDriver { kDriverOpenGL = 0, kDriverDirect3D9 = 1, kDriverDirect3D7 = 2 };

std::vector<DisplayMode> DisplayModes();
// How many of the three renderers the machine offers, in order (a page has ours only).
int RendererChoices();
// Chosen before OpenDisplay: 0 our OpenGL renderer, 1 SDL's accelerated renderer,
// 2 SDL's software renderer.
void SetGraphicsDriver(int driver);
int GetGraphicsDriver();
// depth 0 opens a window; any other depth full screen. Closes any open display first.
bool OpenDisplay(int width, int height, int depth, int hz, int flags);
void CloseDisplay();
bool DisplayIsOpen();
int GraphicsWidth();   // real pixels of the open display
int GraphicsHeight();
void SetWindowTitle(const std::string& title);
// sync 0: at once; 1: on vertical blank; -1: the display's default (see display.cpp).
void Flip(int sync);
// A frame that frame skipping leaves unshown (a page still sleeps out its time).
void SkipFlip();
// Starts the drawing of what this frame has drawn so far, so that it can run while
// the program sleeps before the next Flip; nothing shows until then.
void FlushDrawing();
void Cls();
void SetVirtualResolution(double width, double height);
double VirtualResolutionWidth();
double VirtualResolutionHeight();
double VirtualMouseX();
double VirtualMouseY();
void MoveVirtualMouse(double x, double y);
void ShowPointer();
void HidePointer();

// ---------------------------------------------------------------- input
// Windows virtual-key codes (8 Backspace, 9 Tab, 13 Enter, 27 Escape, ...).
bool KeyDown(int key);
int KeyHit(int key);
bool MouseDown(int button);  // 1 left, 2 right, 3 middle
int MouseHit(int button);
void FlushKeys();
void FlushMouse();
int GetChar();        // next typed character code, 0 when none
bool AppTerminate();  // true once after a close request
// Ends an input frame (EndFrame calls it once a frame): a press let go before any
// query read it reads as held until the end of the frame that reads it.
void NextInputFrame();
// Gives the processor away until input arrives or the time has passed; the next
// query applies what arrived.
void WaitForInput(int milliseconds);
// While one lives, input queries apply the machine's pending events only once:
// for code that reads many inputs as one reading (all keys, every stick).
class InputBatch {
 public:
  InputBatch();
  ~InputBatch();
  InputBatch(const InputBatch&) = delete;
  InputBatch& operator=(const InputBatch&) = delete;
};
int JoyCount();
std::string JoyName(int port);
enum JoyAxis { kAxisX = 0, kAxisY = 1, kAxisZ = 2, kAxisR = 3, kAxisU = 4, kAxisV = 5 };
double JoyAxisValue(int port, int axis);  // -1..1
double JoyHat(int port);                  // 0 up, 0.25 right, 0.5 down, 0.75 left, -1 centred
bool JoyButtonDown(int port, int button);
int JoyButtonCount(int port);

// What a joystick reads as now (the machine hands it up whole; replays keep it).
struct JoystickState {
  std::string name;
  std::array<double, 6> axes{};  // JoyAxis order
  double hat = -1.0;
  std::vector<bool> buttons;
  bool connected = true;  // an unplugged stick reads centred
};

}  // namespace plat
