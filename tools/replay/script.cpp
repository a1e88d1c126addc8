#include "tools/replay/script.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <sstream>

#include "host/input.h"

namespace vantor::replay {
namespace {

// What follows a command's name.
enum class Arguments { kNone, kPoint, kSize, kKeyCode, kText, kName };

struct CommandForm {
  const char* name;
  CommandKind kind;
  Arguments arguments;
};

constexpr std::array kCommands = {
    CommandForm{"press", CommandKind::kPress, Arguments::kPoint},
    CommandForm{"release", CommandKind::kRelease, Arguments::kNone},
    CommandForm{"move", CommandKind::kMove, Arguments::kPoint},
    CommandForm{"key", CommandKind::kKey, Arguments::kKeyCode},
    CommandForm{"keyup", CommandKind::kKeyUp, Arguments::kKeyCode},
    CommandForm{"char", CommandKind::kChar, Arguments::kText},
    CommandForm{"iconify", CommandKind::kIconify, Arguments::kNone},
    CommandForm{"restore", CommandKind::kRestore, Arguments::kNone},
    CommandForm{"resize", CommandKind::kResize, Arguments::kSize},
    CommandForm{"shot", CommandKind::kShot, Arguments::kName},
    CommandForm{"state", CommandKind::kState, Arguments::kNone},
    CommandForm{"quit", CommandKind::kQuit, Arguments::kNone},
};

// A window larger than this on either side is surely a typing error.
constexpr int kMaxWindowSide = 8192;

std::optional<int> ParseInt(const std::string& word) {
  int value = 0;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value);
  if (error != std::errc() || stop != end || word.empty()) return std::nullopt;
  return value;
}

bool IsShotName(const std::string& name) {
  if (name.empty() || name[0] == '.') return false;
  return std::all_of(name.begin(), name.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_' || c == '.';
  });
}

std::vector<std::string> Words(std::istringstream& in) {
  std::vector<std::string> words;
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Two integers in [low, high]; the message when they are not.
std::string ReadPair(const std::vector<std::string>& words, int low, int high, Command& command) {
  if (words.size() != 2) return "expects two numbers";
  const std::optional<int> first = ParseInt(words[0]);
  const std::optional<int> second = ParseInt(words[1]);
  if (!first || !second) return "expects two whole numbers";
  if (*first < low || *second < low || *first > high || *second > high) {
    return "numbers out of range " + std::to_string(low) + " to " + std::to_string(high);
  }
  command.x = *first;
  command.y = *second;
  return {};
}

// Fills the command's arguments from the rest of the line; the message when
// they do not fit the command.
std::string ReadArguments(Arguments arguments, const std::string& rest, Command& command) {
  std::istringstream in(rest);
  const std::vector<std::string> words = Words(in);
  switch (arguments) {
    case Arguments::kNone:
      return words.empty() ? std::string() : "takes no arguments";
    case Arguments::kPoint:
      return ReadPair(words, 0, kMaxWindowSide, command);
    case Arguments::kSize:
      return ReadPair(words, 1, kMaxWindowSide, command);
    case Arguments::kKeyCode: {
      const std::optional<int> code = words.size() == 1 ? ParseInt(words[0]) : std::nullopt;
      if (!code || *code < 1 || *code >= kKeyCount) {
        return "expects one key code from 1 to " + std::to_string(kKeyCount - 1);
      }
      command.x = *code;
      return {};
    }
    case Arguments::kText: {
      const size_t start = rest.find_first_not_of(" \t");
      if (start == std::string::npos) return "expects text to type";
      command.text = rest.substr(start);
      return {};
    }
    case Arguments::kName:
      if (words.size() != 1 || !IsShotName(words[0])) {
        return "expects one file name of letters, digits, '-', '_' and '.'";
      }
      command.text = words[0];
      return {};
  }
  return "unknown arguments";
}

// The message for a bad line; empty when the command was read.
std::string ParseLine(const std::string& text, Command& command) {
  std::istringstream in(text);
  std::string updateWord, name;
  in >> updateWord >> name;
  const std::optional<int> update = ParseInt(updateWord);
  if (!update || *update < 1) return "expects an update number of 1 or more first";
  command.update = *update;
  const auto form = std::find_if(kCommands.begin(), kCommands.end(),
                                 [&](const CommandForm& f) { return name == f.name; });
  if (form == kCommands.end()) {
    return name.empty() ? "expects a command after the update number"
                        : "unknown command '" + name + "'";
  }
  command.kind = form->kind;
  std::string rest;
  std::getline(in, rest);
  const std::string problem = ReadArguments(form->arguments, rest, command);
  return problem.empty() ? problem : name + ": " + problem;
}

bool Skipped(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t\r");
  return start == std::string::npos || line[start] == '#';
}

}  // namespace

Script ParseScript(std::istream& in) {
  Script script;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Skipped(line)) continue;
    Command command;
    command.line = number;
    const std::string problem = ParseLine(line, command);
    if (problem.empty()) {
      script.commands.push_back(command);
    } else {
      script.errors.push_back({number, problem});
    }
  }
  std::stable_sort(script.commands.begin(), script.commands.end(),
                   [](const Command& a, const Command& b) { return a.update < b.update; });
  return script;
}

int LastUpdate(const Script& script) {
  return script.commands.empty() ? 0 : script.commands.back().update;
}

}  // namespace vantor::replay
