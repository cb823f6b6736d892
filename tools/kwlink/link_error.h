// The one error kwlink reports: an input it cannot read or an application it cannot express.
// The message is complete (it names the file and, where there is one, the section, symbol and
// offset); the command line prints it and exits without writing anything.
#pragma once

#include <stdexcept>

namespace kwlink {

class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kwlink
