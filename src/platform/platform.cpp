// Placeholder bodies; replaced by the real implementation.
#include <cstdlib>

#include "platform/backend.h"

namespace plat {

void UseBackend(std::unique_ptr<Backend> backend) {  }
Backend& CurrentBackend() { std::abort(); }
bool HasBackend() { return false; }
bool StartServices() { return false; }
[[noreturn]] void EndProcess(int code) { std::abort(); }
void SetNoticeSink(std::function<void(const std::string&)> sink) {}
void Notice(const std::string& text) {}
std::vector<DisplayMode> DisplayModes() { return {}; }
void SetGraphicsDriver(int driver) {  }
int GetGraphicsDriver() { return 0; }
bool OpenDisplay(int width, int height, int depth, int hz, int flags) { return false; }
void CloseDisplay() {  }
bool DisplayIsOpen() { return false; }
int GraphicsWidth() { return 0; }
int GraphicsHeight() { return 0; }
void SetWindowTitle(const std::string& title) {  }
void Flip(int sync) {  }
void Cls() {  }
void SetVirtualResolution(double width, double height) {  }
double VirtualResolutionWidth() { return 0; }
double VirtualResolutionHeight() { return 0; }
double VirtualMouseX() { return 0; }
double VirtualMouseY() { return 0; }
void MoveVirtualMouse(double x, double y) {  }
void ShowPointer() {  }
void HidePointer() {  }
bool KeyDown(int key) { return false; }
int KeyHit(int key) { return 0; }
bool MouseDown(int button) { return false; }
int MouseHit(int button) { return 0; }
void FlushKeys() {  }
void FlushMouse() {  }
int GetChar() { return 0; }
bool AppTerminate() { return false; }
int JoyCount() { return 0; }
std::string JoyName(int port) { return {}; }
double JoyAxisValue(int port, int axis) { return 0; }
double JoyHat(int port) { return 0; }
bool JoyButtonDown(int port, int button) { return false; }
int JoyButtonCount(int port) { return 0; }
bool ChangeDir(const std::string& path) { return false; }
std::string CurrentDir() { return {}; }
int FileType(const std::string& path) { return 0; }
bool DeleteFile(const std::string& path) { return false; }
Stream ReadFile(const std::string& path) { return 0; }
Stream WriteFile(const std::string& path) { return 0; }
std::string ReadLine(Stream stream) { return {}; }
bool WriteLine(Stream stream, const std::string& text) { return false; }
bool Eof(Stream stream) { return false; }
bool StreamFailed(Stream stream) { return false; }
void CloseStream(Stream stream) {  }
int Millisecs() { return 0; }
void Delay(int milliseconds) {  }
std::string CurrentDate() { return {}; }
std::string CurrentTime() { return {}; }
int Rand(int low, int high) { return 0; }
double Rnd(double low, double high) { return 0; }
void SeedRnd(int seed) {  }
double Sin(double degrees) { return 0; }
double Cos(double degrees) { return 0; }
int ToInt(const std::string& text) { return 0; }
std::string Trim(const std::string& text) { return {}; }
std::string Mid(const std::string& text, int start, int count) { return {}; }
std::string Left(const std::string& text, int count) { return {}; }
std::string Right(const std::string& text, int count) { return {}; }
int Instr(const std::string& text, const std::string& pattern, int start) { return 0; }
std::string Replace(const std::string& text, const std::string& pattern, const std::string& with) { return {}; }
std::string Upper(const std::string& text) { return {}; }
long long CollectMemory() { return 0; }
long long MemoryInUse() { return 0; }
void InputState::PressKey(int key) {}
void InputState::ReleaseKey(int key) {}
void InputState::PressMouse(int button) {}
void InputState::ReleaseMouse(int button) {}
InputState& Input() { static InputState s; return s; }

}  // namespace plat
