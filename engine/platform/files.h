// Files and folders, text streams, and the view of a data and a save folder as one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plat {

using Stream = int;

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

}  // namespace plat
