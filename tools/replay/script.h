// The replay script: one command per line, `<update> <command> [arguments]`,
// applied before that update. Parsing checks every line before anything
// runs, so a bad script is refused whole with the number of each bad line.
// Used by the replay session (session.cpp) and the tool's entry point.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace vantor::replay {

enum class CommandKind {
  kPress,    // press X Y: pointer to window pixel (X, Y), left button down
  kRelease,  // release: left button up
  kMove,     // move X Y
  kKey,      // key CODE: a key of the game's numbering goes down
  kKeyUp,    // keyup CODE
  kChar,     // char TEXT: the characters of TEXT are typed
  kIconify,  // the window is iconified: the game is suspended
  kRestore,  // the window is restored: the game resumes
  kResize,   // resize W H
  kShot,     // shot NAME: NAME.png of the frame rendered after this update
  kState,    // state: one JSON line after this update
  kQuit,     // quit: the replay ends before this update
};

struct Command {
  int update = 0;
  CommandKind kind = CommandKind::kState;
  int x = 0, y = 0;  // position, size or key code
  std::string text;  // typed text or shot name
  int line = 0;      // in the script, for messages
};

struct ScriptError {
  int line;
  std::string message;
};

struct Script {
  // In update order; commands of one update keep their order in the file.
  std::vector<Command> commands;
  std::vector<ScriptError> errors;
};

// Blank lines and lines starting with '#' are skipped.
Script ParseScript(std::istream& in);

// The last update a script names (0 for an empty one).
int LastUpdate(const Script& script);

}  // namespace vantor::replay
