// zentrel-replay [--print] [--trace] SCENARIO...: the plugin is the one linked in.
#include "replay.h"

int main(int argc, char** argv) { return replay::ReplayMain(argc, argv, replay::LinkedPlugin()); }
