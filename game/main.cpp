// vantor-game: the process entry. Everything else lives in the libraries.
#include "game/startup.h"
#include "host/app.h"

int main(int argc, char** argv) {
  return vantor::HostMain(argc, argv, vantor::GameStartupHooks());
}
