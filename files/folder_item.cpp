#include "files/folder_item.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "files/folder_path.h"
#include "files/streams.h"
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

void AddMethodNamed(ClassRecord* classRecord, const char* name, void* entry) {
  RuntimeString* text = StringFromCString(name);
  AddMethod(classRecord, text, entry);
  StringRelease(text);
}

template <typename Function>
void* Entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

// The file of the item opened (or created) by the given operation, or null.
std::unique_ptr<FileStream> OpenFile(RuntimeObject* item, bool create, int mode) {
  if (item == nullptr) return nullptr;
  auto file = std::make_unique<FileStream>();
  std::string path = PathText(item);
  bool opened = create ? file->Create(path.c_str()) : file->Open(path.c_str(), mode);
  return opened ? std::move(file) : nullptr;
}

constexpr int kReadOnly = 1;
constexpr int kReadWrite = 2;

}  // namespace

void RegisterFolderItemClass() {
  if (folderItemClass) return;
  folderItemClass = FindClassByName("FolderItem");
  if (folderItemClass) return;
  folderItemClass = DefineBuiltInClass("FolderItem", nullptr, sizeof(FolderItemObject), nullptr, FinaliseFolderItem);
  AddProperty(folderItemClass, "AbsolutePath", nullptr, Entry(&fileAbsolutePathGetter), nullptr, 0);
  AddProperty(folderItemClass, "Name", nullptr, Entry(&fileNameGetter), nullptr, 0);
  AddProperty(folderItemClass, "Parent", nullptr, Entry(&folderParentGetter), nullptr, 0);
  const struct {
    const char* name;
    void* entry;
  } methods[] = {
      {"Child", Entry(&FolderChild)},
      {"TrueChild", Entry(&FolderTrueChild)},
      {"OpenAsTextFile", Entry(&FolderItemOpenTextFile)},
      {"AppendToTextFile", Entry(&FolderItemAppendTextFile)},
      {"CreateTextFile", Entry(&FolderItemCreateTextFile)},
      {"OpenAsBinaryFile", Entry(&FolderItemOpenBinaryFile)},
      {"CreateBinaryFile", Entry(&FolderItemCreateBinaryFile)},
      {"Delete", Entry(&FolderItemDelete)},
  };
  for (const auto& method : methods) AddMethodNamed(folderItemClass, method.name, method.entry);
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
