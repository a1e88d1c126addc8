#include "tools/replay/options.h"

#include <charconv>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

namespace vantor::replay {
namespace {

namespace fs = std::filesystem;

// The bot's default bound: a won run takes a few thousand updates.
constexpr int kDefaultAutoplayBound = 20000;

std::optional<int> WholeNumber(const std::string& text, int low) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty() || value < low) return std::nullopt;
  return value;
}

bool ParseSize(const std::string& text, SessionOptions& session) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  const std::optional<int> width = WholeNumber(text.substr(0, x), 1);
  const std::optional<int> height = WholeNumber(text.substr(x + 1), 1);
  if (!width || !height) return false;
  session.width = *width;
  session.height = *height;
  return true;
}

bool ParseGoal(const std::string& text, Goal& goal) {
  if (text == "win") goal = Goal::kWin;
  if (text == "lose") goal = Goal::kLose;
  return text == "win" || text == "lose";
}

std::string Absolute(const std::string& path) { return fs::absolute(path).string(); }

using Setter = std::function<bool(const std::string&, Options&)>;

// An option naming a file or directory, kept as an absolute path.
Setter PathInto(std::string& (*field)(Options&)) {
  return [field](const std::string& value, Options& options) {
    field(options) = Absolute(value);
    return !value.empty();
  };
}

const std::map<std::string, Setter>& ValueOptions() {
  static const std::map<std::string, Setter> options = {
      {"--script", PathInto([](Options& o) -> std::string& { return o.scriptPath; })},
      {"--out", PathInto([](Options& o) -> std::string& { return o.session.outDir; })},
      {"--workdir", PathInto([](Options& o) -> std::string& { return o.workDir; })},
      {"--size", [](const std::string& v, Options& o) { return ParseSize(v, o.session); }},
      {"--autoplay", [](const std::string& v, Options& o) { return ParseGoal(v, o.autoplay); }},
      {"--clock",
       [](const std::string& v, Options& o) {
         const std::optional<int> ms = WholeNumber(v, 0);
         if (ms) o.session.clockMillis = *ms;
         return ms.has_value();
       }},
      {"--shots-every",
       [](const std::string& v, Options& o) {
         const std::optional<int> k = WholeNumber(v, 1);
         if (k) o.session.shotsEvery = *k;
         return k.has_value();
       }},
      {"--max-updates",
       [](const std::string& v, Options& o) {
         const std::optional<int> n = WholeNumber(v, 1);
         if (n) o.session.maxUpdates = *n;
         return n.has_value();
       }},
  };
  return options;
}

}  // namespace

const char* const kUsage =
    "usage: vantor-replay [--script FILE] [--autoplay win|lose] [--out DIR]\n"
    "                     [--size WxH] [--clock MS] [--shots-every K]\n"
    "                     [--phase-shots] [--max-updates N] [--workdir DIR]\n"
    "                     [--visible]\n";

std::vector<std::string> ParseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> problems;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--visible" || name == "--phase-shots") {
      (name == "--visible" ? options.session.visible : options.session.phaseShots) = true;
      continue;
    }
    const auto option = ValueOptions().find(name);
    if (option == ValueOptions().end()) {
      problems.push_back("unknown option " + name);
    } else if (i + 1 >= argc) {
      problems.push_back(name + " needs a value");
    } else if (!option->second(argv[++i], options)) {
      problems.push_back("bad value for " + name + ": " + argv[i]);
    }
  }
  if (options.scriptPath.empty() && options.autoplay == Goal::kNone && !options.help) {
    problems.push_back("give --script FILE, --autoplay win|lose, or both");
  }
  if (options.session.outDir.empty()) options.session.outDir = Absolute(".");
  if (options.autoplay != Goal::kNone && options.session.maxUpdates == 0) {
    options.session.maxUpdates = kDefaultAutoplayBound;
  }
  return problems;
}

}  // namespace vantor::replay
