#include "tests/runtime/child_process.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace vantor::testing_support {

namespace {

struct Pipe {
  int read_end = -1;
  int write_end = -1;
  Pipe() {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    read_end = ends[0];
    write_end = ends[1];
  }
};

[[noreturn]] void become_child(const std::function<void()>& body, Pipe& in, Pipe& out, Pipe& err) {
  dup2(in.read_end, STDIN_FILENO);
  dup2(out.write_end, STDOUT_FILENO);
  dup2(err.write_end, STDERR_FILENO);
  for (int fd : {in.read_end, in.write_end, out.read_end, out.write_end, err.read_end, err.write_end}) close(fd);
  std::clearerr(stdin);
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(kChildReturned);
}

// Reads both streams until the child closes them, so that neither pipe can
// fill up and stall it.
void collect(int out_fd, int err_fd, ChildResult& result) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_streams = 2;
  while (open_streams > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_streams;
      }
    }
  }
}

}  // namespace

ChildResult run_child(const std::function<void()>& body, const std::string& input) {
  std::fflush(stdout);
  std::fflush(stderr);
  // A child that ends before reading its input must not kill the test.
  std::signal(SIGPIPE, SIG_IGN);
  Pipe in, out, err;
  const pid_t pid = fork();
  if (pid < 0) std::abort();
  if (pid == 0) become_child(body, in, out, err);
  close(in.read_end);
  close(out.write_end);
  close(err.write_end);
  // Test inputs are far smaller than a pipe's buffer.
  if (!input.empty() && write(in.write_end, input.data(), input.size()) < 0) std::abort();
  close(in.write_end);
  ChildResult result;
  collect(out.read_end, err.read_end, result);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace vantor::testing_support
