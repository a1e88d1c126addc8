// libFuzzer entry point for the replay script parser. Every line that is
// not blank or a comment becomes exactly one command or one error; commands
// come in update order and only with arguments their command accepts.
#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/input.h"
#include "tools/replay/script.h"

using namespace vantor::replay;
using vantor::fuzz::Check;

constexpr int kMaxSide = 8192;

// Lines as std::getline splits them, and how many of them hold a command.
static void CountLines(const std::string& text, int* lines, int* commandLines) {
  std::istringstream in(text);
  std::string line;
  for (*lines = *commandLines = 0; std::getline(in, line); ++*lines) {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start != std::string::npos && line[start] != '#') ++*commandLines;
  }
}

static bool Within(int value, int low, int high) { return value >= low && value <= high; }

static bool IsNameChar(unsigned char ch) {
  return std::isalnum(ch) || ch == '-' || ch == '_' || ch == '.';
}

static bool ArgumentsFit(const Command& c) {
  switch (c.kind) {
    case CommandKind::kPress:
    case CommandKind::kMove:
      return Within(c.x, 0, kMaxSide) && Within(c.y, 0, kMaxSide);
    case CommandKind::kResize:
      return Within(c.x, 1, kMaxSide) && Within(c.y, 1, kMaxSide);
    case CommandKind::kKey:
    case CommandKind::kKeyUp:
      return Within(c.x, 1, vantor::kKeyCount - 1);
    case CommandKind::kChar:
      return !c.text.empty() && c.text[0] != ' ' && c.text[0] != '\t';
    case CommandKind::kShot:
      return !c.text.empty() && c.text[0] != '.' &&
             std::all_of(c.text.begin(), c.text.end(), IsNameChar);
    default:
      return c.text.empty();
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string text = vantor::fuzz::Text(bytes, size);
  std::istringstream in(text);
  const Script script = ParseScript(in);
  int lines = 0, commandLines = 0;
  CountLines(text, &lines, &commandLines);
  const size_t outcomes = script.commands.size() + script.errors.size();
  Check(outcomes == static_cast<size_t>(commandLines),
        "each command line gives one command or one error");
  const auto byUpdate = [](const Command& a, const Command& b) { return a.update < b.update; };
  Check(std::is_sorted(script.commands.begin(), script.commands.end(), byUpdate),
        "commands in update order");
  for (const Command& c : script.commands) {
    Check(c.update >= 1 && Within(c.line, 1, lines), "update and line numbers in range");
    Check(ArgumentsFit(c), "arguments fit their command");
  }
  for (const ScriptError& e : script.errors)
    Check(Within(e.line, 1, lines) && !e.message.empty(), "errors name their line");
  vantor::fuzz::CheckHeap();
  return 0;
}
