// What a program must not leave behind when it is interrupted: a
// destination's temporary copy, the manifest it made for a jar, copies of
// sources made for a compile, a jar moved aside while a new one is made. On
// SIGINT, SIGTERM, SIGHUP or SIGPIPE (Ctrl+C or Ctrl+Break on Windows) what
// is still registered is undone, newest first, then the signal ends the
// program as it would have. A signal the program was started with ignored
// stays ignored.
#ifndef PLATFORM_SIGNAL_CLEANUP_H
#define PLATFORM_SIGNAL_CLEANUP_H

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

namespace platform {

// Removes `path`, a file or an empty directory, if a signal ends the
// program before forget_on_signal(path).
void remove_on_signal(const std::string& path);
// Renames `saved` back over `original` if a signal ends the program before
// forget_on_signal(saved).
void restore_on_signal(const std::string& saved, const std::string& original);
void forget_on_signal(const std::string& path);

// Holds those signals back while it lives, so that a file can be created
// and registered with no signal in between: one that comes meanwhile is
// handled when it ends, the file registered by then.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
#ifndef _WIN32
  sigset_t saved_;
#endif
};

}  // namespace platform

#endif  // PLATFORM_SIGNAL_CLEANUP_H
