// Posts through libcurl (the thread around it is platform/net/thread/).
#include <curl/curl.h>

#include <algorithm>

#include "platform/net/thread/post.h"

namespace plat::sys {
namespace {

size_t Collect(char* data, size_t size, size_t count, void* out) {
  std::string& body = *static_cast<std::string*>(out);
  const size_t n = size * count;
  if (body.size() < kAnswerBytes) body.append(data, std::min(n, kAnswerBytes - body.size()));
  return n;
}

}  // namespace

void StartClient() { curl_global_init(CURL_GLOBAL_DEFAULT); }

int Post(const std::string& url, const std::string& body, std::string& answer) {
  CURL* curl = curl_easy_init();
  if (!curl) return 0;
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/octet-stream");
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kPostSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  long status = 0;
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return static_cast<int>(status);
}

}  // namespace plat::sys
