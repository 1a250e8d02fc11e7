// The data folder and the save folder seen as one tree (see MountFileRoots), and
// the places the machine gives for them. A small layer of our own rather than a
// general virtual file system: the loaders hand real paths to libpng, FreeType
// and SDL, whole-file saves need fsync and rename, and the game moves through
// folders with "../", so every operation keeps working on real paths and only the
// choice of path changes.
#include <cerrno>
#include <filesystem>

#include "platform/platform_internal.h"
#include "platform/os.h"
#include "base/paths.h"

namespace plat {

namespace {

// The file roots as mounted: the data and save folders shown as one tree, and the
// current folder within it.
struct View {
  bool mounted = false;
  bool saving = true;  // writes may go to the save folder
  std::string data;  // absolute, normalised, no trailing slash
  std::string save;
  std::string cwd;  // the current folder, an absolute path in the machine's terms
};

View& MountedView() {
  static View view;
  return view;
}

// Lexically normalised, without a trailing slash (except the root itself).
std::string Normal(const std::string& path) { return NormalPath(PathFromUtf8(path)); }

std::string RealCwd() {
  std::error_code error;
  std::string cwd = Utf8FromPath(std::filesystem::current_path(error));
  return error ? std::string("/") : cwd;
}

std::string Absolute(const std::string& path, const std::string& from) {
  return Normal(PathFromUtf8(path).has_root_directory() ? path : from + "/" + path);
}

// The part of `abs` below the save folder ("" for the folder itself); false outside it.
bool Inside(const std::string& abs, std::string& rel) {
  const std::string& base = MountedView().save;
  if (abs == base) {
    rel.clear();
    return true;
  }
  if (abs.size() > base.size() && abs.compare(0, base.size(), base) == 0 && (abs[base.size()] == '/' || base == "/")) {
    rel = abs.substr(base == "/" ? 1 : base.size() + 1);
    return true;
  }
  return false;
}

std::string Under(const std::string& root, const std::string& rel) { return rel.empty() ? root : root + "/" + rel; }

bool Exists(const std::string& path) { return sys::Examine(path).kind != sys::EntryKind::None; }

bool IsFolder(const std::string& path) { return sys::Examine(path).kind == sys::EntryKind::Folder; }

// errno tells why on failure.
bool MakeRealDirs(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(path), error);
  if (IsFolder(path)) return true;
  errno = error ? error.value() : ENOTDIR;
  return false;
}

}  // namespace

namespace detail {

bool ViewMounted() { return MountedView().mounted; }

std::string ReadPath(const std::string& path) {
  const View& v = MountedView();
  if (!v.mounted || path.empty()) return path;
  std::string abs = Absolute(path, v.cwd), rel;
  if (!Inside(abs, rel)) return abs;
  std::string saved = Under(v.save, rel);
  if (v.saving && Exists(saved)) return saved;
  return Under(v.data, rel);
}

std::string WritePath(const std::string& path, bool makeFolders) {
  const View& v = MountedView();
  if (!v.mounted || path.empty()) return path;
  std::string abs = Absolute(path, v.cwd), rel;
  if (!Inside(abs, rel)) return abs;
  if (!v.saving || rel.empty()) return {};
  std::string target = Under(v.save, rel);
  if (makeFolders) MakeRealDirs(Utf8FromPath(PathFromUtf8(target).parent_path()));
  return target;
}

bool ViewChangeDir(const std::string& path) {
  View& v = MountedView();
  std::string abs = Absolute(path, v.cwd);
  if (!IsFolder(ReadPath(abs))) return false;
  v.cwd = abs;
  return true;
}

std::string ViewCurrentDir() { return MountedView().cwd; }

}  // namespace detail

void MountFileRoots(const std::string& dataRoot, const std::string& saveRoot, bool saving) {
  View& v = MountedView();
  std::string here = RealCwd();
  v.data = Absolute(dataRoot, here);
  v.save = Absolute(saveRoot, here);
  v.saving = saving;
  v.cwd = v.save;
  v.mounted = true;
}

void UnmountFileRoots() { MountedView() = View{}; }

bool SavingOn() { return !MountedView().mounted || MountedView().saving; }

bool MakeDir(const std::string& path) {
  if (path.empty()) return false;
  if (FileType(path) == kFileTypeFolder) return true;
  if (FileWritesBlocked()) return false;
  std::string target = detail::WritePath(path, false);
  if (target.empty()) return false;
  return MakeRealDirs(target);
}

std::string ProgramFolder() {
  const std::string program = sys::ProgramFile();
  if (program.empty()) return RealCwd();
  return Utf8FromPath(PathFromUtf8(program).parent_path());
}

std::string UserDataFolder() {
  const std::string folder = sys::UserDataFolder();
  return folder.empty() ? folder : Normal(folder);
}

}  // namespace plat
