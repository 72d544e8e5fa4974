#include "platform/signal_cleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {
namespace {

// A few fixed slots the handler can read without allocating: a run
// registers at most a temporary file and a manifest at a time. Each holds
// the path as given, a zero, then its absolute form, which is what goes:
// the program may have changed directory by the time the signal comes.
constexpr int kSlots = 8;
std::atomic<char*> slots[kSlots];

std::string absolute(const std::string& path) {
#ifdef _WIN32
  char buffer[4096];
  if (_fullpath(buffer, path.c_str(), sizeof buffer)) return buffer;
  return path;
#else
  if (!path.empty() && path[0] == '/') return path;
  std::string directory(4096, '\0');
  while (!getcwd(directory.data(), directory.size())) {
    if (errno != ERANGE) return path;
    directory.resize(directory.size() * 2);
  }
  directory.resize(std::strlen(directory.c_str()));
  return directory + "/" + path;
#endif
}

#ifdef _WIN32
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGBREAK};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
#endif

extern "C" void on_signal(int signal) {
  for (auto& slot : slots) {
    if (char* given = slot.load()) {
      const char* path = given + std::strlen(given) + 1;
#ifdef _WIN32
      _unlink(path);
#else
      unlink(path);
#endif
    }
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void install_handlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : kSignals) {
#ifdef _WIN32
    std::signal(signal, on_signal);
#else
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int other : kSignals) sigaddset(&action.sa_mask, other);
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
#endif
  }
}

}  // namespace

SignalsHeld::SignalsHeld() {
#ifndef _WIN32
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kSignals) sigaddset(&held, signal);
  sigprocmask(SIG_BLOCK, &held, &saved_);
#endif
}

SignalsHeld::~SignalsHeld() {
#ifndef _WIN32
  sigprocmask(SIG_SETMASK, &saved_, nullptr);
#endif
}

void remove_on_signal(const std::string& path) {
  install_handlers();
  const std::string full = absolute(path);
  char* copy = static_cast<char*>(std::malloc(path.size() + 1 + full.size() + 1));
  if (!copy) return;
  std::memcpy(copy, path.c_str(), path.size() + 1);
  std::memcpy(copy + path.size() + 1, full.c_str(), full.size() + 1);
  for (auto& slot : slots) {
    char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, copy)) return;
  }
  std::free(copy);  // no room: best effort
}

void forget_on_signal(const std::string& path) {
  for (auto& slot : slots) {
    char* held = slot.load();
    if (held && path == held && slot.compare_exchange_strong(held, nullptr)) {
      std::free(held);
      return;
    }
  }
}

}  // namespace platform
