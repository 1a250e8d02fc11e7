// The platform core: backend lifecycle, display dispatch and flip pacing, polled
// input, text streams, the clock, the shared random generator, degree maths, string
// helpers and memory figures. Drawing, images, fonts and sound live in their own files.
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdlib>
#include <ctime>
#include <map>
#include <random>

#include "platform/backend.h"
#include "platform/headless.h"

namespace plat {

namespace {

struct StreamRec {
  std::FILE* file = nullptr;
  bool reading = false;
  bool failed = false;
  std::string path;
};

constexpr uint32_t kDefaultSeed = 0x1234;

struct Core {
  std::unique_ptr<Backend> backend;
  std::function<void(const std::string&)> noticeSink;
  bool inNotice = false;

  int graphicsDriver = kDriverOpenGL;
  bool displayOpen = false;
  int displayWidth = 0, displayHeight = 0, displayDepth = 0, displayHz = 0;
  double virtualWidth = 0, virtualHeight = 0;

  // Timer pacing of Flip(-1) in a window.
  bool paceStarted = false;
  int64_t paceDue = 0;
  int paceRemainder = 0;

  std::map<int, StreamRec> streams;
  int nextStream = 1;

  std::mt19937 rng{kDefaultSeed};
};

Core& C() {
  static Core core;
  return core;
}

// Every input query first applies what the backend has pending.
InputState& Polled() {
  CurrentBackend().Pump(Input());
  return Input();
}

StreamRec* FindStream(Stream stream) {
  auto it = C().streams.find(stream);
  return it == C().streams.end() ? nullptr : &it->second;
}

Renderer* OpenRenderer() {
  Core& c = C();
  if (!c.displayOpen || !c.backend) return nullptr;
  return c.backend->renderer();
}

bool IsSpace(unsigned char ch) { return ch < 33; }

}  // namespace

// ---------------------------------------------------------------- lifecycle

void UseBackend(std::unique_ptr<Backend> backend) {
  Core& c = C();
  if (c.backend) {
    c.backend->Shutdown();
    c.backend.reset();
  }
  c.backend = std::move(backend);
  // A new backend is a fresh machine: nothing open, no input pending, and the
  // random sequence back at its start so that runs are repeatable.
  c.displayOpen = false;
  c.displayWidth = c.displayHeight = c.displayDepth = c.displayHz = 0;
  c.virtualWidth = c.virtualHeight = 0;
  c.paceStarted = false;
  c.graphicsDriver = kDriverOpenGL;
  c.rng.seed(kDefaultSeed);
  Input() = InputState{};
}

Backend& CurrentBackend() {
  // Code that runs before any backend is installed (a unit test that forgot to)
  // gets the headless one rather than a crash.
  if (!C().backend) UseHeadless();
  return *C().backend;
}

bool HasBackend() { return C().backend != nullptr; }

bool StartServices() {
  bool ok = CurrentBackend().Start();
  if (!ok) Notice("Platform services could not be started");
  return ok;
}

[[noreturn]] void EndProcess(int code) {
  for (auto& [id, rec] : C().streams) {
    if (rec.file && !rec.reading) std::fflush(rec.file);
  }
  CurrentBackend().Exit(code);
  std::abort();  // a backend's Exit never comes back
}

void SetNoticeSink(std::function<void(const std::string&)> sink) { C().noticeSink = std::move(sink); }

void Notice(const std::string& text) {
  Core& c = C();
  // The sink usually writes the log through this layer; a failure there must not
  // report itself again without end.
  if (!c.noticeSink || c.inNotice) return;
  c.inNotice = true;
  c.noticeSink(text);
  c.inNotice = false;
}

// ---------------------------------------------------------------- display

std::vector<DisplayMode> DisplayModes() { return CurrentBackend().Modes(); }

void SetGraphicsDriver(int driver) {
  C().graphicsDriver = (driver >= kDriverOpenGL && driver <= kDriverDirect3D7) ? driver : kDriverOpenGL;
}

int GetGraphicsDriver() { return C().graphicsDriver; }

bool OpenDisplay(int width, int height, int depth, int hz, int flags) {
  Core& c = C();
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
  Core& c = C();
  if (!c.displayOpen) return;
  c.displayOpen = false;
  if (c.backend) c.backend->Close();
}

bool DisplayIsOpen() { return C().displayOpen; }

int GraphicsWidth() {
  if (Renderer* r = OpenRenderer()) return r->Width();
  return C().displayOpen ? C().displayWidth : 0;
}

int GraphicsHeight() {
  if (Renderer* r = OpenRenderer()) return r->Height();
  return C().displayOpen ? C().displayHeight : 0;
}

void SetWindowTitle(const std::string& title) { CurrentBackend().SetTitle(title); }

namespace {

// Sleeps until the next due time of a timer running at hz, or restarts the
// schedule when the due time has already passed (a slow frame is not made up).
void PaceWindow(Backend& b, int hz) {
  Core& c = C();
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
  Core& c = C();
  Backend& b = CurrentBackend();
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
  b.Pump(Input());
}

void Cls() {
  if (Renderer* r = OpenRenderer()) r->Clear();
}

void SetVirtualResolution(double width, double height) {
  if (!(width > 0) || !(height > 0)) return;
  Core& c = C();
  c.virtualWidth = width;
  c.virtualHeight = height;
  if (Renderer* r = OpenRenderer()) r->SetVirtualSize(width, height);
}

double VirtualResolutionWidth() { return C().virtualWidth; }
double VirtualResolutionHeight() { return C().virtualHeight; }

double VirtualMouseX() {
  double x = Polled().mouseX;
  int gw = GraphicsWidth();
  if (gw <= 0 || C().virtualWidth <= 0) return x;
  return x * C().virtualWidth / gw;
}

double VirtualMouseY() {
  double y = Polled().mouseY;
  int gh = GraphicsHeight();
  if (gh <= 0 || C().virtualHeight <= 0) return y;
  return y * C().virtualHeight / gh;
}

void MoveVirtualMouse(double x, double y) {
  Core& c = C();
  int gw = GraphicsWidth(), gh = GraphicsHeight();
  double rx = (gw > 0 && c.virtualWidth > 0) ? x * gw / c.virtualWidth : x;
  double ry = (gh > 0 && c.virtualHeight > 0) ? y * gh / c.virtualHeight : y;
  CurrentBackend().WarpMouse(rx, ry);
  Input().mouseX = rx;
  Input().mouseY = ry;
}

void ShowPointer() { CurrentBackend().SetPointerVisible(true); }
void HidePointer() { CurrentBackend().SetPointerVisible(false); }

// ---------------------------------------------------------------- input

// A press counts once however many times the system repeats it while held.
void InputState::PressKey(int key) {
  if (key < 0 || key > 255) return;
  if (!keyDown[key]) {
    keyDown[key] = true;
    ++keyHits[key];
  }
}

void InputState::ReleaseKey(int key) {
  if (key < 0 || key > 255) return;
  keyDown[key] = false;
}

// Mouse buttons are also key codes 1..3, so that "any input held" sees clicks.
void InputState::PressMouse(int button) {
  if (button < 1 || button > 3) return;
  if (!mouseDown[button]) {
    mouseDown[button] = true;
    ++mouseHits[button];
  }
  PressKey(button);
}

void InputState::ReleaseMouse(int button) {
  if (button < 1 || button > 3) return;
  mouseDown[button] = false;
  ReleaseKey(button);
}

InputState& Input() {
  static InputState state;
  return state;
}

bool KeyDown(int key) {
  InputState& in = Polled();
  return key >= 0 && key < 256 && in.keyDown[key];
}

int KeyHit(int key) {
  InputState& in = Polled();
  if (key < 0 || key > 255) return 0;
  int n = in.keyHits[key];
  in.keyHits[key] = 0;
  return n;
}

bool MouseDown(int button) {
  InputState& in = Polled();
  return button >= 1 && button <= 3 && in.mouseDown[button];
}

int MouseHit(int button) {
  InputState& in = Polled();
  if (button < 1 || button > 3) return 0;
  int n = in.mouseHits[button];
  in.mouseHits[button] = 0;
  return n;
}

void FlushKeys() {
  InputState& in = Polled();
  in.keyHits.fill(0);
  in.typed.clear();
}

void FlushMouse() {
  InputState& in = Polled();
  in.mouseHits.fill(0);
}

int GetChar() {
  InputState& in = Polled();
  if (in.typed.empty()) return 0;
  int ch = in.typed.front();
  in.typed.pop_front();
  return ch;
}

bool AppTerminate() {
  InputState& in = Polled();
  bool asked = in.closeRequested;
  in.closeRequested = false;
  return asked;
}

int JoyCount() {
  Polled();
  return std::max(0, CurrentBackend().JoyCount());
}

namespace {

// The stick at a port, or a centred one when the port is empty or unplugged.
JoystickState Stick(int port) {
  Polled();
  Backend& b = CurrentBackend();
  if (port < 0 || port >= b.JoyCount()) {
    JoystickState none;
    none.connected = false;
    return none;
  }
  JoystickState s = b.Joystick(port);
  if (!s.connected) {
    s.axes.fill(0);
    s.hat = -1;
    std::fill(s.buttons.begin(), s.buttons.end(), false);
  }
  return s;
}

}  // namespace

std::string JoyName(int port) { return Stick(port).name; }

double JoyAxisValue(int port, int axis) {
  if (axis < 0 || axis >= 6) return 0;
  return std::clamp(Stick(port).axes[axis], -1.0, 1.0);
}

double JoyHat(int port) { return Stick(port).hat; }

bool JoyButtonDown(int port, int button) {
  JoystickState s = Stick(port);
  return button >= 0 && button < static_cast<int>(s.buttons.size()) && s.buttons[button];
}

int JoyButtonCount(int port) { return static_cast<int>(Stick(port).buttons.size()); }

// ---------------------------------------------------------------- files

bool ChangeDir(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string CurrentDir() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

int FileType(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
  if (S_ISDIR(st.st_mode)) return 2;
  // Only regular files count: opening a pipe or device could block.
  return S_ISREG(st.st_mode) ? 1 : 0;
}

bool DeleteFile(const std::string& path) { return FileType(path) == 1 && std::remove(path.c_str()) == 0; }

Stream ReadFile(const std::string& path) {
  if (FileType(path) != 1) return 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    Notice("Could not read " + path);
    return 0;
  }
  Core& c = C();
  int id = c.nextStream++;
  c.streams[id] = StreamRec{f, true, false, path};
  return id;
}

Stream WriteFile(const std::string& path) {
  if (path.empty()) return 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    Notice("Could not write " + path);
    return 0;
  }
  Core& c = C();
  int id = c.nextStream++;
  c.streams[id] = StreamRec{f, false, false, path};
  return id;
}

std::string ReadLine(Stream stream) {
  StreamRec* s = FindStream(stream);
  std::string line;
  if (!s || !s->reading) return line;
  for (int ch; (ch = std::getc(s->file)) != EOF;) {
    if (ch == '\n' || ch == 0) break;
    if (ch != '\r') line.push_back(static_cast<char>(ch));
  }
  return line;
}

bool WriteLine(Stream stream, const std::string& text) {
  StreamRec* s = FindStream(stream);
  if (!s || s->reading) return false;
  // Flushed line by line so that the log survives a crash.
  bool ok = std::fwrite(text.data(), 1, text.size(), s->file) == text.size() &&
            std::fwrite("\r\n", 1, 2, s->file) == 2 && std::fflush(s->file) == 0;
  if (!ok && !s->failed) {
    s->failed = true;
    Notice("Could not write to " + s->path);
  }
  return ok;
}

bool Eof(Stream stream) {
  StreamRec* s = FindStream(stream);
  // None, or a stream with nothing to read, is at its end: read loops stop.
  if (!s || !s->reading) return true;
  int ch = std::getc(s->file);
  if (ch == EOF) return true;
  std::ungetc(ch, s->file);
  return false;
}

bool StreamFailed(Stream stream) {
  StreamRec* s = FindStream(stream);
  return !s || s->failed || std::ferror(s->file) != 0;
}

void CloseStream(Stream stream) {
  Core& c = C();
  auto it = c.streams.find(stream);
  if (it == c.streams.end()) return;
  StreamRec rec = it->second;
  c.streams.erase(it);
  if (std::fclose(rec.file) != 0 && !rec.reading && !rec.failed) Notice("Could not finish writing " + rec.path);
}

// ---------------------------------------------------------------- time

int Millisecs() {
  // A free-running counter: it may wrap, callers only subtract.
  return static_cast<int>(static_cast<uint32_t>(CurrentBackend().Millisecs()));
}

void Delay(int milliseconds) {
  if (milliseconds > 0) CurrentBackend().Sleep(milliseconds);
}

namespace {

std::tm LocalNow() {
  std::time_t t = CurrentBackend().WallClock();
  std::tm tm{};
  if (!localtime_r(&t, &tm)) tm = std::tm{};
  return tm;
}

}  // namespace

// Formatted by hand: month names must not follow the user's locale.
std::string CurrentDate() {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d %s %d", tm.tm_mday, kMonths[std::clamp(tm.tm_mon, 0, 11)],
                tm.tm_year + 1900);
  return buf;
}

std::string CurrentTime() {
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

// ---------------------------------------------------------------- random

int Rand(int low, int high) {
  if (low > high) std::swap(low, high);
  uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;  // 1 .. 2^32
  uint64_t pick = (static_cast<uint64_t>(C().rng()) * range) >> 32;
  return static_cast<int>(static_cast<int64_t>(low) + static_cast<int64_t>(pick));
}

double Rnd(double low, double high) {
  std::mt19937& g = C().rng;
  uint64_t a = g() >> 5, b = g() >> 6;
  double unit = (static_cast<double>(a) * 67108864.0 + static_cast<double>(b)) / 9007199254740992.0;
  double v = low + (high - low) * unit;
  // Rounding may land on the excluded end.
  if (v == high && high != low) v = std::nextafter(high, low);
  return v;
}

void SeedRnd(int seed) { C().rng.seed(static_cast<uint32_t>(seed)); }

// ---------------------------------------------------------------- maths

// Exact at the quarter turns and the common halves, so that movement along the
// axes stays on whole pixels.
double Sin(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  if (d == 0 || d == 180) return 0;
  if (d == 90) return 1;
  if (d == 270) return -1;
  if (d == 30 || d == 150) return 0.5;
  if (d == 210 || d == 330) return -0.5;
  return std::sin(d * (M_PI / 180.0));
}

double Cos(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  if (d == 90 || d == 270) return 0;
  if (d == 0) return 1;
  if (d == 180) return -1;
  if (d == 60 || d == 300) return 0.5;
  if (d == 120 || d == 240) return -0.5;
  return std::cos(d * (M_PI / 180.0));
}

// ---------------------------------------------------------------- strings

int ToInt(const std::string& text) {
  size_t i = 0, n = text.size();
  while (i < n && IsSpace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '%') {
    base = 2;
    ++i;
  } else if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  }
  // Decimal values saturate, so a huge number in a settings file reads as the
  // largest one; "$" and "%" texts are bit patterns and wrap like 32-bit words
  // ("$FFFFFFFF" is -1).
  uint64_t value = 0;
  for (; i < n; ++i) {
    char ch = text[i];
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (ch >= 'a' && ch <= 'f') {
      digit = ch - 'a' + 10;
    } else if (ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (base == 10) {
      value = std::min<uint64_t>(value, uint64_t{1} << 31);
    } else {
      value &= 0xFFFFFFFFu;
    }
  }
  if (base == 10) {
    if (negative) return value >= (uint64_t{1} << 31) ? INT32_MIN : -static_cast<int>(value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
  }
  uint32_t word = static_cast<uint32_t>(value);
  if (negative) word = 0u - word;
  return static_cast<int>(word);
}

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsSpace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Mid(const std::string& text, int start, int count) {
  int64_t len = static_cast<int64_t>(text.size());
  int64_t from = static_cast<int64_t>(start) - 1;
  int64_t to = count < 0 ? len : from + count;
  from = std::clamp<int64_t>(from, 0, len);
  to = std::clamp<int64_t>(to, 0, len);
  if (to <= from) return {};
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

std::string Left(const std::string& text, int count) {
  if (count <= 0) return {};
  return text.substr(0, std::min(text.size(), static_cast<size_t>(count)));
}

std::string Right(const std::string& text, int count) {
  if (count <= 0) return {};
  size_t n = std::min(text.size(), static_cast<size_t>(count));
  return text.substr(text.size() - n);
}

int Instr(const std::string& text, const std::string& pattern, int start) {
  if (pattern.empty()) return 0;
  size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= text.size()) return 0;
  size_t at = text.find(pattern, from);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Replace(const std::string& text, const std::string& pattern, const std::string& with) {
  if (pattern.empty()) return text;
  std::string out;
  size_t from = 0;
  for (size_t at; (at = text.find(pattern, from)) != std::string::npos; from = at + pattern.size()) {
    out.append(text, from, at - from);
    out += with;
  }
  out.append(text, from, std::string::npos);
  return out;
}

// Latin-1: a..z and the accented small letters (but not the division sign).
std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    unsigned char u = static_cast<unsigned char>(ch);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) ch = static_cast<char>(u - 0x20);
  }
  return out;
}

// ---------------------------------------------------------------- memory

long long CollectMemory() {
  // Trimming walks the heap, so it is only worth it once a fair amount lies free.
  constexpr size_t kWorthTrimming = 1 << 20;
  struct mallinfo2 before = mallinfo2();
  if (before.fordblks < kWorthTrimming) return 0;
  malloc_trim(256 * 1024);
  struct mallinfo2 after = mallinfo2();
  long long held = static_cast<long long>(before.arena) - static_cast<long long>(after.arena);
  long long freeGone = static_cast<long long>(before.fordblks) - static_cast<long long>(after.fordblks);
  return std::max({0LL, held, freeGone});
}

long long MemoryInUse() {
  struct mallinfo2 mi = mallinfo2();
  return static_cast<long long>(mi.uordblks + mi.hblkhd);
}

}  // namespace plat
