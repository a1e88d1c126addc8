// Line printers, the runtime-error path, the signal handler and the
// debugger's line protocol on standard input and standard error.
#include "runtime/debug.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantor {

const char* dbg_info = nullptr;
String dbg_exstack;
int dbg_suspend = 0;
int dbg_stepmode = 0;

namespace {

constexpr int kExitFailure = -1;
constexpr const char* kErrorPrefix = "Vantor Runtime Error : ";
constexpr const char* kOutOfMemory = "Out of memory";
// A debugger line holds at most this many characters before its newline.
constexpr int kDebuggerLineChars = 255;

// A reusable 8-bit line: each unit's low byte, then a newline. It starts in
// a fixed buffer, so short lines (every error report) never allocate.
class LineBuffer {
 public:
  LineBuffer() = default;
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  // Writes the line with one write and flushes the stream.
  void write(const String& text, std::FILE* stream) {
    reserve(text.Length());
    for (int i = 0; i < text.Length(); ++i) data_[i] = static_cast<char>(text[i]);
    data_[text.Length()] = '\n';
    std::fwrite(data_, 1, static_cast<size_t>(text.Length()) + 1, stream);
    std::fflush(stream);
  }

 private:
  static constexpr int kInitialCapacity = 256;
  // Room kept beyond the text when the buffer is replaced.
  static constexpr int kSpare = 100;

  void reserve(int length) {
    if (static_cast<long>(length) + kSpare - 1 < capacity_) return;
    const long capacity = static_cast<long>(length) + kSpare;
    char* data = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!data) dbg_out_of_memory();
    if (data_ != initial_) std::free(data_);
    data_ = data;
    capacity_ = capacity;
  }

  char initial_[kInitialCapacity] = {};
  char* data_ = initial_;
  long capacity_ = kInitialCapacity;
};

LineBuffer print_buffer;
LineBuffer debug_buffer;

// The runtime-error line, written from the 8-bit text itself so that
// reporting heap exhaustion needs no allocation.
void print_error_line(const char* message) {
  std::fputs(kErrorPrefix, stdout);
  std::fputs(message, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// "@address": only an object found on the collector's lists is asked for its
// text; any other address is answered with an empty line, never touched.
void print_object_at(const char* text) {
  void* address = nullptr;
  Object* object = nullptr;
  if (std::sscanf(text, "%p", &address) == 1 && gc_is_live_object(address)) {
    object = dynamic_cast<Object*>(static_cast<gc_object*>(address));
  }
  dbg_print(object ? object->debug() : String());
}

// Reads one command line; ends the process when none can be read.
void read_command(char (&line)[kDebuggerLineChars + 1]) {
  if (!std::fgets(line, sizeof line, stdin)) std::exit(kExitFailure);
  char* newline = std::strchr(line, '\n');
  if (!newline) std::exit(kExitFailure);
  *newline = 0;
}

void resume(int suspend, int stepmode) {
  dbg_suspend = suspend;
  dbg_stepmode = stepmode;
}

}  // namespace

int Print(const String& text) {
  print_buffer.write(text, stdout);
  return 0;
}

int DebugLog(const String& text) { return Print(text); }

void dbg_print(const String& text) { debug_buffer.write(text, stderr); }

void warn(const char* text) {
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void fail(const char* text) {
  warn(text);
  std::exit(kExitFailure);
}

int Error(const String& text) {
  if (text.Length() == 0) std::exit(0);
  dbg_error(text.ToCString<char>());
}

// Execution never continues past a runtime error: a debugger that resumes
// gets the same error again.
void dbg_error(const char* message) {
  for (;;) {
    print_error_line(message);
    Print(dbg_stacktrace());
    dbg_stop();
  }
}

void dbg_out_of_memory() { dbg_error(kOutOfMemory); }

String dbg_stacktrace() {
  if (!dbg_info || !*dbg_info) return String();
  return String(dbg_info) + String("\n");
}

void dbg_throw(const char* message) {
  dbg_exstack = dbg_stacktrace();
  throw RuntimeErrorMessage{message};
}

void dbg_stop() {
  std::fprintf(stderr, "{{~~%s~~}}\n", dbg_info ? dbg_info : "");
  std::fflush(stderr);
  dbg_print(String());
  for (;;) {
    char line[kDebuggerLineChars + 1];
    read_command(line);
    switch (line[0]) {
      case '?':
        break;
      case '@':
        print_object_at(line + 1);
        break;
      case 'e':
      case 's':
        return resume(1, line[0]);
      case 'l':
        return resume(0, line[0]);
      case 'r':
        return resume(0, 0);
      case 'q':
        std::exit(0);
      default:
        std::printf("????? %s ?????", line);
        std::fflush(stdout);
        std::exit(kExitFailure);
    }
  }
}

int DebugStop() {
  dbg_stop();
  return 0;
}

void sighandler(int signal_number) {
  switch (signal_number) {
    case SIGFPE:
      dbg_error("Floating point exception");
    case SIGSEGV:
      dbg_error("Memory access violation");
    case SIGILL:
      dbg_error("Illegal instruction");
    default:
      dbg_error("Unknown signal");
  }
}

void install_signal_handlers() {
  for (int signal_number : {SIGSEGV, SIGILL, SIGFPE}) std::signal(signal_number, sighandler);
}

}  // namespace vantor
