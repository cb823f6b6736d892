// The open and save dialogs of folder items, offering the application's document file types.
#pragma once

#include <string>

#include "core/runtime_layout.h"

struct DocumentFileType;

// The dialog filter for a ";"-separated list of file type names: name, zero, pattern, zero for
// each name, then two more zeros; and the default extension (without the dot) it gives.
struct DialogFilter {
  std::string filter;
  std::string defaultExtension;
};
DialogFilter BuildDialogFilter(const DocumentFileType* types, const std::string& names);

extern "C" {
RuntimeObject* RuntimeGetOpenFolderItem(RuntimeString* typeNames);
RuntimeObject* RuntimeGetSaveFolderItem(RuntimeString* typeNames);
}
