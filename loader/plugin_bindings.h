// Plug-in bindings: call chains named "!" + kind letter + [class "!"] member, linked once the
// plug-ins have registered their classes and methods.
#pragma once

#include "core/runtime_layout.h"

struct PluginBindingName {
  char kind;                 // M method, W its second entry, G property getter, S property setter
  RuntimeString* className;  // null for a global plug-in method
  RuntimeString* member;
};

// Splits a binding name (without its leading "!"); the caller releases both strings.
PluginBindingName SplitPluginBindingName(const RuntimeString* name);

// Links every pending binding, newest first. False, with the message out set, at the first
// binding whose class or member is not found: its calls would otherwise jump to address 0.
bool ResolvePluginBindings(RuntimeString** message);
