// Line printers, runtime errors, the debugger protocol and fatal signals.
// Each case runs in a forked child with the debugger's commands on its
// standard input; what it prints on each stream and how it ends are checked.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>

#include "runtime/array.h"
#include "runtime/debug.h"

namespace vantor {
namespace {

constexpr int kExitFailure = 255;  // exit(-1) as the shell sees it
constexpr int kReturned = 111;     // the child's status when the case returns
const std::string kProtocol = "{{~~~~}}\n\n";

// What a child wrote into `file`, which is then closed.
std::string Contents(std::FILE* file) {
  std::string text(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

// The child writes into files, so no pipe can fill up and stall it.
// Returns how it ended and what it printed on each stream.
std::tuple<int, std::string, std::string> RunChild(const std::function<void()>& body,
                                                   const std::string& input) {
  std::FILE* streams[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};
  std::fputs(input.c_str(), streams[0]);
  std::rewind(streams[0]);
  const pid_t pid = (std::fflush(nullptr), fork());
  if (pid == 0) {
    for (int fd = 0; fd < 3; ++fd) dup2(fileno(streams[fd]), fd);
    body();
    std::fflush(nullptr);
    _exit(kReturned);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  std::fclose(streams[0]);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), Contents(streams[1]),
          Contents(streams[2])};
}

std::string Report(const std::string& message) {
  return "Vantor Runtime Error : " + message + "\n\n";
}

// The printers, then a throw: an empty location gives no trace either.
void PrintAndThrow() {
  Print(String(u"A\u0142\u20AC"));
  DebugLog(String(std::string(10000, 'z').c_str()));
  warn("warned");
  dbg_print(String(u"\u0141ine"));
  dbg_info = "";
  Print(dbg_stacktrace());
  dbg_info = "here";
  try {
    dbg_throw("bad thing");
  } catch (const RuntimeErrorMessage& error) {
    Print(String(error.message) + String("|") + dbg_exstack);
  }
}

void StepAndShowState() {
  dbg_suspend = 7, dbg_stepmode = 'x';
  DebugStop();
  std::printf("%d %c", dbg_suspend, dbg_stepmode ? dbg_stepmode : '-');
}

// Signal 0 stands for a genuine fault: a store to a page that may not be
// touched (a null store would be caught first by the undefined-behaviour
// checks).
template <int kSignal>
void Fatal() {
  install_signal_handlers(), std::signal(SIGTERM, sighandler);
  if (kSignal != 0) std::raise(kSignal);
  *static_cast<volatile int*>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) =
      1;
}

[[maybe_unused]] void AllocateBeyondTheHeap() {
  const rlimit limit = {1u << 30, 1u << 30};
  setrlimit(RLIMIT_AS, &limit);
  gc_malloc(1536 << 20);
}

TEST(Debug, EachPathPrintsAndEndsAsTheCommandsSay) {
  const auto abc = [] { Error(String("abc")); };
  // The child shares this process's heap layout, so it can be asked about
  // objects made here.
  auto* object = gc_new<Object>();
  const Array<int> array(3);
  char addresses[64];
  std::snprintf(addresses, sizeof addresses, "@%p\n@%p\n", static_cast<void*>(object),
                static_cast<void*>(array.GetRep()));
  struct Case {
    const char* name;
    std::function<void()> body;
    std::string input;
    int status;
    std::string out, err;
  };
  const Case cases[] = {
      {"printers take low bytes", PrintAndThrow, "", kReturned,
       "AB\xAC\n" + std::string(10000, 'z') + "\nwarned\n\nbad thing|here\n\n", "Aine\n"},
      {"empty error ends quietly", [] { Error(String()); }, "", 0, "", ""},
      {"fail prints the line", [] { fail("no window"); }, "", kExitFailure, "no window\n", ""},
      {"no debugger", abc, "", kExitFailure, Report("abc"), kProtocol},
      {"low bytes of the units", [] { Error(String(u"\u0141bc")); }, "", kExitFailure,
       Report("Abc"), kProtocol},
      {"debug location", [] { dbg_info = "game.cpp<7>", dbg_error("stop"); }, "", kExitFailure,
       "Vantor Runtime Error : stop\ngame.cpp<7>\n\n", "{{~~game.cpp<7>~~}}\n\n"},
      {"resume reports again", abc, "r\nr\n", kExitFailure,
       Report("abc") + Report("abc") + Report("abc"), kProtocol + kProtocol + kProtocol},
      {"unknown command", abc, "?\nxyz\nq\n", kExitFailure, Report("abc") + "????? xyz ?????",
       kProtocol},
      {"line without newline", abc, "r", kExitFailure, Report("abc"), kProtocol},
      {"step e", StepAndShowState, "e\n", kReturned, "1 e", kProtocol},
      {"step l", StepAndShowState, "l\n", kReturned, "0 l", kProtocol},
      {"step r", StepAndShowState, "r\n", kReturned, "0 -", kProtocol},
      // Only the live object answers; the array (no Object) and bogus
      // addresses get an empty line each.
      {"@ prints live objects", [] { DebugStop(); },
       std::string(addresses) + "@0x10\n@(nil)\n@rubbish\n@\nq\n", 0, "",
       kProtocol + "+Object\n\n" + std::string(5, '\n')},
      {"SIGFPE", Fatal<SIGFPE>, "", kExitFailure, Report("Floating point exception"), kProtocol},
      {"SIGILL", Fatal<SIGILL>, "", kExitFailure, Report("Illegal instruction"), kProtocol},
      {"other signal", Fatal<SIGTERM>, "", kExitFailure, Report("Unknown signal"), kProtocol},
      {"memory fault", Fatal<0>, "", kExitFailure, Report("Memory access violation"), kProtocol},
      {"large block", [] { gc_malloc_large(INT_MAX + 1L); }, "", kExitFailure,
       Report("Out of memory"), kProtocol},
      {"negative block", [] { gc_malloc(-8); }, "", kExitFailure, Report("Out of memory"),
       kProtocol},
      {"huge array", [] { Array<int> huge(INT_MAX / 2); }, "", kExitFailure,
       Report("Out of memory"), kProtocol},
      {"huge string", [] { String(u"x", INT_MAX); }, "", kExitFailure, Report("Out of memory"),
       kProtocol},
#ifndef __SANITIZE_ADDRESS__  // whose allocator cannot run under the limit
      {"system heap refuses", AllocateBeyondTheHeap, "", kExitFailure, Report("Out of memory"),
       kProtocol},
#endif
  };
  for (const Case& c : cases)
    EXPECT_EQ(RunChild(c.body, c.input), std::tie(c.status, c.out, c.err)) << c.name;
}

}  // namespace
}  // namespace vantor
