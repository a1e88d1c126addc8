// vantor-web: the game's entry point in the browser build.
#include "game/startup.h"
#include "web/web_host.h"

int main(int argc, char** argv) {
  return vantor::WebHostMain(argc, argv, vantor::GameStartupHooks());
}
