// Finding the handler of a built-in event on an object's class chain.
#pragma once

#include "core/runtime_layout.h"

// The handler nearest to the class that declares the event: walking from the object's class to
// the root, every handler of that name replaces the candidate, and a class that declares an
// event of the same name again hides the handlers below it.
EventHandlerNode* FindEventHandler(const RuntimeObject* object, const EventDeclarationNode* declaration);
void* EventHandlerCode(const RuntimeObject* object, const EventDeclarationNode* declaration);

// The declaration of the named event in the class or its superclasses, nearest first.
EventDeclarationNode* FindEventDeclaration(const ClassRecord* classRecord, const char* name);
