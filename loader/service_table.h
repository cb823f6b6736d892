// The service table: every engine service that application code and plug-ins call, by name.
#pragma once

#include <cstdint>
#include <cstdio>

// Services have many signatures; the table stores them as one code-address type.
using ServiceFunction = void (*)();

struct ServiceEntry {
  const char* name;  // null marks an empty row
  ServiceFunction entry;
  uint32_t reserved[2];
};

#if defined(__i386__)
static_assert(sizeof(ServiceEntry) == 16);
#endif

constexpr int ServiceTableSize = 1050;

// Filled from row 0 without gaps; the remaining rows are empty. Never changed at run time.
extern const ServiceEntry ServiceTable[ServiceTableSize];

// Whether a row is bound to its service (true) or to the trap for services not built yet.
bool ServiceRowImplemented(int slot);

// Load-time binding: a scan of all rows with the platform's case-insensitive comparison;
// the first equal row wins. Null when no row has the name.
ServiceFunction FindService(const char* name);

// The resolver handed to plug-ins: a dictionary lookup, the dictionary built on first use.
extern "C" ServiceFunction ResolveServiceName(const char* name);

// One line per distinct name, "implemented" or "missing", then the totals.
void WriteServiceReport(FILE* out);
