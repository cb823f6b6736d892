// debugDumpObjects: the report of live objects, written on request.
#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

void WriteLine(HFILE file, const char* text) {
  _lwrite(file, text, static_cast<UINT>(strlen(text)));
  _lwrite(file, "\r", 1);
}

// The nearest class of the chain that has a name: anonymous control classes report as their
// named superclass.
const char* ReportedClassName(const RuntimeObject* object) {
  for (const ClassRecord* classRecord = object->classRecord; classRecord; classRecord = classRecord->superclass)
    if (StringLength(classRecord->name) > 0) return StringCText(classRecord->name);
  return "<Unnamed object class>";
}

}  // namespace

void debugDumpObjects(RuntimeString* path) {
  HFILE file = _lcreat(StringCText(path), 0);
  if (file == HFILE_ERROR) return;
  char line[64];
  snprintf(line, sizeof line, "%d used in heap1", static_cast<int>(SmallBytesInUse()));
  WriteLine(file, line);
  snprintf(line, sizeof line, "%d objects", static_cast<int>(LiveObjectCount()));
  WriteLine(file, line);
  for (const RuntimeObject* object = NewestLiveObject(); object; object = object->next)
    WriteLine(file, ReportedClassName(object));
  _lclose(file);
}
