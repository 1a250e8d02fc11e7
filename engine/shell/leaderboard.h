// The world leaderboard, opt-in: with a server named (--leaderboard URL, or
// "Leaderboard = URL" in Setup.ini) each game's replay is sent there after name
// entry, and the server's answer shows as an on-screen message. Sending never holds
// up a frame: the platform posts on its own thread and the answer is collected
// once a frame.
#pragma once

#include <string>

// The leaderboard's URL for this run ("" when none).
std::string LeaderboardUrl();
// Sends a game's replay `text`, saved as `savedFile` ("" when it could not be
// saved). Until the server answers, the file is listed in replays/unsent.txt, so
// that a game the server never heard of (not reached, or the program ended first)
// is sent again at the next start.
void SendToLeaderboard(const std::string& text, const std::string& savedFile);
// At start: sends the listed replays once more, and empties the list, so that no
// file is sent again more than once.
void ResendUnsentReplays();
// Once a frame: the answers that came in become messages.
void CollectLeaderboardAnswers();

constexpr const char* kUnsentList = "replays/unsent.txt";
