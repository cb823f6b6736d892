#include "loader/builtin_classes.h"

#include "controls/timer.h"
#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/variants.h"
#include "files/date.h"
#include "files/folder_item.h"
#include "loader/application_class.h"
#include "system/mouse_cursor.h"

namespace {

ClassRecord* itemClasses[6];

ClassRecord* Define(const char* name, uint32_t size) {
  ClassRecord* existing = name ? FindClassByName(name) : nullptr;
  return existing ? existing : DefineBuiltInClass(name, nullptr, size);
}

}  // namespace

void RegisterCoreBuiltInClasses() {
  ObjectClass();
  RegisterExceptionClasses();
  RegisterApplicationClass();
  RegisterTimerClass();
  RegisterMouseCursorClass();
  RegisterVariantClasses();
  RegisterDateClass();
  RegisterFolderItemClass();
  itemClasses[static_cast<int>(ProjectItemClass::Picture)] = Define("Picture", 36);
  itemClasses[static_cast<int>(ProjectItemClass::Movie)] = Define("Movie", 40);
  // Sound has room for its stored word and for the file it plays.
  itemClasses[static_cast<int>(ProjectItemClass::Sound)] = Define("Sound", 32);
  itemClasses[static_cast<int>(ProjectItemClass::Database)] = Define("Database", 52);
  // The classes of item kinds 7 and 8 have no name and no members, only room for the word.
  if (itemClasses[static_cast<int>(ProjectItemClass::Kind7)] == nullptr) {
    itemClasses[static_cast<int>(ProjectItemClass::Kind7)] = NewClassRecord(nullptr, 28);
    itemClasses[static_cast<int>(ProjectItemClass::Kind8)] = NewClassRecord(nullptr, 28);
    itemClasses[static_cast<int>(ProjectItemClass::Kind7)]->builtIn = 1;
    itemClasses[static_cast<int>(ProjectItemClass::Kind8)]->builtIn = 1;
  }
}

ClassRecord* ClassOfProjectItem(ProjectItemClass which) { return itemClasses[static_cast<int>(which)]; }
