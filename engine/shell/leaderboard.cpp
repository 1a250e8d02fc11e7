#include "shell/leaderboard.h"

#include <algorithm>
#include <vector>

#include "config/config_state.h"
#include "core/game_table.h"
#include "core/log.h"
#include "core/state.h"
#include "platform/net.h"
#include "platform/platform.h"
#include "replay/replay_text.h"
#include "shell/shell_state.h"

namespace {

std::vector<std::string> ReadUnsent() {
  std::vector<std::string> names;
  if (plat::FileType(kUnsentList) != plat::kFileTypeFile) return names;
  plat::Stream in = plat::ReadFile(kUnsentList);
  if (!in) return names;
  while (!plat::Eof(in)) {
    std::string line = plat::ReadLine(in);
    if (!line.empty() && line.find('/') == std::string::npos && names.size() < 1000) names.push_back(line);
  }
  plat::CloseStream(in);
  return names;
}

void WriteUnsent(const std::vector<std::string>& names) {
  if (names.empty()) {
    if (plat::FileType(kUnsentList) == plat::kFileTypeFile) plat::DeleteFile(kUnsentList);
    return;
  }
  std::string text;
  for (const std::string& n : names) text += n + "\n";
  if (!plat::ReplaceFileContents(kUnsentList, text)) LogLine(std::string("Could not write ") + kUnsentList);
}

// The file's name within replays/.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A whole number after "key": in the server's JSON answer; -1 when absent.
long long JsonNumber(const std::string& body, const std::string& key) {
  const size_t at = body.find("\"" + key + "\":");
  if (at == std::string::npos) return -1;
  long long n = 0;
  size_t i = at + key.size() + 3;
  if (i >= body.size() || body[i] < '0' || body[i] > '9') return -1;
  for (; i < body.size() && body[i] >= '0' && body[i] <= '9' && n < 1000000000000LL; ++i) n = n * 10 + (body[i] - '0');
  return n;
}

void Post(const std::string& text, const std::string& file) {
  const std::string url = LeaderboardUrl();
  const int ticket = plat::StartPost(url + "/api/v1/replays", text);
  std::string difficulty = "?";
  plat::Tape tape;
  int line = 0;
  std::string error;
  // The difficulty the replay was played at, for the message.
  if (plat::ParseTape(text, tape, line, error)) {
    const std::string d = tape.Header("difficulty");
    if (d.size() == 1 && d[0] >= '0' && d[0] <= '2') difficulty = Core.ThisGame.difficultyNames[d[0] - '0'];
  }
  Shell.LeaderboardPosts.push_back({ticket, file, difficulty});
}

}  // namespace

std::string LeaderboardUrl() {
  std::string url = Shell.LeaderboardOverride.empty() ? Config.Leaderboard : Shell.LeaderboardOverride;
  while (!url.empty() && url.back() == '/') url.pop_back();
  // Only a web address: anything else (a typing slip, a file path) sends nothing.
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return {};
  if (url.size() > 1000 || std::any_of(url.begin(), url.end(), [](char c) { return c <= ' '; })) return {};
  return url;
}

void SendToLeaderboard(const std::string& text, const std::string& savedFile) {
  if (text.empty() || LeaderboardUrl().empty()) return;
  if (!savedFile.empty()) {
    std::vector<std::string> names = ReadUnsent();
    names.push_back(BaseName(savedFile));
    WriteUnsent(names);
  }
  Post(text, BaseName(savedFile));
}

void ResendUnsentReplays() {
  if (LeaderboardUrl().empty()) return;
  const std::vector<std::string> names = ReadUnsent();
  if (names.empty()) return;
  WriteUnsent({});
  for (const std::string& name : names) {
    const std::string path = "replays/" + name;
    if (plat::FileType(path) != plat::kFileTypeFile || plat::FileSize(path) > plat::kMaxReplayBytes) continue;
    std::string text;
    plat::Stream in = plat::ReadFile(path);
    if (!in) continue;
    char buf[65536];
    for (size_t n; (n = plat::ReadBytes(in, buf, sizeof buf)) > 0;) text.append(buf, n);
    plat::CloseStream(in);
    LogLine("Sending the replay " + path + " to the leaderboard again");
    Post(text, "");  // "" : not listed again, whatever the answer
  }
}

void CollectLeaderboardAnswers() {
  if (Shell.LeaderboardPosts.empty()) return;
  for (const plat::PostAnswer& a : plat::TakeAnswers()) {
    auto post = std::find_if(Shell.LeaderboardPosts.begin(), Shell.LeaderboardPosts.end(),
                             [&](const ShellState::LeaderboardPost& p) { return p.ticket == a.ticket; });
    if (post == Shell.LeaderboardPosts.end()) continue;
    const long long rank = JsonNumber(a.body, "rank"), of = JsonNumber(a.body, "of");
    const bool reached = a.status != 0 && a.status != 429 && a.status < 500;
    if ((a.status == 200 || a.status == 201) && rank > 0 && of > 0) {
      AddMessage("World rank " + std::to_string(rank) + " of " + std::to_string(of) + " (" + post->difficulty + ")", 0);
    } else if (!reached) {
      AddMessage("Leaderboard not reached: score kept here", 0);
    } else {
      AddMessage(a.status == 409 ? "Leaderboard: update the game to take part" : "Leaderboard refused the score", 0);
    }
    LogLine("Leaderboard answered " + std::to_string(a.status) + " for " + (post->file.empty() ? "a resent replay" : post->file));
    // Heard by the server (whatever it said): not to be sent again.
    if (reached && !post->file.empty()) {
      std::vector<std::string> names = ReadUnsent();
      names.erase(std::remove(names.begin(), names.end(), post->file), names.end());
      WriteUnsent(names);
    }
    Shell.LeaderboardPosts.erase(post);
  }
}
