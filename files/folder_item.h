// FolderItem: the language's reference to a file or folder by its Windows path. A folder item
// never keeps a file open; the streams it creates own their files.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

void RegisterFolderItemClass();

// A new folder item (one reference, for the caller) with exactly this path.
RuntimeObject* NewFolderItem(const char* path);
// The item's path, computed first for an item whose path was never set.
RuntimeString* FolderItemPath(RuntimeObject* item);

extern "C" {
RuntimeObject* RuntimeGetFolderItem(RuntimeString* path);
RuntimeObject* RuntimeGetTrueFolderItem(RuntimeString* path);
RuntimeObject* FolderItemFromPath(const char* path);

RuntimeString* fileAbsolutePathGetter(RuntimeObject* item, int32_t parameter);
RuntimeString* fileNameGetter(RuntimeObject* item, int32_t parameter);
RuntimeObject* folderParentGetter(RuntimeObject* item, int32_t parameter);
RuntimeObject* FolderChild(RuntimeObject* item, RuntimeString* name);
RuntimeObject* FolderTrueChild(RuntimeObject* item, RuntimeString* name);

RuntimeObject* FolderItemOpenTextFile(RuntimeObject* item);
RuntimeObject* FolderItemAppendTextFile(RuntimeObject* item);
RuntimeObject* FolderItemCreateTextFile(RuntimeObject* item);
RuntimeObject* FolderItemOpenBinaryFile(RuntimeObject* item, bool readWrite);
RuntimeObject* FolderItemCreateBinaryFile(RuntimeObject* item, RuntimeString* typeName);
void FolderItemDelete(RuntimeObject* item);
}
