// Files a program must not leave behind when it is interrupted: a
// destination's temporary copy, the manifest it made for a jar. On SIGINT,
// SIGTERM, SIGHUP or SIGPIPE (Ctrl+C or Ctrl+Break on Windows) those still
// registered are removed, then the signal ends the program as it would
// have. A signal the program was started with ignored stays ignored.
#ifndef PLATFORM_SIGNAL_CLEANUP_H
#define PLATFORM_SIGNAL_CLEANUP_H

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

namespace platform {

// Removes `path` if a signal ends the program before forget_on_signal.
void remove_on_signal(const std::string& path);
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
