#include "platform/render/gl/gl_renderer.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/render/gl/gl_functions.h"
#include "platform/render/quad_runs.h"

namespace plat {

namespace {

// Indices are 16-bit, so one batch holds at most 65536 / 4 quads.
constexpr int kMaxBatchQuads = 2048;

struct Vertex {
  float x, y, u, v;
  uint32_t rgba;  // bytes r, g, b, a in memory order
};
static_assert(sizeof(Vertex) == 20);

struct Texture {
  GLuint name = 0;
  int width = 0, height = 0;
  bool mipmapped = false;
  bool alpha8 = false;  // one byte of coverage per texel (GL_ALPHA): white, tinted at draw
  int filter = -1;  // sampling last set on the texture: 0 nearest, 1 linear, -1 unknown
};

// The shader texts start with a header for the GL at hand: GLSL 1.20 on desktop
// OpenGL, GLSL ES 1.00 (which needs a default float precision) on OpenGL ES and WebGL.
const char* kDesktopHeader = "#version 120\n";
const char* kEsHeader = "#version 100\nprecision highp float;\n";

const char* kVertexShader = R"(attribute vec2 aPos;
attribute vec2 aUv;
attribute vec4 aColor;
uniform vec4 uProj;
varying vec2 vUv;
varying vec4 vColor;
void main() {
  gl_Position = vec4(aPos.x * uProj.x + uProj.z, aPos.y * uProj.y + uProj.w, 0.0, 1.0);
  vUv = aUv;
  vColor = aColor;
}
)";

// One fragment program per kind of run, each as plain as its pixels allow: a
// software rasteriser pays for every sample, add and discard on every pixel.
enum ProgramKind { kRgbaTexels, kCoverageTexels, kPlainColour, kProgramKinds };

const char* kFragmentColour[kProgramKinds] = {
    "vec4 c = texture2D(uTex, vUv) * vColor;",
    // An alpha texture samples as (0, 0, 0, a): white at that coverage, tinted.
    "vec4 c = vec4(vColor.rgb, vColor.a * texture2D(uTex, vUv).a);",
    "vec4 c = vColor;",
};

std::string FragmentShader(const char* header, int kind, bool masked) {
  return std::string(header) + std::string("uniform sampler2D uTex;\nvarying vec2 vUv;\nvarying vec4 vColor;\n"
                     "void main() {\n  ") +
         kFragmentColour[kind] + (masked ? "\n  if (c.a < 0.5) discard;" : "") + "\n  gl_FragColor = c;\n}\n";
}

GLuint CompileShader(const GlFunctions& gl, GLenum type, const char* source, std::string* error) {
  GLuint shader = gl.CreateShader(type);
  gl.ShaderSource(shader, 1, &source, nullptr);
  gl.CompileShader(shader);
  GLint ok = 0;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    gl.GetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    if (error) *error = std::string("shader compile failed: ") + log;
    gl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

inline uint32_t PackColor(const Quad& q) {
  float a = q.a * 255.0f + 0.5f;
  uint32_t ab = !(a > 0.0f) ? 0u : a >= 255.0f ? 255u : static_cast<uint32_t>(a);  // NaN reads as 0
  // Little-endian: r in the lowest byte, as GL_UNSIGNED_BYTE attributes read it.
  return uint32_t(q.r) | (uint32_t(q.g) << 8) | (uint32_t(q.b) << 16) | (ab << 24);
}

}  // namespace

struct GlRenderer::Impl {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  int width = 0, height = 0;
  GLuint vbo = 0, ibo = 0;
  // [kind][masked]: the mask blend drops texels under half alpha.
  struct Program {
    GLuint name = 0;
    GLint projLoc = -1;
    int projVersion = -1;  // of the projection last uploaded
  } programs[kProgramKinds][2];
  float proj[4] = {1, -1, -1, 1};
  int projVersion = 0;
  Program* applied = nullptr;  // the program in use
  std::vector<Texture> textures;  // id - 1 -> texture; name 0 marks a free slot
  std::vector<int> freeIds;

  // The batch being collected and the state it is drawn in.
  std::unique_ptr<Vertex[]> verts{new Vertex[kMaxBatchQuads * 4]};
  QuadRun run;
  GLuint batchName = 0;  // GL name of run.texture

  // GL state as last set, to skip redundant calls.
  GLuint boundName = 0;
  int appliedBlend = -1;
  int swapInterval = -2;  // unknown until the first Present
  long long drawCalls = 0;
  std::vector<Quad>* tap = nullptr;

  GlFunctions gl;  // looked up once the context is current
  bool es = false;  // OpenGL ES (or WebGL) rather than desktop OpenGL

  bool LinkPrograms(std::string* error) {
    const char* header = es ? kEsHeader : kDesktopHeader;
    const std::string vertex = std::string(header) + kVertexShader;
    GLuint vs = CompileShader(gl, GL_VERTEX_SHADER, vertex.c_str(), error);
    if (!vs) return false;
    bool ok = true;
    for (int kind = 0; kind < kProgramKinds && ok; ++kind) {
      for (int masked = 0; masked < 2 && ok; ++masked) {
        const std::string source = FragmentShader(header, kind, masked != 0);
        GLuint fs = CompileShader(gl, GL_FRAGMENT_SHADER, source.c_str(), error);
        if (!fs) {
          ok = false;
          break;
        }
        GLuint name = gl.CreateProgram();
        gl.AttachShader(name, vs);
        gl.AttachShader(name, fs);
        gl.BindAttribLocation(name, 0, "aPos");
        gl.BindAttribLocation(name, 1, "aUv");
        gl.BindAttribLocation(name, 2, "aColor");
        gl.LinkProgram(name);
        gl.DeleteShader(fs);
        programs[kind][masked].name = name;
        GLint linked = 0;
        gl.GetProgramiv(name, GL_LINK_STATUS, &linked);
        if (!linked) {
          if (error) *error = "shader link failed";
          ok = false;
          break;
        }
        gl.UseProgram(name);
        programs[kind][masked].projLoc = gl.GetUniformLocation(name, "uProj");
        GLint texLoc = gl.GetUniformLocation(name, "uTex");
        if (texLoc >= 0) gl.Uniform1i(texLoc, 0);
      }
    }
    gl.DeleteShader(vs);
    return ok;
  }

  void DeletePrograms() {
    for (auto& kind : programs) {
      for (Program& p : kind) {
        if (p.name) gl.DeleteProgram(p.name);
        p = Program{};
      }
    }
  }

  // Our buffers and vertex layout bound; the program is chosen per batch.
  void BindPipeline() {
    applied = nullptr;
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    gl.BindBuffer(GL_ARRAY_BUFFER, vbo);
    gl.EnableVertexAttribArray(0);
    gl.EnableVertexAttribArray(1);
    gl.EnableVertexAttribArray(2);
    gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
    gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(8));
    gl.VertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(16));
    gl.ActiveTexture(GL_TEXTURE0);
  }

  void ApplyBlend(int blend) {
    if (blend == appliedBlend) return;
    appliedBlend = blend;
    switch (blend) {
      case kBlendMask:
      case kBlendSolid:
        gl.Disable(GL_BLEND);
        break;
      case kBlendLight:
        gl.Enable(GL_BLEND);
        gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
      case kBlendShade:
        gl.Enable(GL_BLEND);
        gl.BlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
      default:  // alpha, and anything unknown
        gl.Enable(GL_BLEND);
        gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    }
  }

  void UseProgram(int kind, bool masked) {
    Program& p = programs[kind][masked ? 1 : 0];
    if (applied != &p) {
      gl.UseProgram(p.name);
      applied = &p;
    }
    if (p.projVersion != projVersion) {
      gl.Uniform4f(p.projLoc, proj[0], proj[1], proj[2], proj[3]);
      p.projVersion = projVersion;
    }
  }

  void Flush() {
    if (run.count == 0) return;
    ApplyBlend(run.blend);
    if (run.texture <= 0) {
      UseProgram(kPlainColour, run.blend == kBlendMask);
    } else {
      Texture& t = textures[run.texture - 1];
      UseProgram(t.alpha8 ? kCoverageTexels : kRgbaTexels, run.blend == kBlendMask);
      if (boundName != batchName) {
        gl.BindTexture(GL_TEXTURE_2D, batchName);
        boundName = batchName;
      }
      int want = run.filtered ? 1 : 0;
      if (t.filter != want) {
        t.filter = want;
        GLint mag = run.filtered ? GL_LINEAR : GL_NEAREST;
        GLint min = run.filtered ? (t.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR) : GL_NEAREST;
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
      }
    }
    // Orphan and refill: the driver need not wait for the previous draw.
    gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(run.count) * 4 * sizeof(Vertex), verts.get(), GL_STREAM_DRAW);
    gl.DrawElements(GL_TRIANGLES, run.count * 6, GL_UNSIGNED_SHORT, nullptr);
    ++drawCalls;
    run.count = 0;
  }

  // Starts a new batch for the quad's state; false when the quad cannot be drawn.
  bool Begin(const Quad& q) {
    Flush();
    int id = q.texture;
    GLuint name = 0;  // plain quads sample nothing
    if (id != 0) {
      if (id < 0 || id > static_cast<int>(textures.size()) || textures[id - 1].name == 0) return false;
      name = textures[id - 1].name;
    }
    run.Start(q);
    batchName = name;
    return true;
  }

  void Draw(const Quad* qs, int count) {
    if (tap) tap->insert(tap->end(), qs, qs + count);
    Quad solid;
    for (int i = 0; i < count; ++i) {
      const Quad* qp = &qs[i];
      // An opaque plain quad blended by its alpha (1 and 0 are exact factors) is
      // the same picture drawn solid, and unblended pixels cost a software
      // rasteriser far less: the game's background is such quads.
      if (qp->blend == kBlendAlpha && qp->texture == 0 && qp->a >= 1.0f) {
        solid = *qp;
        solid.blend = kBlendSolid;
        qp = &solid;
      }
      const Quad& q = *qp;
      if (!run.Takes(q, kMaxBatchQuads)) {
        if (!Begin(q)) continue;
      }
      uint32_t c = PackColor(q);
      Vertex* v = verts.get() + run.count * 4;
      for (int k = 0; k < 4; ++k) {
        v[k].x = q.v[k].x;
        v[k].y = q.v[k].y;
        v[k].u = q.v[k].u;
        v[k].v = q.v[k].v;
        v[k].rgba = c;
      }
      ++run.count;
    }
  }

  void Upload(Texture& t, int x, int y, int w, int h, const uint8_t* rgba) {
    gl.BindTexture(GL_TEXTURE_2D, t.name);
    boundName = t.name;
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, t.alpha8 ? GL_ALPHA : GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    if (t.mipmapped) gl.GenerateMipmap(GL_TEXTURE_2D);
  }
};

GlRenderer::GlRenderer() : impl_(new Impl) {}

std::unique_ptr<GlRenderer> MakeGlRenderer(SDL_Window* window, SDL_GLContext context, std::string* error) {
  std::unique_ptr<GlRenderer> r(new GlRenderer);
  GlRenderer::Impl& m = *r->impl_;
  // GLSL 1.20 needs OpenGL 2.1; on OpenGL ES (and WebGL 2) partial texture
  // uploads with a row length need 3.0.
  int major = 0, minor = 0;
  // An old context lacks functions as well as version: the version says more.
  std::string missing;
  const bool loaded = LoadGlFunctions(m.gl, &missing);
  const char* version = m.gl.GetString ? reinterpret_cast<const char*>(m.gl.GetString(GL_VERSION)) : nullptr;
  m.es = version && std::strncmp(version, "OpenGL ES ", 10) == 0;
  const char* number = version ? version + (m.es ? 10 : 0) : nullptr;
  const int needed = m.es ? 30 : 21;
  if (!number || std::sscanf(number, "%d.%d", &major, &minor) != 2 || major * 10 + minor < needed) {
    if (error) *error = std::string(m.es ? "OpenGL ES 3.0" : "OpenGL 2.1") + " needed, have " + (version ? version : "none");
    return nullptr;
  }
  if (!loaded) {
    if (error) *error = "OpenGL function " + missing + " missing";
    return nullptr;
  }
  if (!m.LinkPrograms(error)) {
    m.DeletePrograms();
    return nullptr;
  }
  m.window = window;
  m.context = context;

  SDL_GL_GetDrawableSize(window, &m.width, &m.height);
  m.gl.Viewport(0, 0, m.width, m.height);
  m.gl.Disable(GL_DEPTH_TEST);
  m.gl.Disable(GL_CULL_FACE);
  m.gl.Disable(GL_DITHER);
  m.gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  m.gl.PixelStorei(GL_PACK_ALIGNMENT, 1);

  // One static index buffer serves every batch: two triangles per quad.
  std::vector<uint16_t> idx(kMaxBatchQuads * 6);
  for (int q = 0; q < kMaxBatchQuads; ++q) {
    uint16_t b = static_cast<uint16_t>(q * 4);
    uint16_t* p = &idx[q * 6];
    p[0] = b, p[1] = b + 1, p[2] = b + 2, p[3] = b, p[4] = b + 2, p[5] = b + 3;
  }
  m.gl.GenBuffers(1, &m.ibo);
  m.gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m.ibo);
  m.gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, idx.size() * sizeof(uint16_t), idx.data(), GL_STATIC_DRAW);
  m.gl.GenBuffers(1, &m.vbo);
  m.BindPipeline();

  r->SetVirtualSize(m.width, m.height);
  m.gl.ClearColor(0, 0, 0, 1);
  m.gl.Clear(GL_COLOR_BUFFER_BIT);
  return r;
}

GlRenderer::~GlRenderer() {
  Impl& m = *impl_;
  if (!m.context) return;
  SDL_GL_MakeCurrent(m.window, m.context);
  for (const Texture& t : m.textures) {
    if (t.name) m.gl.DeleteTextures(1, &t.name);
  }
  m.gl.DeleteBuffers(1, &m.vbo);
  m.gl.DeleteBuffers(1, &m.ibo);
  m.DeletePrograms();
  SDL_GL_DeleteContext(m.context);
}

int GlRenderer::CreateTexture(int width, int height, const uint8_t* rgba, int flags) {
  Impl& m = *impl_;
  GLint maxSize = 0;
  m.gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) return 0;
  Texture t;
  t.width = width;
  t.height = height;
  t.mipmapped = (flags & kTextureMipmapped) != 0;
  m.gl.GenTextures(1, &t.name);
  if (t.name == 0) return 0;
  m.gl.BindTexture(GL_TEXTURE_2D, t.name);
  m.boundName = t.name;
  m.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  m.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  bool filtered = (flags & kTextureFiltered) != 0;
  t.filter = filtered ? 1 : 0;
  m.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
  m.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  filtered ? (t.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR) : GL_NEAREST);
  while (m.gl.GetError() != GL_NO_ERROR) {
  }
  t.alpha8 = (flags & kTextureAlpha8) != 0;
  if (t.alpha8) {
    // OpenGL ES takes only the unsized alpha format.
    m.gl.TexImage2D(GL_TEXTURE_2D, 0, m.es ? GL_ALPHA : GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, rgba);
  } else {
    m.gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }
  if (m.gl.GetError() != GL_NO_ERROR) {  // out of memory, most likely
    m.gl.DeleteTextures(1, &t.name);
    m.boundName = 0;
    return 0;
  }
  if (t.mipmapped) m.gl.GenerateMipmap(GL_TEXTURE_2D);
  int id;
  if (!m.freeIds.empty()) {
    id = m.freeIds.back();
    m.freeIds.pop_back();
    m.textures[id - 1] = t;
  } else {
    m.textures.push_back(t);
    id = static_cast<int>(m.textures.size());
  }
  return id;
}

void GlRenderer::UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) {
  Impl& m = *impl_;
  if (texture <= 0 || texture > static_cast<int>(m.textures.size()) || !rgba) return;
  Texture& t = m.textures[texture - 1];
  if (t.name == 0) return;
  // Clip to the texture; the source rows keep their full width.
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + width, t.width), y1 = std::min(y + height, t.height);
  if (x0 >= x1 || y0 >= y1) return;
  if (m.run.texture == texture) m.Flush();  // quads batched so far use the old pixels
  m.gl.PixelStorei(GL_UNPACK_ROW_LENGTH, width);
  const size_t bpp = t.alpha8 ? 1 : 4;
  m.Upload(t, x0, y0, x1 - x0, y1 - y0, rgba + (size_t(y0 - y) * width + (x0 - x)) * bpp);
  m.gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

void GlRenderer::DestroyTexture(int texture) {
  Impl& m = *impl_;
  if (texture <= 0 || texture > static_cast<int>(m.textures.size())) return;
  Texture& t = m.textures[texture - 1];
  if (t.name == 0) return;
  if (m.run.texture == texture) {
    m.Flush();
    m.run.texture = -1;
  }
  if (m.boundName == t.name) m.boundName = 0;
  m.gl.DeleteTextures(1, &t.name);
  t = Texture{};
  m.freeIds.push_back(texture);
}

void GlRenderer::SetVirtualSize(double width, double height) {
  Impl& m = *impl_;
  if (!(width > 0) || !(height > 0)) return;
  m.Flush();
  // Virtual (0,0) top-left to clip (-1,1); y grows downwards.
  m.proj[0] = float(2.0 / width);
  m.proj[1] = float(-2.0 / height);
  ++m.projVersion;  // each program takes it when next used
}

void GlRenderer::DrawQuads(const Quad* quads, int count) { impl_->Draw(quads, count); }

void GlRenderer::Clear() {
  // Everything batched would be painted over at once: drop it.
  Impl& m = *impl_;
  m.run.count = 0;
  if (m.tap) m.tap->clear();
  m.gl.Clear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) {
  Impl& m = *impl_;
  if (width <= 0 || height <= 0 || !rgbaOut) return;
  m.Flush();
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    rgbaOut[i * 4 + 0] = rgbaOut[i * 4 + 1] = rgbaOut[i * 4 + 2] = 0;
    rgbaOut[i * 4 + 3] = 255;
  }
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + width, m.width), y1 = std::min(y + height, m.height);
  if (x0 >= x1 || y0 >= y1) return;
  int w = x1 - x0, h = y1 - y0;
  std::vector<uint8_t> rows(size_t(w) * h * 4);
  // GL counts rows from the bottom.
  m.gl.ReadPixels(x0, m.height - y1, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  for (int r = 0; r < h; ++r) {
    const uint8_t* src = &rows[size_t(h - 1 - r) * w * 4];
    uint8_t* dst = rgbaOut + (size_t(y0 - y + r) * width + (x0 - x)) * 4;
    std::memcpy(dst, src, size_t(w) * 4);
    for (int i = 0; i < w; ++i) dst[i * 4 + 3] = 255;  // the screen is opaque
  }
}

void GlRenderer::Present(bool vsync) {
  Impl& m = *impl_;
  m.Flush();
  int want = vsync ? 1 : 0;
  if (m.swapInterval != want) {
    SDL_GL_SetSwapInterval(want);
    m.swapInterval = want;
  }
  SDL_GL_SwapWindow(m.window);
}

void GlRenderer::FlushDrawing() {
  impl_->Flush();
  impl_->gl.Flush();
}

int GlRenderer::Width() const { return impl_->width; }
int GlRenderer::Height() const { return impl_->height; }
void GlRenderer::Flush() { impl_->Flush(); }
long long GlRenderer::DrawCallCount() const { return impl_->drawCalls; }

GlRenderer::TextureInfo GlRenderer::GlTexture(int texture) const {
  const Impl& m = *impl_;
  if (texture <= 0 || texture > static_cast<int>(m.textures.size())) return {};
  const Texture& t = m.textures[texture - 1];
  return {t.name, t.alpha8, t.mipmapped};
}

void GlRenderer::TapQuads(std::vector<Quad>* sink) { impl_->tap = sink; }

void GlRenderer::ForgetGlState() {
  Impl& m = *impl_;
  m.BindPipeline();
  m.boundName = 0;  // names no texture of ours: the next batch binds
  m.appliedBlend = -1;
  for (Texture& t : m.textures) t.filter = -1;
  m.gl.Viewport(0, 0, m.width, m.height);
}

}  // namespace plat
