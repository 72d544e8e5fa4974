#include "platform/signal_cleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <new>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {
namespace {

// What is registered: a list the handler reads without allocating, newest
// first. Each entry holds its kind ('r' remove, 'm' move back), the path as
// given, a zero, then the absolute forms of its paths, which are what the
// handler acts on: the program may have changed directory by then. An
// entry forgotten is emptied, not unlinked, so the handler never meets a
// node being freed.
struct Entry {
  std::atomic<char*> data;
  Entry* next;
};
std::atomic<Entry*> registered{nullptr};

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

const char* after(const char* text) { return text + std::strlen(text) + 1; }

extern "C" void on_signal(int signal) {
  for (Entry* entry = registered.load(); entry; entry = entry->next) {
    const char* data = entry->data.load();
    if (!data) continue;
    const char* path = after(after(data));
#ifdef _WIN32
    if (data[0] == 'm')
      MoveFileExA(path, after(path), MOVEFILE_REPLACE_EXISTING);
    else if (_unlink(path) != 0)
      _rmdir(path);
#else
    if (data[0] == 'm')
      rename(path, after(path));
    else if (unlink(path) != 0)
      rmdir(path);
#endif
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

void add(char kind, const std::string& given, const std::string& first, const std::string& second) {
  install_handlers();
  const size_t size = 2 + given.size() + 1 + first.size() + 1 + second.size() + 1;
  char* data = static_cast<char*>(std::malloc(size));
  Entry* entry = static_cast<Entry*>(std::malloc(sizeof(Entry)));
  if (!data || !entry) {  // best effort
    std::free(data);
    std::free(entry);
    return;
  }
  char* at = data;
  *at++ = kind;
  *at++ = '\0';
  for (const std::string* part : {&given, &first, &second}) {
    std::memcpy(at, part->c_str(), part->size() + 1);
    at += part->size() + 1;
  }
  new (entry) Entry{{data}, registered.load()};
  while (!registered.compare_exchange_weak(entry->next, entry)) {
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

void remove_on_signal(const std::string& path) { add('r', path, absolute(path), ""); }

void restore_on_signal(const std::string& saved, const std::string& original) {
  add('m', saved, absolute(saved), absolute(original));
}

void forget_on_signal(const std::string& path) {
  SignalsHeld held;  // the handler never reads what is freed
  for (Entry* entry = registered.load(); entry; entry = entry->next) {
    char* data = entry->data.load();
    if (data && path == data + 2 && entry->data.compare_exchange_strong(data, nullptr)) {
      std::free(data);
      return;
    }
  }
}

}  // namespace platform
