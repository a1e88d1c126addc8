// ScopedLimit: lowers one resource limit of the test process for a scope,
// to make the file system fail where permissions would not stop root:
// RLIMIT_NOFILE at LowestFreeDescriptor() stops every open, RLIMIT_FSIZE
// stops writes past a size (SIGXFSZ is ignored meanwhile, so such a write
// fails with EFBIG instead of ending the process). Used by the saved-state
// tests of tests/host and tests/modules.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

namespace vantor::testing {

class ScopedLimit {
 public:
  ScopedLimit(int resource, rlim_t soft)
      : resource_(resource), handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(resource_, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = soft;
    setrlimit(resource_, &lowered);
  }
  ~ScopedLimit() {
    setrlimit(resource_, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  ScopedLimit(const ScopedLimit&) = delete;
  ScopedLimit& operator=(const ScopedLimit&) = delete;

 private:
  int resource_;
  void (*handler_)(int);
  rlimit saved_{};
};

inline rlim_t LowestFreeDescriptor() {
  const int fd = open("/dev/null", O_RDONLY);
  close(fd);
  return static_cast<rlim_t>(fd);
}

}  // namespace vantor::testing
