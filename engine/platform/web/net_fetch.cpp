// Posts from a page through the browser's fetch. A post runs while the program
// sleeps between frames; its answer waits in the page's script until a frame
// collects it. Only the page's own origin is posted to: any other address is
// answered at once as not reached, whatever asked for it.
#include <emscripten.h>

#include "platform/net.h"

namespace plat {
namespace {

// Answers waiting for the program, as {ticket, status, body (bytes)}.
EM_JS(void, page_post, (int ticket, const char* url, const char* body, int size), {
  var waiting = Module.postAnswers || (Module.postAnswers = []);
  var answer = function (status, bytes) { waiting.push({ticket: ticket, status: status, body: bytes}); };
  var target;
  try {
    target = new URL(UTF8ToString(url), location.href);
  } catch (e) {
    target = null;
  }
  if (!target || target.origin !== location.origin) {
    answer(0, new Uint8Array(0));
    return;
  }
  var stop = new AbortController();
  var timer = setTimeout(function () { stop.abort(); }, 30000);
  fetch(target.href, {method: "POST", body: HEAPU8.slice(body, body + size), signal: stop.signal,
                      headers: {"Content-Type": "application/octet-stream"}, credentials: "same-origin",
                      redirect: "error", cache: "no-store"})
    .then(function (r) {
      return r.arrayBuffer().then(function (b) { answer(r.status, new Uint8Array(b.slice(0, 65536))); },
                                  function () { answer(r.status, new Uint8Array(0)); });
    }, function () { answer(0, new Uint8Array(0)); })
    .finally(function () { clearTimeout(timer); });
});

// The first waiting answer's body size, its ticket and status; -1 when none waits.
EM_JS(int, page_first_answer, (int* ticket, int* status), {
  var waiting = Module.postAnswers;
  if (!waiting || !waiting.length) return -1;
  HEAP32[ticket >> 2] = waiting[0].ticket;
  HEAP32[status >> 2] = waiting[0].status;
  return waiting[0].body.length;
});

// Copies the first waiting answer's body to `out` and lets go of it.
EM_JS(void, page_take_first_answer, (char* out), {
  HEAPU8.set(Module.postAnswers.shift().body, out);
});

int g_next = 1;

}  // namespace

int StartPost(const std::string& url, const std::string& body) {
  const int ticket = g_next++;
  page_post(ticket, url.c_str(), body.data(), static_cast<int>(body.size()));
  return ticket;
}

std::vector<PostAnswer> TakeAnswers() {
  std::vector<PostAnswer> out;
  PostAnswer a;
  for (int size; (size = page_first_answer(&a.ticket, &a.status)) >= 0;) {
    a.body.assign(static_cast<size_t>(size), '\0');
    page_take_first_answer(a.body.data());
    out.push_back(a);
  }
  return out;
}

}  // namespace plat
