// Posts through libcurl on a thread of their own: a post can take seconds (a
// server far away, or not there at all), and a frame cannot wait. The thread
// shares only two queues with the program, each behind the one mutex.
#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/net.h"

namespace plat {
namespace {

struct Post {
  int ticket;
  std::string url, body;
};

constexpr long kConnectSeconds = 5;
constexpr long kPostSeconds = 30;
constexpr size_t kAnswerBytes = 64 * 1024;

struct Sender {
  std::mutex mutex;
  std::condition_variable work;
  std::deque<Post> posts;
  std::vector<PostAnswer> answers;
  int nextTicket = 1;
  bool started = false;
};
Sender& TheSender() {
  // Never destroyed: the thread may still be in a post when the program ends.
  static Sender* s = new Sender;
  return *s;
}

size_t Collect(char* data, size_t size, size_t count, void* out) {
  std::string& body = *static_cast<std::string*>(out);
  const size_t n = size * count;
  if (body.size() < kAnswerBytes) body.append(data, std::min(n, kAnswerBytes - body.size()));
  return n;
}

PostAnswer Send(const Post& p) {
  PostAnswer a;
  a.ticket = p.ticket;
  CURL* curl = curl_easy_init();
  if (!curl) return a;
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/octet-stream");
  curl_easy_setopt(curl, CURLOPT_URL, p.url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, p.body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(p.body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &a.body);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kPostSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  if (curl_easy_perform(curl) == CURLE_OK) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    a.status = static_cast<int>(status);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return a;
}

void Run() {
  Sender& s = TheSender();
  for (;;) {
    Post p;
    {
      std::unique_lock lock(s.mutex);
      s.work.wait(lock, [&] { return !s.posts.empty(); });
      p = std::move(s.posts.front());
      s.posts.pop_front();
    }
    PostAnswer a = Send(p);
    {
      std::lock_guard lock(s.mutex);
      s.answers.push_back(std::move(a));
    }
  }
}

}  // namespace

int StartPost(const std::string& url, const std::string& body) {
  Sender& s = TheSender();
  std::lock_guard lock(s.mutex);
  if (!s.started) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::thread(Run).detach();
    s.started = true;
  }
  s.posts.push_back(Post{s.nextTicket, url, body});
  s.work.notify_one();
  return s.nextTicket++;
}

std::vector<PostAnswer> TakeAnswers() {
  Sender& s = TheSender();
  std::lock_guard lock(s.mutex);
  std::vector<PostAnswer> out;
  out.swap(s.answers);
  return out;
}

}  // namespace plat
