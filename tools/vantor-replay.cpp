// vantor-replay: the real game under a virtual clock, driven by a script or
// by the autoplay bot, writing screenshots and state lines. See README.md
// ("Replays, screenshots and the bot") for the script language.
//
// Exit status: 0 when the script ran (and, with --autoplay, the outcome
// asked for happened); 1 when the bot did not get that outcome in time or a
// file could not be written; 2 for a bad command line or script, refused
// before anything runs.
#include <fstream>
#include <iostream>
#include <optional>

#include "host/log.h"
#include "tools/replay/autoplay.h"
#include "tools/replay/options.h"
#include "tools/replay/script.h"
#include "tools/replay/session.h"
#include "tools/replay/work_directory.h"

namespace vantor::replay {
namespace {

constexpr int kFailed = 1;

std::optional<Script> ReadScript(const std::string& path) {
  if (path.empty()) return Script{};
  std::ifstream file(path);
  if (!file) {
    LogProblem("script", "cannot read " + path);
    return std::nullopt;
  }
  Script script = ParseScript(file);
  for (const ScriptError& error : script.errors) {
    LogProblem("script", path + ":" + std::to_string(error.line) + ": " + error.message);
  }
  if (!script.errors.empty()) return std::nullopt;
  return script;
}

int Main(int argc, char** argv) {
  SetLogProgram("vantor-replay");
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options, std::cout, std::cerr))
    return *status;
  std::optional<Script> script = ReadScript(options.scriptPath);
  if (!script) return kRefused;
  if (!EnterWorkDirectory(options.workDir)) return kFailed;

  std::optional<Autoplay> bot;
  if (options.autoplay != Goal::kNone) bot.emplace(options.autoplay, options.input);
  Session session(options.session, std::move(*script), bot ? &*bot : nullptr);
  const bool ran = session.Run();
  if (!bot) return ran ? 0 : kFailed;
  const Session::Presses& presses = session.presses();
  std::cout << bot->Report(session.updatesRun()) << " pointer=" << presses.pointer
            << " keys=" << presses.keys << " pad=" << presses.pad << std::endl;
  return ran && bot->Succeeded() ? 0 : kFailed;
}

}  // namespace
}  // namespace vantor::replay

int main(int argc, char** argv) { return vantor::replay::Main(argc, argv); }
