#include "core/event_lookup.h"

#include "core/runtime_string.h"

EventHandlerNode* FindEventHandler(const RuntimeObject* object, const EventDeclarationNode* declaration) {
  if (object == nullptr || declaration == nullptr) return nullptr;
  EventHandlerNode* candidate = nullptr;
  for (const ClassRecord* classRecord = object->classRecord; classRecord; classRecord = classRecord->superclass) {
    for (const EventDeclarationNode* declared = classRecord->eventDeclarations; declared; declared = declared->next) {
      if (declared == declaration) return candidate;
      if (StringEqualsFolded(declared->name, declaration->name)) candidate = nullptr;
    }
    for (EventHandlerNode* handler = classRecord->eventHandlers; handler; handler = handler->next)
      if (StringEqualsFolded(handler->name, declaration->name)) candidate = handler;
  }
  return nullptr;
}

void* EventHandlerCode(const RuntimeObject* object, const EventDeclarationNode* declaration) {
  EventHandlerNode* handler = FindEventHandler(object, declaration);
  return handler ? handler->entry : nullptr;
}

EventDeclarationNode* FindEventDeclaration(const ClassRecord* classRecord, const char* name) {
  for (; classRecord; classRecord = classRecord->superclass)
    for (EventDeclarationNode* declared = classRecord->eventDeclarations; declared; declared = declared->next)
      if (StringEqualsFolded(declared->name, name)) return declared;
  return nullptr;
}
