// FolderItem: the language's reference to a file or folder by its Windows path. A folder item
// never keeps a file open; the streams it creates own their files.
#pragma once

#include <cstdint>
#include <string>

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

void fileNameSetter(RuntimeObject* item, int32_t parameter, RuntimeString* name);
int32_t fileCountGetter(RuntimeObject* item, int32_t parameter);
int32_t fileSizeGetter(RuntimeObject* item, int32_t parameter);
int32_t fileRFSizeGetter(RuntimeObject* item, int32_t parameter);
bool fileExistsGetter(RuntimeObject* item, int32_t parameter);
bool fileDirectoryGetter(RuntimeObject* item, int32_t parameter);
bool fileLockedGetter(RuntimeObject* item, int32_t parameter);
void fileLockedSetter(RuntimeObject* item, int32_t parameter, bool locked);
bool fileVisibleGetter(RuntimeObject* item, int32_t parameter);
void fileVisibleSetter(RuntimeObject* item, int32_t parameter, bool visible);
bool fileAliasGetter(RuntimeObject* item, int32_t parameter);
RuntimeString* fileTypeGetter(RuntimeObject* item, int32_t parameter);
RuntimeString* fileMacTypeGetter(RuntimeObject* item, int32_t parameter);
void fileMacTypeSetter(RuntimeObject* item, int32_t parameter, RuntimeString* value);
RuntimeString* fileMacCreatorGetter(RuntimeObject* item, int32_t parameter);
void fileMacCreatorSetter(RuntimeObject* item, int32_t parameter, RuntimeString* value);
RuntimeObject* folderGetCreation(RuntimeObject* item, int32_t parameter);
RuntimeObject* folderGetModified(RuntimeObject* item, int32_t parameter);
void folderSetCreation(RuntimeObject* item, int32_t parameter, RuntimeObject* date);
void folderSetModified(RuntimeObject* item, int32_t parameter, RuntimeObject* date);
RuntimeObject* folderFindFolder(RuntimeObject* item, int32_t selector);
RuntimeObject* FolderItemItem(RuntimeObject* item, int32_t index);
RuntimeObject* FolderItemTrueItem(RuntimeObject* item, int32_t index);
void FolderItemCreateAsFolder(RuntimeObject* item);
void FolderItemCopyFileTo(RuntimeObject* item, RuntimeObject* destination);
void FolderItemLaunch(RuntimeObject* item);
void FolderItemSaveAsPicture(RuntimeObject* item, RuntimeObject* picture);
RuntimeObject* FolderItemOpenSound(RuntimeObject* item);

int32_t getVolumeCount();
RuntimeObject* getVolume(int32_t index);
RuntimeObject* getAppleMenuFolder();
RuntimeObject* getControlPanelsFolder();
RuntimeObject* getDesktopFolder();
RuntimeObject* getStartupItemsFolder();
RuntimeObject* getFontsFolder();
RuntimeObject* getTrashFolder();
RuntimeObject* getExtensionsFolder();
RuntimeObject* getPreferencesFolder();
RuntimeObject* getShutdownItemsFolder();
RuntimeObject* getSystemFolder();
RuntimeObject* getTemporaryItemsFolder();
}

// The best-matching document file type's name for a file name ("" when none scores).
struct DocumentFileType;
std::string FileTypeForName(const DocumentFileType* types, const std::string& name);
