// The platform layer: the only way the rest of the program reaches the machine.
//
// Every operation here dispatches to the current Backend (see backend.h): the real
// one (SDL2 window, our OpenGL renderer or SDL's renderers, OpenAL) or the headless
// one used by tests. Resources are integer handles; 0 always means "none", and
// drawing or playing none does nothing.
//
// Texts are byte strings: one byte per character (Latin-1), as the program's text
// files store them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/maths.h"
#include "base/text.h"

namespace plat {

class Backend;

using Image = int;
using Font = int;
using Sound = int;
using Channel = int;
using Stream = int;
using Pixmap = int;

// ---------------------------------------------------------------- lifecycle
// Installs the backend all operations go to (replacing and shutting down any
// previous one). Tests install a HeadlessBackend; main() installs the real one.
void UseBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
bool HasBackend();
// Starts the services (files, sound, images, fonts, input, timers, joysticks).
bool StartServices();
// Ends the process. On the real backend this exits; the headless backend throws
// ProcessEnded so that a test can catch it. Never returns.
[[noreturn]] void EndProcess(int code);

struct ProcessEnded {
  int code;
};

// When the machine rather than the player ends the program: a termination signal
// (SIGTERM, SIGINT, SIGHUP) ends it with status 0, and a lost
// display connection logs "Display connection lost" and ends it with status 1
// without touching the display again. Neither shows anything. Start-up fills the
// table; an empty entry is skipped.
struct EndServices {
  // Saves what the player must not lose and writes the closing log lines; must
  // not draw or read input. Runs at most once per process end.
  void (*SaveForEnd)() = nullptr;
};
extern EndServices EndHooks;
// Catches the termination signals (main() calls it first of all; StartServices
// again) and lets through any a launcher left blocked. Until StartServices has run
// nothing is loaded and nothing needs saving: a signal ends the process at once,
// with status 0 and no output. From then on it is acted on wherever the program
// waits or reads input, where saving files is safe.
void CatchTerminationSignals();

// Problems the platform meets (no sound device, an unreadable file) are reported
// through one sink, which the program points at its debug log. Without a sink
// notices are dropped.
void SetNoticeSink(std::function<void(const std::string&)> sink);
void Notice(const std::string& text);

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

// ---------------------------------------------------------------- 2D drawing
enum BlendMode { kBlendMask = 1, kBlendSolid = 2, kBlendAlpha = 3, kBlendLight = 4, kBlendShade = 5 };

void SetColor(int r, int g, int b);
void GetColor(int& r, int& g, int& b);
void SetAlpha(double alpha);
double GetAlpha();
void SetBlend(int mode);
int GetBlend();
void SetRotation(double degrees);
double GetRotation();
void SetScale(double x, double y);
void GetScale(double& x, double& y);
void DrawRect(double x, double y, double width, double height);
void DrawImage(Image image, double x, double y, int frame = 0);
void DrawText(const std::string& text, double x, double y);
int TextWidth(const std::string& text);
int TextHeight();
// The box of the pixels the text covers when drawn at 0,0 with the current font
// (its glyph pictures, not its line box), in unscaled pixels, right and bottom
// exclusive. False for a text that covers none.
bool TextInkBox(const std::string& text, int& left, int& top, int& right, int& bottom);
void SetImageFont(Font font);  // 0 selects the built-in default font
Font GetImageFont();

// ---------------------------------------------------------------- images
// kImageDefault stands for masked and filtered; kImagePlain is neither.
enum ImageFlags { kImageDefault = -1, kImagePlain = 0, kImageMasked = 1, kImageFiltered = 2, kImageMipmapped = 4 };

Image LoadImage(const std::string& path, int flags = kImageDefault);
Image LoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstCell,
                    int cellCount, int flags = kImageDefault);
int ImageWidth(Image image);
int ImageHeight(Image image);
int ImageFrames(Image image);
void SetImageHandle(Image image, double x, double y);
double ImageHandleX(Image image);
double ImageHandleY(Image image);
void MidHandle(Image image);
void AutoMidHandle(bool on);
Image CreateImage(int width, int height, int frames = 1, int flags = -1);
// Copies the back buffer at x,y (real pixels) into frame `frame` of the image.
void GrabImage(Image image, int x, int y, int frame = 0);
void FreeImage(Image image);

// A pixel map held in memory, RGBA8, top row first.
Pixmap GrabPixmap(int x, int y, int width, int height);
Pixmap LoadPixmap(const std::string& path);
int PixmapWidth(Pixmap pixmap);
int PixmapHeight(Pixmap pixmap);
// 0xRRGGBBAA
uint32_t PixmapPixel(Pixmap pixmap, int x, int y);
// False when no file was written; `why` (if given) then says what stopped it.
bool SavePixmapPNG(Pixmap pixmap, const std::string& path, int compressionLevel, std::string* why = nullptr);
// Offers a saved file to the player as a download (a web page); elsewhere nothing.
void OfferDownload(const std::string& path);
void FreePixmap(Pixmap pixmap);

// ---------------------------------------------------------------- fonts
// TrueType through FreeType; glyphs are rendered once into images. Fonts stay
// usable across display changes.
Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags = 4);
void FreeFont(Font font);

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

// ---------------------------------------------------------------- files
bool ChangeDir(const std::string& path);
std::string CurrentDir();
// What FileType finds at a path: nothing (or neither a regular file nor a folder),
// a file, or a folder.
enum FileTypeResult { kFileTypeNone = 0, kFileTypeFile = 1, kFileTypeFolder = 2 };
int FileType(const std::string& path);
bool DeleteFile(const std::string& path);
Stream ReadFile(const std::string& path);
Stream WriteFile(const std::string& path);
std::string ReadLine(Stream stream);
// Up to `size` raw bytes from a stream opened for reading; 0 at its end.
size_t ReadBytes(Stream stream, char* buffer, size_t size);
// The size of a regular file in bytes; -1 when there is none.
long long FileSize(const std::string& path);
// `base` when nothing stands at that name, else the first of base2, base3, ...
// that is free: a name for a new file that takes nobody's.
std::string UnusedFileName(const std::string& base);
bool WriteLine(Stream stream, const std::string& text);
bool Eof(Stream stream);
bool StreamFailed(Stream stream);  // a write or flush failed since opening
void CloseStream(Stream stream);
// Replaces the whole file with `bytes` so that a crash, a kill or a full disk
// leaves either the old file or the new one, never a torn one: the text goes to
// a temporary file of a fresh name in the same folder ("<name>.new-" and six
// letters, created exclusively, so no link is followed and no other save's file
// is touched), is flushed to disk and renamed over the old file. Processes saving
// at once each leave a whole file; the last rename wins. On failure the old file is
// untouched, the temporary file is gone and false is returned. Temporary files of
// saves killed more than an hour ago are removed by the next save of that file. A
// file that is read-only (FileIsReadOnly) is never replaced.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
// True for an existing file that its permission bits keep this process from
// writing, or that has no write permission for anyone (also for the superuser).
bool FileIsReadOnly(const std::string& path);
// Makes a folder and any missing parents; true when the folder is there.
bool MakeDir(const std::string& path);

// An installed game reads its media from a read-only data folder and keeps what it
// writes in a per-user save folder; both hold the same tree (Files/, Files/257/...).
// Mounting shows the two as one: the current folder starts at the save folder; a
// read under it finds the file in the save folder first, then at the same place in
// the data folder; writes and deletes go to the save folder only, which gets its
// folders as they are needed; folder moves and file types see both. With
// `saving` false nothing under the save folder is ever written (it need not exist).
// Paths outside the save folder are the machine's own. Every file operation here
// and every loader (images, fonts, sounds, PNG saving) goes through this view.
// Until a mount, paths are the machine's own and the current folder the process's.
void MountFileRoots(const std::string& dataRoot, const std::string& saveRoot, bool saving = true);
void UnmountFileRoots();
bool SavingOn();  // false only under a mount with saving off
// The folder holding the running program, and the user's data folder
// ($XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; "" without either).
std::string ProgramFolder();
std::string UserDataFolder();
// The names in a folder (no "." or ".."), sorted; empty when it cannot be read.
std::vector<std::string> ListDir(const std::string& path);
// While blocked, nothing is written, created or deleted: the operations above
// and SavePixmapPNG fail quietly (a replay leaves the save folder as it was).
void BlockFileWrites(bool blocked);
bool FileWritesBlocked();

// ---------------------------------------------------------------- time
int Millisecs();
void Delay(int milliseconds);
// Sleeps at least once, then in 1 ms steps until `milliseconds` have passed since
// the clock read `from`. A page sleeps that long after the next flip instead.
void DelayPast(int from, double milliseconds);
std::string CurrentDate();  // "%d %b %Y"
std::string CurrentTime();  // "%H:%M:%S"

// ---------------------------------------------------------------- random
int Rand(int low, int high);          // inclusive, either order
double Rnd(double low, double high);  // [low, high)
void SeedRnd(int seed);

// ---------------------------------------------------------------- memory
// One clean-up step (returns bytes released) and the bytes the program has in use.
long long CollectMemory();
long long MemoryInUse();

}  // namespace plat
