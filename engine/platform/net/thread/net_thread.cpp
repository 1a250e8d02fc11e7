// Posts on a thread of their own: a post can take seconds (a server far away, or
// not there at all), and a frame cannot wait. The thread shares only two queues
// with the program, each behind the one mutex; the post itself is the target's
// (post.h).
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/net.h"
#include "platform/net/thread/post.h"

namespace plat {
namespace {

struct Post {
  int ticket;
  std::string url, body;
};

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
    PostAnswer a;
    a.ticket = p.ticket;
    // Only a web address spelled out: libcurl would guess a scheme for "host:port".
    const bool web = p.url.rfind("http://", 0) == 0 || p.url.rfind("https://", 0) == 0;
    a.status = web ? sys::Post(p.url, p.body, a.body) : 0;
    if (a.status == 0) a.body.clear();
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
    sys::StartClient();
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
