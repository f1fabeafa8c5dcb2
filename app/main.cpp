// The test-taking program. It takes no arguments and works on the tables of its working
// directory.

#include "app/Startup.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
