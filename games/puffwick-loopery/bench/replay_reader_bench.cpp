// The replay reader against hostile files: writes each file below into a scratch
// folder, plays it with `PROGRAM --replay FILE --headless` in a child process and
// prints the exit status, the wall-clock seconds and the child's peak memory.
//   build/<dir>/replay_reader_bench build/<dir>/puffwick-loopery [golden replay]
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kHead =
    "puffwick-replay 1\ndifficulty 0\narea 1280 960\nslow-system 0\nframe-parity 0\nmouse 0 0 0 0 0 0\nbindings" +
    [] {
      std::string b;
      for (int i = 0; i < 101; ++i) b += " 0";
      return b;
    }() + "\nframes\n";

// A replay of `frames` frame lines, `line` on each, the checksum every 60th.
void WriteFrames(const std::string& path, long frames, const std::string& line) {
  std::ofstream out(path, std::ios::binary);
  out << kHead;
  for (long f = 1; f <= frames; ++f) {
    out << (f % 60 == 0 ? (line == "." ? std::string() : line + " ") + "#0123456789abcdef" : line) << '\n';
  }
  out << ".\nend score 0 frames " << frames << '\n';
}

// A replay whose one frame line holds `count` close requests.
void WriteTokens(const std::string& path, int count) {
  std::ofstream out(path, std::ios::binary);
  out << kHead;
  for (int i = 0; i < count; ++i) out << (i ? " x" : "x");
  out << "\nend score 0 frames 0\n";
}

struct Row {
  std::string what;
  std::function<void(const std::string&)> write;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PROGRAM [easy.txt]\n", argv[0]);
    return 2;
  }
  const std::string program = fs::absolute(argv[1]).string();
  const std::string golden = argc > 2 ? argv[2] : "games/puffwick-loopery/tests/replays/easy.txt";
  std::ifstream in(golden, std::ios::binary);
  const std::string easy((std::istreambuf_iterator<char>(in)), {});
  if (easy.empty()) {
    std::fprintf(stderr, "cannot read %s\n", golden.c_str());
    return 2;
  }
  const fs::path dir = fs::temp_directory_path() / ("replay-reader-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);

  std::vector<Row> rows = {
      {"the easy golden replay", [&](const std::string& p) { std::ofstream(p, std::ios::binary) << easy; }},
      {"1 GB of zero bytes",
       [](const std::string& p) {
         std::ofstream(p, std::ios::binary).close();
         fs::resize_file(p, 1ull << 30);
       }},
      {"20 MB: ten million x tokens on one line", [](const std::string& p) { WriteTokens(p, 10000000); }},
      {"four million x tokens on one line", [](const std::string& p) { WriteTokens(p, 4000000); }},
      {"11 MB: five million frames", [](const std::string& p) { WriteFrames(p, 5000000, "."); }},
      {"3.6 million frames", [](const std::string& p) { WriteFrames(p, 3600000, "."); }},
      {"760 000 frames of two pointer moves", [](const std::string& p) { WriteFrames(p, 760000, "p1,2 p3,4"); }},
      {"easy.txt with every LF a NUL",
       [&](const std::string& p) {
         std::string t = easy;
         for (char& ch : t) ch = ch == '\n' ? '\0' : ch;
         std::ofstream(p, std::ios::binary) << t;
       }},
      {"d\\r1 in a frame line",
       [](const std::string& p) { std::ofstream(p, std::ios::binary) << kHead << "d\r1\n.\nend score 0 frames 1\n"; }},
      {"2148 tokens h65*1000000 in one frame",
       [](const std::string& p) {
         std::ofstream out(p, std::ios::binary);
         out << kHead;
         for (int i = 0; i < 2148; ++i) out << (i ? " " : "") << "h65*1000000";
         out << "\n.\nend score 0 frames 1\n";
       }},
  };

  std::printf("%-42s %10s %6s %8s %10s\n", "file", "bytes", "exit", "seconds", "peak MB");
  for (const Row& row : rows) {
    const std::string path = (dir / "replay.txt").string();
    row.write(path);
    const auto bytes = fs::file_size(path);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(program.c_str(), program.c_str(), "--replay", path.c_str(), "--headless", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%-42s %10llu %6d %8.2f %10.1f\n", row.what.c_str(), static_cast<unsigned long long>(bytes), code,
                seconds, usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
    fs::remove(path);
  }
  fs::remove_all(dir);
  return 0;
}
