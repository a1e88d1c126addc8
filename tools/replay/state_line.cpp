#include "tools/replay/state_line.h"

#include <nlohmann/json.hpp>
#include <vector>

#include "modules/random.h"

namespace vantor::replay {
namespace {

// Fields keep the order they are named in, so lines read well side by side.
using Json = nlohmann::ordered_json;

std::string Utf8(const String& text) {
  std::vector<unsigned char> bytes;
  text.Save(bytes);
  return std::string(bytes.begin(), bytes.end());
}

template <class T>
Json List(const Array<T>& values) {
  Json list = Json::array();
  for (int i = 0; i < values.Length(); ++i) list.push_back(values[i]);
  return list;
}

}  // namespace

std::string StateLine(const MyApp& app, int update) {
  const Json line = {
      {"update", update},
      {"gameMode", app.gameMode},
      {"loadStep", app.loadStep},
      {"menuSlide", app.menuSlide},
      {"creditsOpen", app.creditsOpen},
      {"phase", app.phase},
      {"score", app.score},
      {"loot", app.loot},
      {"bagsGrabbed", app.bagsGrabbed},
      {"timeLeft", app.timeLeft},
      {"copsToRam", app.copsToRam},
      {"hitsLeft", app.hitsLeft},
      {"playerHealth", app.playerHealth},
      {"runOver", app.runOver},
      {"gameOverFrame", app.gameOverFrame},
      {"paused", app.paused},
      {"enteredCode", Utf8(app.enteredCode)},
      {"targetCode", Utf8(app.targetCode)},
      {"settings", List(app.settings)},
      {"highscores", List(app.highscores)},
      {"Seed", random::Seed},
  };
  // A text that is not valid UTF-8 (a lone surrogate) keeps the line valid
  // JSON: the bad bytes become U+FFFD.
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace vantor::replay
