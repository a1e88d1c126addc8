// vantor-game: the process entry. Everything else lives in the libraries.
#include "game/launch.h"

int main(int argc, char** argv) { return vantor::GameMain(argc, argv); }
