// The end of the process for a service that this engine does not provide yet.
#pragma once

// Shows "The service <name> is not available in this engine." and ends the process.
[[noreturn]] void ServiceUnavailable(const char* name);
