// Files and folders, and the text streams of the program's text files (one byte
// per character, lines ended by CR LF on writing, by LF on reading).
#include <cstdio>
#include <algorithm>
#include <map>

#include "platform/platform_internal.h"
#include "platform/os.h"

namespace plat {

namespace {

struct StreamRec {
  std::FILE* file = nullptr;
  bool reading = false;
  bool failed = false;
  std::string path;
};

// The files' state: the streams open by id, the next id to hand out, and whether
// writes are refused (a replay's run writes nothing).
struct Streams {
  std::map<int, StreamRec> streams;
  int nextStream = 1;
  bool writesBlocked = false;
};

Streams& OpenStreams() {
  static Streams streams;
  return streams;
}

StreamRec* FindStream(Stream stream) {
  auto it = OpenStreams().streams.find(stream);
  return it == OpenStreams().streams.end() ? nullptr : &it->second;
}

}  // namespace

void detail::FlushWriteStreams() {
  for (auto& [id, rec] : OpenStreams().streams) {
    if (rec.file && !rec.reading) std::fflush(rec.file);
  }
}

bool ChangeDir(const std::string& path) {
  if (path.empty()) return false;
  if (detail::ViewMounted()) return detail::ViewChangeDir(path);
  return sys::ChangeFolder(path);
}

std::string CurrentDir() {
  if (detail::ViewMounted()) return detail::ViewCurrentDir();
  return sys::CurrentFolder();
}

int FileType(const std::string& path) {
  if (path.empty()) return kFileTypeNone;
  const sys::EntryKind kind = sys::Examine(detail::ReadPath(path)).kind;
  if (kind == sys::EntryKind::Folder) return kFileTypeFolder;
  // Only regular files count: opening a pipe or device could block.
  return kind == sys::EntryKind::File ? kFileTypeFile : kFileTypeNone;
}

bool DeleteFile(const std::string& path) {
  // Only what was saved can go: files of the data folder stay.
  std::string target = detail::WritePath(path, false);
  const bool removed = !target.empty() && !FileWritesBlocked() &&
                       sys::Examine(target).kind == sys::EntryKind::File && sys::RemoveFile(target);
  if (removed) detail::SaveFolderChanged();
  return removed;
}

Stream ReadFile(const std::string& logical) {
  if (FileType(logical) != kFileTypeFile) return 0;
  const std::string path = detail::ReadPath(logical);
  std::FILE* f = sys::OpenForReading(path);
  if (!f) {
    Notice("Could not read " + path);
    return 0;
  }
  Streams& c = OpenStreams();
  int id = c.nextStream++;
  c.streams[id] = StreamRec{f, true, false, path};
  return id;
}

Stream WriteFile(const std::string& logical) {
  if (FileWritesBlocked()) return 0;
  const std::string path = detail::WritePath(logical);
  if (path.empty()) return 0;
  // A link standing at the name is replaced, never written through.
  std::FILE* f = sys::OpenForWriting(path);
  if (!f) {
    Notice("Could not write " + path);
    return 0;
  }
  Streams& c = OpenStreams();
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

size_t ReadBytes(Stream stream, char* buffer, size_t size) {
  StreamRec* s = FindStream(stream);
  if (!s || !s->reading) return 0;
  return std::fread(buffer, 1, size, s->file);
}

long long FileSize(const std::string& path) {
  if (path.empty()) return -1;
  const sys::EntryInfo info = sys::Examine(detail::ReadPath(path));
  return info.kind == sys::EntryKind::File ? info.size : -1;
}

std::string UnusedFileName(const std::string& base) {
  std::string name = base;
  for (long n = 2; FileType(name) != kFileTypeNone; ++n) name = base + std::to_string(n);
  return name;
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
  Streams& c = OpenStreams();
  auto it = c.streams.find(stream);
  if (it == c.streams.end()) return;
  StreamRec rec = it->second;
  c.streams.erase(it);
  if (std::fclose(rec.file) != 0 && !rec.reading && !rec.failed) Notice("Could not finish writing " + rec.path);
  if (!rec.reading) detail::SaveFolderChanged();
}

void BlockFileWrites(bool blocked) { OpenStreams().writesBlocked = blocked; }
bool FileWritesBlocked() { return OpenStreams().writesBlocked; }

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  const std::string real = detail::ReadPath(path.empty() ? "." : path);
  if (!sys::ListFolder(real, names)) return {};
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace plat
