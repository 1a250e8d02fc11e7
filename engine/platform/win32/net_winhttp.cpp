// Posts through WinHTTP, the system's own HTTP client (winhttp.dll): nothing ships
// beside the .exe for it, and https trusts the system's certificates. The calls
// block; the caller is the sender's own thread (platform/net/thread/).
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>

#include "platform/net/thread/post.h"
#include "platform/win32/wide.h"

namespace plat::sys {
namespace {

using Clock = std::chrono::steady_clock;

struct Handle {
  HINTERNET h;
  explicit Handle(HINTERNET handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h) WinHttpCloseHandle(h);
  }
};

// One session for every post, kept for the program's life like the thread.
HINTERNET Session() {
  // The proxy set for WinHTTP (usually none): unlike the automatic choice it never
  // stops to discover one, which no timeout below would bound.
  static HINTERNET session = WinHttpOpen(L"Brindlewood", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0);
  return session;
}

// WinHTTP bounds each step, not the whole post: before every step that waits, the
// step is given what is left of the post's time. False when nothing is left.
bool GiveTimeLeft(HINTERNET request, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;  // (0 would mean no limit at all to WinHTTP)
  const int all = static_cast<int>(left);
  const int reach = std::min(all, static_cast<int>(kConnectSeconds * 1000));
  if (!WinHttpSetTimeouts(request, reach, reach, all, all)) return false;
  DWORD ms = static_cast<DWORD>(all);
  WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &ms, sizeof ms);
  return true;
}

}  // namespace

void StartClient() {}

int Post(const std::string& url, const std::string& body, std::string& answer) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kPostSeconds);
  // A NUL would cut the address short at the system's calls; Wide is empty for
  // text that is not UTF-8.
  if (url.find('\0') != std::string::npos || body.size() > MAXDWORD) return 0;
  const std::wstring wideUrl = Wide(url);
  if (wideUrl.empty() || wideUrl.size() > MAXDWORD) return 0;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  // Lengths of -1: point into wideUrl rather than copy.
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = MAXDWORD;
  if (!WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts)) return 0;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return 0;
  if (!parts.lpszHostName || parts.dwHostNameLength == 0) return 0;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path;
  if (parts.lpszUrlPath) path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty() || path[0] != L'/') path.insert(0, L"/");

  if (!Session()) return 0;
  Handle connection(WinHttpConnect(Session(), host.c_str(), parts.nPort, 0));
  if (!connection.h) return 0;
  Handle request(WinHttpOpenRequest(connection.h, L"POST", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES,
                                    parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request.h) return 0;
  // A redirection is the server's answer, as with libcurl on Linux.
  DWORD off = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(request.h, WINHTTP_OPTION_DISABLE_FEATURE, &off, sizeof off);

  const auto size = static_cast<DWORD>(body.size());
  if (!GiveTimeLeft(request.h, deadline) ||
      !WinHttpSendRequest(request.h, L"Content-Type: application/octet-stream", static_cast<DWORD>(-1L),
                          const_cast<char*>(body.data()), size, size, 0) ||
      !GiveTimeLeft(request.h, deadline) || !WinHttpReceiveResponse(request.h, nullptr)) {
    return 0;
  }
  DWORD status = 0, statusSize = sizeof status;
  if (!WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
    return 0;
  }
  // The whole answer, within the post's time; only its first kAnswerBytes are kept.
  char buffer[16384];
  for (;;) {
    DWORD n = 0;
    if (!GiveTimeLeft(request.h, deadline) || !WinHttpReadData(request.h, buffer, sizeof buffer, &n)) return 0;
    if (n == 0) break;
    if (answer.size() < kAnswerBytes) answer.append(buffer, std::min<size_t>(n, kAnswerBytes - answer.size()));
  }
  return static_cast<int>(status);
}

}  // namespace plat::sys
