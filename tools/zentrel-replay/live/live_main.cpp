// zentrel-replay.exe (Windows build): scenario files run live against the IDE stand-in.
#include "live_runner.h"

int main(int argc, char** argv) { return live::LiveMain(argc, argv); }
