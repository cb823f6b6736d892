#include "files/folder_item.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "files/date.h"
#include "files/folder_path.h"
#include "files/streams.h"
#include "loader/startup.h"
#include "platform/win32.h"

namespace {

struct FolderItemObject {
  RuntimeObject header;
  bool pathSet;
  RuntimeString* path;
};

#if defined(__i386__)
static_assert(sizeof(FolderItemObject) == 32);
#endif

ClassRecord* folderItemClass;

FolderItemObject* AsItem(RuntimeObject* item) { return reinterpret_cast<FolderItemObject*>(item); }

void FinaliseFolderItem(RuntimeObject* item, ClassRecord*) {
  StringRelease(AsItem(item)->path);
  AsItem(item)->path = nullptr;
}

std::string ApplicationFolder() {
  char module[1024];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) return std::string();
  return ParentPath(std::string(module, length));
}

std::string PathText(RuntimeObject* item) {
  RuntimeString* path = FolderItemPath(item);
  return std::string(StringCText(path), static_cast<size_t>(StringLength(path)));
}

// The file of the item opened (or created) by the given operation, or null.
std::unique_ptr<FileStream> OpenFile(RuntimeObject* item, bool create, int mode) {
  if (item == nullptr) return nullptr;
  auto file = std::make_unique<FileStream>();
  std::string path = PathText(item);
  bool opened = create ? file->Create(path.c_str()) : file->Open(path.c_str(), mode);
  return opened ? std::move(file) : nullptr;
}

// What a search for the item's path finds; false when the item does not exist.
bool Find(RuntimeObject* item, WIN32_FIND_DATAA* data) {
  if (item == nullptr) return false;
  HANDLE search = FindFirstFileA(PathText(item).c_str(), data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// The process-wide directory listing, rebuilt on each request.
std::vector<std::string>& Listing() {
  static std::vector<std::string> names;
  return names;
}

int32_t ListFolder(RuntimeObject* item) {
  std::vector<std::string>& names = Listing();
  names.clear();
  if (item == nullptr) return 0;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((PathText(item) + "\\*.*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do names.emplace_back(data.cFileName);
  while (FindNextFileA(search, &data));
  FindClose(search);
  return static_cast<int32_t>(names.size());
}

void ChangeAttribute(RuntimeObject* item, DWORD bit, bool on) {
  WIN32_FIND_DATAA data;
  if (!Find(item, &data)) return;
  DWORD attributes = on ? (data.dwFileAttributes | bit) : (data.dwFileAttributes & ~bit);
  SetFileAttributesA(PathText(item).c_str(), attributes);
}

RuntimeObject* DateOf(const FILETIME& time) {
  FILETIME local;
  if (!FileTimeToLocalFileTime(&time, &local)) return nullptr;
  return NewDate((static_cast<uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime);
}

// Writes a date (local time) as the file's creation or last-write time; nothing happens when
// the date is nil or the file cannot be opened.
void SetTime(RuntimeObject* item, RuntimeObject* date, bool creation) {
  if (item == nullptr || date == nullptr) return;
  uint64_t ticks = DateLocalTime(date);
  FILETIME local = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME time;
  if (!LocalFileTimeToFileTime(&local, &time)) return;
  HANDLE file = CreateFileA(PathText(item).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, creation ? &time : nullptr, nullptr, creation ? nullptr : &time);
  CloseHandle(file);
}

bool EndsWithFolded(const std::string& name, const std::string& ending) {
  if (ending.size() > name.size()) return false;
  return lstrcmpiA(name.c_str() + (name.size() - ending.size()), ending.c_str()) == 0;
}

// A folder item for a directory that a system function fills into a 1024-byte buffer.
template <typename Getter>
RuntimeObject* FolderFrom(Getter getter) {
  char path[1024];
  DWORD length = getter(path);
  if (length == 0 || length >= sizeof path) return nullptr;
  return NewFolderItem(path);
}

// A shell folder with a place in the file system, or nil. The path comes from
// SHGetSpecialFolderPathA, which gives the same answer as walking the shell's item list.
RuntimeObject* ShellFolder(int csidl) {
  char path[1024] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) || path[0] == 0) return nullptr;
  return NewFolderItem(path);
}

constexpr int kReadOnly = 1;
constexpr int kReadWrite = 2;

}  // namespace

void RegisterFolderItemClass() {
  if (folderItemClass) return;
  folderItemClass = FindClassByName("FolderItem");
  if (folderItemClass) return;
  folderItemClass = DefineBuiltInClass("FolderItem", nullptr, sizeof(FolderItemObject), nullptr, FinaliseFolderItem);
  AddProperty(folderItemClass, "AbsolutePath", nullptr, CodeAddress(&fileAbsolutePathGetter), nullptr, 0);
  const struct {
    const char* name;
    void* getter;
    void* setter;
    uint32_t selector;
  } properties[] = {
      {"Name", CodeAddress(&fileNameGetter), CodeAddress(&fileNameSetter), 0},
      {"Count", CodeAddress(&fileCountGetter), nullptr, 0},
      {"Length", CodeAddress(&fileSizeGetter), nullptr, 0},
      {"ResourceForkLength", CodeAddress(&fileRFSizeGetter), nullptr, 0},
      {"Exists", CodeAddress(&fileExistsGetter), nullptr, 0},
      {"Directory", CodeAddress(&fileDirectoryGetter), nullptr, 0},
      {"Locked", CodeAddress(&fileLockedGetter), CodeAddress(&fileLockedSetter), 0},
      {"Visible", CodeAddress(&fileVisibleGetter), CodeAddress(&fileVisibleSetter), 0},
      {"Alias", CodeAddress(&fileAliasGetter), nullptr, 0},
      {"Type", CodeAddress(&fileTypeGetter), nullptr, 0},
      {"Parent", CodeAddress(&folderParentGetter), nullptr, 0},
      {"CreationDate", CodeAddress(&folderGetCreation), CodeAddress(&folderSetCreation), 0},
      {"ModificationDate", CodeAddress(&folderGetModified), CodeAddress(&folderSetModified), 0},
      {"MacType", CodeAddress(&fileMacTypeGetter), CodeAddress(&fileMacTypeSetter), 0},
      {"MacCreator", CodeAddress(&fileMacCreatorGetter), CodeAddress(&fileMacCreatorSetter), 0},
      {"DesktopFolder", CodeAddress(&folderFindFolder), nullptr, 1},
      {"TrashFolder", CodeAddress(&folderFindFolder), nullptr, 2},
      {"SharedTrashFolder", CodeAddress(&folderFindFolder), nullptr, 3},
      {"TemporaryFolder", CodeAddress(&folderFindFolder), nullptr, 4},
  };
  for (const auto& property : properties)
    AddProperty(folderItemClass, property.name, nullptr, property.getter, property.setter, property.selector);
  const struct {
    const char* name;
    void* entry;
  } methods[] = {
      {"Child", CodeAddress(&FolderChild)},
      {"TrueChild", CodeAddress(&FolderTrueChild)},
      {"OpenAsTextFile", CodeAddress(&FolderItemOpenTextFile)},
      {"AppendToTextFile", CodeAddress(&FolderItemAppendTextFile)},
      {"CreateTextFile", CodeAddress(&FolderItemCreateTextFile)},
      {"OpenAsBinaryFile", CodeAddress(&FolderItemOpenBinaryFile)},
      {"CreateBinaryFile", CodeAddress(&FolderItemCreateBinaryFile)},
      {"Delete", CodeAddress(&FolderItemDelete)},
      {"Item", CodeAddress(&FolderItemItem)},
      {"TrueItem", CodeAddress(&FolderItemTrueItem)},
      {"CreateAsFolder", CodeAddress(&FolderItemCreateAsFolder)},
      {"CopyFileTo", CodeAddress(&FolderItemCopyFileTo)},
      {"Launch", CodeAddress(&FolderItemLaunch)},
      {"SaveAsPicture", CodeAddress(&FolderItemSaveAsPicture)},
      {"OpenAsSound", CodeAddress(&FolderItemOpenSound)},
  };
  for (const auto& method : methods) AddMethod(folderItemClass, method.name, method.entry);
  RegisterStreamClasses();
}

RuntimeObject* NewFolderItem(const char* path) {
  RegisterFolderItemClass();
  RuntimeObject* item = NewInstance(folderItemClass);
  if (item == nullptr) return nullptr;
  StringMakeFromCString(&AsItem(item)->path, path);
  AsItem(item)->pathSet = true;
  return item;
}

RuntimeString* FolderItemPath(RuntimeObject* item) {
  if (item == nullptr) return nullptr;
  FolderItemObject* folder = AsItem(item);
  if (!folder->pathSet) {
    StringMakeFromCString(&folder->path, ApplicationFolder().c_str());
    folder->pathSet = true;
  }
  return folder->path;
}

extern "C" {

RuntimeObject* RuntimeGetFolderItem(RuntimeString* path) {
  std::string relative(StringCText(path), static_cast<size_t>(StringLength(path)));
  return NewFolderItem(ResolvePath(ApplicationFolder(), relative, ResolveMode::Child).c_str());
}

RuntimeObject* RuntimeGetTrueFolderItem(RuntimeString* path) { return RuntimeGetFolderItem(path); }

RuntimeObject* FolderItemFromPath(const char* path) { return NewFolderItem(path ? path : ""); }

RuntimeString* fileAbsolutePathGetter(RuntimeObject* item, int32_t) { return StringRetain(FolderItemPath(item)); }

RuntimeString* fileNameGetter(RuntimeObject* item, int32_t) {
  if (item == nullptr) return nullptr;
  std::string name = SplitWindowsPath(PathText(item)).name;
  return StringFromBytes(name.data(), static_cast<int32_t>(name.size()));
}

RuntimeObject* folderParentGetter(RuntimeObject* item, int32_t) {
  if (item == nullptr) return nullptr;
  std::string path = PathText(item);
  SplitPath parts = SplitWindowsPath(path);
  // A root has no parent: a path that is only a volume ("C:", "C:\\", "\\\\server") gives
  // nil rather than the bare drive letter the parent rule would make of it.
  if (parts.directory.empty() && parts.name.empty()) return nullptr;
  std::string parent = ParentPath(path);
  if (parent.empty() || lstrcmpiA(parent.c_str(), path.c_str()) == 0) return nullptr;
  return NewFolderItem(parent.c_str());
}

RuntimeObject* FolderChild(RuntimeObject* item, RuntimeString* name) {
  if (item == nullptr) return nullptr;
  return NewFolderItem((PathText(item) + "\\" + StringCText(name)).c_str());
}

RuntimeObject* FolderTrueChild(RuntimeObject* item, RuntimeString* name) { return FolderChild(item, name); }

RuntimeObject* FolderItemOpenTextFile(RuntimeObject* item) {
  std::unique_ptr<FileStream> file = OpenFile(item, false, kReadOnly);
  return file ? NewTextInputStream(std::move(file)) : nullptr;
}

RuntimeObject* FolderItemCreateTextFile(RuntimeObject* item) {
  std::unique_ptr<FileStream> file = OpenFile(item, true, 0);
  return file ? NewTextOutputStream(std::move(file)) : nullptr;
}

RuntimeObject* FolderItemAppendTextFile(RuntimeObject* item) {
  std::unique_ptr<FileStream> file = OpenFile(item, false, kReadWrite);
  if (file == nullptr) return FolderItemCreateTextFile(item);
  file->Seek(file->Length());
  return NewTextOutputStream(std::move(file));
}

RuntimeObject* FolderItemOpenBinaryFile(RuntimeObject* item, bool readWrite) {
  std::unique_ptr<FileStream> file = OpenFile(item, false, readWrite ? kReadWrite : kReadOnly);
  return file ? NewBinaryStream(std::move(file)) : nullptr;
}

RuntimeObject* FolderItemCreateBinaryFile(RuntimeObject* item, RuntimeString*) {
  std::unique_ptr<FileStream> file = OpenFile(item, true, 0);
  return file ? NewBinaryStream(std::move(file)) : nullptr;
}

void FolderItemDelete(RuntimeObject* item) {
  if (item) DeleteFileA(PathText(item).c_str());
}

}  // extern "C"

std::string FileTypeForName(const DocumentFileType* types, const std::string& name) {
  const DocumentFileType* best = nullptr;
  int bestScore = 0;
  for (const DocumentFileType* type = types; type; type = type->next) {
    std::string extensions(StringCText(type->extensions), static_cast<size_t>(StringLength(type->extensions)));
    int score = 0;
    if (extensions.empty()) {
      score = 1;
    } else {
      for (size_t start = 0; start <= extensions.size();) {
        size_t end = extensions.find(';', start);
        if (end == std::string::npos) end = extensions.size();
        std::string extension = extensions.substr(start, end - start);
        if (!extension.empty() && EndsWithFolded(name, extension)) score = 2;
        start = end + 1;
      }
    }
    if (score > bestScore) {
      best = type;
      bestScore = score;
    }
  }
  return best ? std::string(StringCText(best->name), static_cast<size_t>(StringLength(best->name))) : std::string();
}

extern "C" {

void fileNameSetter(RuntimeObject* item, int32_t, RuntimeString* name) {
  if (item == nullptr) return;
  std::string path = PathText(item);
  std::string target = ResolvePath(path, std::string(StringCText(name), static_cast<size_t>(StringLength(name))),
                                   ResolveMode::Sibling);
  MoveFileA(path.c_str(), target.c_str());
  // The new path is kept whether or not the move succeeded.
  StringMakeFromCString(&AsItem(item)->path, target.c_str());
}

int32_t fileCountGetter(RuntimeObject* item, int32_t) { return ListFolder(item); }

int32_t fileSizeGetter(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data) ? static_cast<int32_t>(data.nFileSizeLow) : 0;
}

int32_t fileRFSizeGetter(RuntimeObject*, int32_t) { return 0; }

bool fileExistsGetter(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data);
}

bool fileDirectoryGetter(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileLockedGetter(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
}

void fileLockedSetter(RuntimeObject* item, int32_t, bool locked) { ChangeAttribute(item, FILE_ATTRIBUTE_READONLY, locked); }

bool fileVisibleGetter(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return !(Find(item, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN));
}

void fileVisibleSetter(RuntimeObject* item, int32_t, bool visible) { ChangeAttribute(item, FILE_ATTRIBUTE_HIDDEN, !visible); }

bool fileAliasGetter(RuntimeObject*, int32_t) { return false; }

RuntimeString* fileTypeGetter(RuntimeObject* item, int32_t) {
  if (item == nullptr) return nullptr;
  std::string type = FileTypeForName(TheApplicationSettings().fileTypes, SplitWindowsPath(PathText(item)).name);
  return StringFromBytes(type.data(), static_cast<int32_t>(type.size()));
}

RuntimeString* fileMacTypeGetter(RuntimeObject*, int32_t) { return nullptr; }
void fileMacTypeSetter(RuntimeObject*, int32_t, RuntimeString*) {}
RuntimeString* fileMacCreatorGetter(RuntimeObject*, int32_t) { return nullptr; }
void fileMacCreatorSetter(RuntimeObject*, int32_t, RuntimeString*) {}

RuntimeObject* folderGetCreation(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data) ? DateOf(data.ftCreationTime) : nullptr;
}

RuntimeObject* folderGetModified(RuntimeObject* item, int32_t) {
  WIN32_FIND_DATAA data;
  return Find(item, &data) ? DateOf(data.ftLastWriteTime) : nullptr;
}

RuntimeObject* folderFindFolder(RuntimeObject*, int32_t) { return nullptr; }

void folderSetCreation(RuntimeObject* item, int32_t, RuntimeObject* date) { SetTime(item, date, true); }

void folderSetModified(RuntimeObject* item, int32_t, RuntimeObject* date) { SetTime(item, date, false); }

RuntimeObject* FolderItemItem(RuntimeObject* item, int32_t index) {
  int32_t count = ListFolder(item);
  if (index <= 0 || index > count) return nullptr;
  return NewFolderItem((PathText(item) + "\\" + Listing()[static_cast<size_t>(index - 1)]).c_str());
}

RuntimeObject* FolderItemTrueItem(RuntimeObject* item, int32_t index) { return FolderItemItem(item, index); }

void FolderItemCreateAsFolder(RuntimeObject* item) {
  if (item) CreateDirectoryA(PathText(item).c_str(), nullptr);
}

void FolderItemCopyFileTo(RuntimeObject* item, RuntimeObject* destination) {
  if (item == nullptr || destination == nullptr) return;
  std::string target = PathText(destination);
  if (fileDirectoryGetter(destination, 0)) target += "\\" + SplitWindowsPath(PathText(item)).name;
  CopyFileA(PathText(item).c_str(), target.c_str(), FALSE);
}

void FolderItemLaunch(RuntimeObject* item) {
  if (item) ShellExecuteA(nullptr, "open", PathText(item).c_str(), nullptr, nullptr, SW_SHOW);
}

void FolderItemSaveAsPicture(RuntimeObject*, RuntimeObject*) {}

RuntimeObject* FolderItemOpenSound(RuntimeObject*) { return nullptr; }

int32_t getVolumeCount() {
  DWORD drives = GetLogicalDrives();
  int32_t count = 0;
  for (int bit = 0; bit < 32; bit++) count += (drives >> bit) & 1;
  return count;
}

RuntimeObject* getVolume(int32_t index) {
  DWORD drives = GetLogicalDrives();
  for (int bit = 0; bit < 32; bit++) {
    if (!((drives >> bit) & 1)) continue;
    if (index-- == 0) {
      char path[3] = {static_cast<char>('A' + bit), ':', 0};
      return NewFolderItem(path);
    }
  }
  return nullptr;
}

RuntimeObject* getAppleMenuFolder() { return ShellFolder(CSIDL_PROGRAMS); }
RuntimeObject* getControlPanelsFolder() { return ShellFolder(CSIDL_CONTROLS); }
RuntimeObject* getDesktopFolder() { return ShellFolder(CSIDL_DESKTOPDIRECTORY); }
RuntimeObject* getStartupItemsFolder() { return ShellFolder(CSIDL_STARTUP); }
RuntimeObject* getFontsFolder() { return ShellFolder(CSIDL_FONTS); }
RuntimeObject* getTrashFolder() { return ShellFolder(CSIDL_BITBUCKET); }

RuntimeObject* getExtensionsFolder() { return getSystemFolder(); }

RuntimeObject* getPreferencesFolder() {
  return FolderFrom([](char* path) { return GetWindowsDirectoryA(path, 1024); });
}

RuntimeObject* getShutdownItemsFolder() { return nullptr; }

RuntimeObject* getSystemFolder() {
  return FolderFrom([](char* path) { return GetSystemDirectoryA(path, 1024); });
}

RuntimeObject* getTemporaryItemsFolder() {
  return FolderFrom([](char* path) { return GetTempPathA(1024, path); });
}

}  // extern "C"
