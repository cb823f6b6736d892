#include "loader/service_table.h"

#include <cstring>

#include "controls/timer.h"
#include "core/arrays.h"
#include "core/exceptions.h"
#include "core/field_accessors.h"
#include "core/name_dictionary.h"
#include "core/object_model.h"
#include "core/runtime_message_box.h"
#include "core/runtime_string.h"
#include "core/service_trap.h"
#include "core/string_services.h"
#include "core/variants.h"
#include "files/date.h"
#include "files/file_dialogs.h"
#include "files/folder_item.h"
#include "files/streams.h"
#include "graphics/font_list.h"
#include "library/number_functions.h"
#include "library/string_functions.h"
#include "loader/application_class.h"
#include "loader/main_loop.h"
#include "loader/service_rows.h"
#include "loader/startup.h"
#include "loader/trace_log.h"
#include "platform/win32.h"
#include "ui/control_services.h"
#include "ui/mirrored_properties.h"
#include "ui/window_services.h"

namespace {

// A trap per missing service, so that the message can name it. Services take their arguments
// from the caller's frame and the caller removes them, so a trap needs no parameters.
#define KW_TRAP_Implemented(name)
#define KW_TRAP_Missing(name) \
  [[noreturn]] void MissingService_##name() { ServiceUnavailable(#name); }
#define KW_DEFINE_TRAP(name, family, state) KW_TRAP_##state(name)
KW_SERVICE_ROWS(KW_DEFINE_TRAP)

#define KW_ENTRY_Implemented(name) reinterpret_cast<ServiceFunction>(&name)
#define KW_ENTRY_Missing(name) &MissingService_##name
#define KW_IMPLEMENTED_Implemented true
#define KW_IMPLEMENTED_Missing false
#define KW_DEFINE_ENTRY(name, family, state)                 \
  const ServiceFunction EntryOf_##name = KW_ENTRY_##state(name); \
  constexpr bool ImplementedOf_##name = KW_IMPLEMENTED_##state;
KW_SERVICE_ROWS(KW_DEFINE_ENTRY)

#define KW_ROW(name, ...) {#name, EntryOf_##name, {0, 0}},
#define KW_FLAG(name, ...) ImplementedOf_##name,

const bool rowImplemented[ServiceTableSize] = {KW_SERVICE_ROWS(KW_FLAG) KW_SERVICE_SECOND_ROWS(KW_FLAG)};

NameDictionary* serviceDictionary;

}  // namespace

const ServiceEntry ServiceTable[ServiceTableSize] = {KW_SERVICE_ROWS(KW_ROW) KW_SERVICE_SECOND_ROWS(KW_ROW)};

bool ServiceRowImplemented(int slot) { return slot >= 0 && slot < ServiceTableSize && rowImplemented[slot]; }

namespace {

bool IsAsciiAlphanumeric(const char* text, size_t* length) {
  size_t count = 0;
  for (; text[count]; count++) {
    char c = text[count];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  *length = count;
  return true;
}

}  // namespace

ServiceFunction FindService(const char* name) {
  // Every table name is letters and digits, and for such names the locale's case-insensitive
  // equality needs equal lengths: a name of the same kind skips rows of another length
  // without comparing them. The scan and its first-match rule are unchanged.
  static size_t rowLengths[ServiceTableSize];
  static bool lengthsKnown;
  if (!lengthsKnown) {
    for (int slot = 0; slot < ServiceTableSize; slot++)
      rowLengths[slot] = ServiceTable[slot].name ? strlen(ServiceTable[slot].name) : 0;
    lengthsKnown = true;
  }
  size_t length = 0;
  bool simple = name != nullptr && IsAsciiAlphanumeric(name, &length);
  for (int slot = 0; slot < ServiceTableSize; slot++) {
    const ServiceEntry& row = ServiceTable[slot];
    if (row.name == nullptr || (simple && rowLengths[slot] != length)) continue;
    if (lstrcmpiA(row.name, name) == 0) return row.entry;
  }
  return nullptr;
}

extern "C" ServiceFunction ResolveServiceName(const char* name) {
  // Built without a lock: plug-ins resolve names on the main thread during start-up.
  if (serviceDictionary == nullptr) {
    serviceDictionary = NameDictionaryCreate();
    for (const ServiceEntry& row : ServiceTable) {
      if (row.name == nullptr) continue;
      RuntimeString* key = StringFromCString(row.name);
      NameDictionaryInsert(serviceDictionary, key, const_cast<ServiceEntry*>(&row));
      StringRelease(key);
    }
  }
  auto* row = static_cast<const ServiceEntry*>(NameDictionaryLookup(serviceDictionary, name));
  return row ? row->entry : nullptr;
}
