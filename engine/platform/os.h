// Private to the platform: the operating system's calls the portable files need.
// Every target's file set (posix/, web/, win32/) implements all of these,
// one file per concern; the portable files decide what is done and when.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace plat::sys {

// --- Files and folders (posix/file_system.cpp) ---

enum class EntryKind { None, File, Folder, Link, Other };

struct EntryInfo {
  EntryKind kind = EntryKind::None;
  long long size = 0;
  std::time_t modified = 0;
  long modifiedNanos = 0;  // within the second, where the system keeps it
};

// Paths are UTF-8 with '/' between names on every target; a target whose system
// speaks otherwise converts at its calls (and takes its own separators too).

// What stands at `path` (None when nothing does or it cannot be looked at). A link
// counts as what it points to unless followLinks is false.
EntryInfo Examine(const std::string& path, bool followLinks = true);
// The names in a folder, "." and ".." left out, in the order the system gives.
// False when the folder cannot be read.
bool ListFolder(const std::string& path, std::vector<std::string>& names);
bool ChangeFolder(const std::string& path);
std::string CurrentFolder();  // "" when unknown
// Opens `path` for writing from empty; a link standing at the name is replaced,
// never written through. Null on failure.
std::FILE* OpenForWriting(const std::string& path);
// Opens an existing file for reading in binary. Null on failure.
std::FILE* OpenForReading(const std::string& path);

// --- Whole-file replacement (posix/file_replace.cpp) ---

// A file open for writing by its system handle; negative: none.
using FileHandle = int;

// Creates a file that did not exist (never opening what stands there, a planted
// link included). Negative on failure, with errno EEXIST when the name is taken.
FileHandle CreateNewFile(const std::string& path);
// Writes up to `size` bytes once; the count written, negative on failure (errno
// says why; EINTR asks to try again).
long long WriteSome(FileHandle file, const char* bytes, size_t size);
// Gives the new file the permissions of the regular file at `like` (if any), so
// a replacement changes the text only; its owner can always read it.
void KeepPermissions(FileHandle file, const std::string& like);
bool FlushToDisk(FileHandle file);
bool CloseFile(FileHandle file);
// Replaces `to` by `from` in one step: a reader sees the old file or the new one.
bool ReplaceByRename(const std::string& from, const std::string& to);
// Makes the folder's entries (a rename into it) reach the disk.
void FlushFolder(const std::string& folder);
bool RemoveFile(const std::string& path);
// The regular file at `path` cannot be written by this program or anyone else.
bool IsReadOnlyFile(const std::string& path);
// This process's number (a forked child's differs from its parent's).
long long ProcessId();

// --- The machine's folders (posix/folders.cpp) ---

// The running program's own file, "" when the system does not say.
std::string ProgramFile();
// Where the user's programs keep their data, "" when the system gives none.
std::string UserDataFolder();

// --- The calendar (calendar.cpp) ---

// The calendar fields of `t` in the machine's time zone, or in UTC. False when
// the system cannot give them.
bool LocalTime(std::time_t t, std::tm& out);
bool UniversalTime(std::time_t t, std::tm& out);

// --- Ends of the process (posix/signals.cpp) ---

// Routes the termination signals (an interrupt, a hang-up, a request to end) to
// `handler`, which may only note them; a broken connection is reported by the
// failed write instead of ending the program.
void CatchTerminationSignals(void (*handler)(int signal));
// Ends the process at once: no destructors, no buffered output flushed.
[[noreturn]] void EndNow(int code);

// --- Memory (memory.cpp: posix/ from glibc, web/ from the page's allocator) ---

struct HeapFigures {
  long long arena, freeBytes, used;
};

HeapFigures Heap();
// Gives free heap memory back to the system, keeping `pad` bytes at the top.
void TrimHeap(size_t pad);

}  // namespace plat::sys
