#include "tools/replay/options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <filesystem>
#include <map>
#include <ostream>

namespace vantor::replay {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "vantor-replay";

// "WxH" with both sides whole and at least 1.
bool ParseSize(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  const auto whole = [](const std::string& part, int* value) {
    const char* end = part.data() + part.size();
    const auto [stop, error] = std::from_chars(part.data(), end, *value);
    return !part.empty() && error == std::errc() && stop == end && *value >= 1;
  };
  return whole(text.substr(0, x), width) && whole(text.substr(x + 1), height);
}

const CLI::Validator kSizeText(
    [](std::string& text) {
      int width = 0, height = 0;
      return ParseSize(text, &width, &height) ? std::string() : "not WIDTHxHEIGHT: " + text;
    },
    "");

const std::map<std::string, Goal> kGoals = {{"win", Goal::kWin}, {"lose", Goal::kLose}};
const std::map<std::string, InputKind> kInputs = {
    {"pointer", InputKind::kPointer}, {"keys", InputKind::kKeys}, {"pad", InputKind::kPad}};

// Turns a path option's value absolute as it is parsed.
const CLI::Validator kAbsolute(
    [](std::string& path) {
      path = fs::absolute(path).string();
      return std::string();
    },
    "");

}  // namespace

std::optional<int> ParseOptions(int argc, char** argv, Options& options, std::ostream& out,
                                std::ostream& err) {
  SessionOptions& session = options.session;
  std::string size, goal, input;
  int clockMillis = 0;
  CLI::App app("The real game under a virtual clock, driven by a script or by the bot.", kProgram);
  app.add_option("--script", options.scriptPath, "Play this script")
      ->type_name("FILE")
      ->transform(kAbsolute);
  CLI::Option* autoplay = app.add_option("--autoplay", goal, "Let the bot play for this outcome")
                              ->type_name("win|lose")
                              ->check(CLI::IsMember(kGoals));
  app.add_option("--input", input, "The bot plays with this (default pointer)")
      ->type_name("pointer|keys|pad")
      ->check(CLI::IsMember(kInputs))
      ->needs(autoplay);
  app.add_option("--out", session.outDir, "Write shots and state lines here")
      ->type_name("DIR")
      ->transform(kAbsolute);
  app.add_option("--size", size, "Window size (default 640x480)")
      ->type_name("WxH")
      ->check(kSizeText);
  app.add_option("--clock", clockMillis, "The clock at start, in ms")
      ->type_name("MS")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--shots-every", session.shotsEvery, "A frame every K updates")
      ->type_name("K")
      ->check(CLI::PositiveNumber);
  app.add_flag("--phase-shots", session.phaseShots, "A frame at the start of each phase");
  app.add_option("--max-updates", session.maxUpdates, "Stop after N updates")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  app.add_option("--workdir", options.workDir, "Run in DIR, with a link to data/")
      ->type_name("DIR")
      ->transform(kAbsolute);
  app.add_flag("--visible", session.visible, "Show the window");
  try {
    app.parse(argc, argv);
    if (options.scriptPath.empty() && goal.empty())
      throw CLI::ValidationError("give --script FILE, --autoplay win|lose, or both");
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& error) {
    err << kProgram << ": " << error.what() << "\nTry '" << kProgram << " --help'.\n";
    return kRefused;
  }
  if (!goal.empty()) options.autoplay = kGoals.at(goal);
  if (!input.empty()) options.input = kInputs.at(input);
  if (!size.empty()) ParseSize(size, &session.width, &session.height);
  session.clockMillis = clockMillis;
  if (session.outDir.empty()) session.outDir = fs::absolute(".").string();
  if (options.autoplay != Goal::kNone && session.maxUpdates == 0)
    session.maxUpdates = kDefaultAutoplayBound;
  return std::nullopt;
}

}  // namespace vantor::replay
