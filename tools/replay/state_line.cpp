#include "tools/replay/state_line.h"

#include <sstream>

#include "modules/random.h"

namespace vantor::replay {
namespace {

// Builds `{"a":1,"b":[1,2],...}` field by field.
class JsonObject {
 public:
  JsonObject& Int(const char* name, int value) {
    Name(name) << value;
    return *this;
  }
  JsonObject& Text(const char* name, const String& value) {
    std::ostringstream& out = Name(name);
    out << '"';
    // The game's texts are digits and plain letters; anything else is
    // escaped so the line stays valid JSON.
    for (int i = 0; i < value.Length(); ++i) {
      const int unit = value[i];
      if (unit >= ' ' && unit < 0x7f && unit != '"' && unit != '\\') {
        out << static_cast<char>(unit);
      } else {
        out << "\\u" << std::hex << (0x10000 | unit) << std::dec;
      }
    }
    out << '"';
    return *this;
  }
  template <class T>
  JsonObject& List(const char* name, const Array<T>& values) {
    std::ostringstream& out = Name(name);
    out << '[';
    for (int i = 0; i < values.Length(); ++i) out << (i ? "," : "") << values[i];
    out << ']';
    return *this;
  }
  std::string Close() { return out_.str() + "}"; }

 private:
  std::ostringstream& Name(const char* name) {
    out_ << (first_ ? "{" : ",") << '"' << name << "\":";
    first_ = false;
    return out_;
  }

  std::ostringstream out_;
  bool first_ = true;
};

}  // namespace

std::string StateLine(const MyApp& app, int update) {
  return JsonObject()
      .Int("update", update)
      .Int("gameMode", app.gameMode)
      .Int("loadStep", app.loadStep)
      .Int("menuSlide", app.menuSlide)
      .Int("creditsOpen", app.creditsOpen)
      .Int("phase", app.phase)
      .Int("score", app.score)
      .Int("loot", app.loot)
      .Int("bagsGrabbed", app.bagsGrabbed)
      .Int("timeLeft", app.timeLeft)
      .Int("copsToRam", app.copsToRam)
      .Int("hitsLeft", app.hitsLeft)
      .Int("playerHealth", app.playerHealth)
      .Int("runOver", app.runOver)
      .Int("gameOverFrame", app.gameOverFrame)
      .Int("paused", app.paused)
      .Text("enteredCode", app.enteredCode)
      .Text("targetCode", app.targetCode)
      .List("settings", app.settings)
      .List("highscores", app.highscores)
      .Int("Seed", random::Seed)
      .Close();
}

}  // namespace vantor::replay
