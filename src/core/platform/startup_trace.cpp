#include "platform/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace tamso::startup {

namespace {

using Clock = std::chrono::steady_clock;

struct State {
  bool enabled = false;
  bool started = false;
  Clock::time_point first;
  Clock::time_point last;
  std::set<std::string> once;
};

State& Get() {
  static State state = [] {
    State s;
    const char* v = std::getenv("TAMSO_STARTUP_TRACE");
    s.enabled = v && *v && std::strcmp(v, "0") != 0;
    return s;
  }();
  return state;
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

bool Enabled() {
  return Get().enabled;
}

void Mark(const char* phase) {
  State& s = Get();
  if (!s.enabled) return;
  const Clock::time_point now = Clock::now();
  if (!s.started) {
    s.started = true;
    s.first = s.last = now;
  }
  std::fprintf(stderr, "tamso-startup: %8.1f ms  (+%7.1f)  %s\n", Ms(now - s.first),
               Ms(now - s.last), phase);
  std::fflush(stderr);
  s.last = now;
}

void MarkOnce(const char* phase) {
  State& s = Get();
  if (!s.enabled || !s.once.insert(phase).second) return;
  Mark(phase);
}

}  // namespace tamso::startup
