// Class records built from the class definition records of an application image.
#pragma once

#include <cstdint>
#include <vector>

#include "core/image_reader.h"
#include "core/runtime_layout.h"

// One class definition record, checked and decoded.
struct ClassDefinition {
  struct Method {
    RuntimeString* name;
    void* entry;  // null for an interface's methods
  };
  struct Handler {
    RuntimeString* name;
    void* entry;
    uint32_t hookIdentifier;
  };
  struct MenuHandler {
    RuntimeString* menuItemName;
    void* entry;
  };
  uint32_t kind = 0;  // 0: defined by the application; 1: names an existing class
  RuntimeString* name = nullptr;
  uint32_t instanceSize = 0;
  int32_t superclassIndex = -1;
  void* constructor = nullptr;
  void* destructor = nullptr;
  bool isInterface = false;
  std::vector<int32_t> interfaceIndices;
  std::vector<Method> methods;
  std::vector<Handler> handlers;
  std::vector<MenuHandler> menuHandlers;
  void** dispatchTable = nullptr;
  uint32_t dispatchTableLength = 0;
};

// Decodes the record at address. False, with a description of the damage, when a word, string
// or entry point lies outside the image or the record has an unknown kind.
bool ReadClassDefinition(const ImageMemory& image, uint32_t address, ClassDefinition* definition, const char** problem);

struct ImageClasses {
  ClassRecord** table = nullptr;  // the project class table
  int32_t count = 0;
  ClassRecord* applicationClass = nullptr;  // the last class derived from "Application"
};

// Builds the classes of the project table (in the 32-bit engine, whose image words are
// pointers) at address in the three passes (records, superclasses,
// interface tables, then the application class) and installs the project class table. False,
// with a message for the user (one reference), for an invalid image: a damaged record, a kind-1
// class that exists nowhere, an interface or superclass index out of order, a class smaller
// than its superclass, a cycle of superclasses or an interface method left unimplemented.
bool BuildImageClasses(const ImageMemory& image, uint32_t projectTableAddress, ImageClasses* classes,
                       RuntimeString** message);
