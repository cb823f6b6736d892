// kwlink's command line:
//
//   kwlink [--entry SYMBOL] [--project SYMBOL] [--resource FILE]...
//          (--engine ENGINE --output FILE | --development DIRECTORY) OBJECT...
//
// Returns the process exit code; messages go to errors. On any error nothing is written.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kwlink {

int RunKwlink(const std::vector<std::string>& arguments, std::ostream& errors);

}  // namespace kwlink
