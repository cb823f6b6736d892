// kwlink: turns ELF32 i386 relocatable objects into an application image (see command_line.h).
#include <iostream>

#include "tools/kwlink/command_line.h"

int main(int argc, char** argv) { return kwlink::RunKwlink({argv + 1, argv + argc}, std::cerr); }
