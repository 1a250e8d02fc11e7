// Placeholder bodies; replaced by the real implementation.
#include <cstdlib>

#include "platform/backend.h"

namespace plat {

void SetColor(int r, int g, int b) {  }
void GetColor(int& r, int& g, int& b) {  }
void SetAlpha(double alpha) {  }
double GetAlpha() { return 0; }
void SetBlend(int mode) {  }
int GetBlend() { return 0; }
void SetRotation(double degrees) {  }
double GetRotation() { return 0; }
void SetScale(double x, double y) {  }
void GetScale(double& x, double& y) {  }
void DrawRect(double x, double y, double width, double height) {  }
void DrawImage(Image image, double x, double y, int frame) {  }
void DrawText(const std::string& text, double x, double y) {  }
int TextWidth(const std::string& text) { return 0; }
int TextHeight() { return 0; }
void SetImageFont(Font font) {  }
Font GetImageFont() { return 0; }

}  // namespace plat
