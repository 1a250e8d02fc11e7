// Private to the GL renderer: every OpenGL function it calls, looked up through
// SDL once a context exists. Windows' opengl32.dll exports only OpenGL 1.1, and
// one way of reaching GL on every target keeps one renderer the same everywhere.
#pragma once

#include <SDL_opengl.h>

#include <string>

namespace plat {

// The declarations give each pointer its type; nothing links against them.
#define BRINDLE_GL_FUNCTIONS(X) \
  X(ActiveTexture) \
  X(AttachShader) \
  X(BindAttribLocation) \
  X(BindBuffer) \
  X(BindTexture) \
  X(BlendFunc) \
  X(BufferData) \
  X(Clear) \
  X(ClearColor) \
  X(CompileShader) \
  X(CreateProgram) \
  X(CreateShader) \
  X(DeleteBuffers) \
  X(DeleteProgram) \
  X(DeleteShader) \
  X(DeleteTextures) \
  X(Disable) \
  X(DrawElements) \
  X(Enable) \
  X(EnableVertexAttribArray) \
  X(Flush) \
  X(GenBuffers) \
  X(GenTextures) \
  X(GenerateMipmap) \
  X(GetError) \
  X(GetIntegerv) \
  X(GetProgramiv) \
  X(GetShaderInfoLog) \
  X(GetShaderiv) \
  X(GetString) \
  X(GetUniformLocation) \
  X(LinkProgram) \
  X(PixelStorei) \
  X(ReadPixels) \
  X(ShaderSource) \
  X(TexImage2D) \
  X(TexParameteri) \
  X(TexSubImage2D) \
  X(Uniform1i) \
  X(Uniform4f) \
  X(UseProgram) \
  X(VertexAttribPointer) \
  X(Viewport)

struct GlFunctions {
#define BRINDLE_GL_POINTER(name) decltype(&gl##name) name = nullptr;
  BRINDLE_GL_FUNCTIONS(BRINDLE_GL_POINTER)
#undef BRINDLE_GL_POINTER
};

// Looks every function up in the current context. False, with the first missing
// function's name in `missing`, when the context lacks one.
bool LoadGlFunctions(GlFunctions& gl, std::string* missing);

}  // namespace plat
