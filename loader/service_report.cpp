// The service report: the engine's progress gauge, one line per distinct service name.
#include "core/name_dictionary.h"
#include "core/runtime_string.h"
#include "loader/service_table.h"

void WriteServiceReport(FILE* out) {
  NameDictionary* reported = NameDictionaryCreate();
  int implemented = 0;
  int missing = 0;
  for (int slot = 0; slot < ServiceTableSize; slot++) {
    const ServiceEntry& row = ServiceTable[slot];
    if (row.name == nullptr || NameDictionaryLookup(reported, row.name)) continue;
    RuntimeString* name = StringFromCString(row.name);
    NameDictionaryInsert(reported, name, const_cast<ServiceEntry*>(&row));
    StringRelease(name);
    bool bound = ServiceRowImplemented(slot);
    (bound ? implemented : missing)++;
    fprintf(out, "%s %s\n", row.name, bound ? "implemented" : "missing");
  }
  fprintf(out, "%d implemented, %d missing\n", implemented, missing);
  NameDictionaryDestroy(reported);
}
