// Finding and reading the application image: appended to the engine executable (located by the
// "PICKLE"/101 resource) or, in the development form, in loose files of the current directory.
#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "loader/application_image.h"
#include "loader/code_fixups.h"
#include "loader/data_relocations.h"

namespace {

constexpr uint32_t NoResourceBlock = 0xFFFFFFFF;
constexpr WORD LocatorResourceId = 101;

uint32_t ReadLittleEndian(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

uint32_t ReadBigEndian(const uint8_t* bytes) {
  return (static_cast<uint32_t>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

struct RawBlock {
  uint8_t* bytes = nullptr;
  uint32_t size = 0;
  bool executable = false;
};

uint8_t* AllocateBlock(uint32_t size, bool executable) {
  if (!executable) return static_cast<uint8_t*>(PlatformAlloc(size ? size : 1));
  // Application code runs in place from the code block: it must be executable memory.
  void* block = VirtualAlloc(nullptr, size ? size : 1, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (block == nullptr) OutOfMemory();
  return static_cast<uint8_t*>(block);
}

bool ReadExactly(HFILE file, void* buffer, uint32_t size) {
  return size == 0 || _lread(file, buffer, size) == size;
}

// Reads a block of the given size from the file's position; the size never exceeds what the
// file still holds, so a damaged length cannot ask for gigabytes.
bool ReadBlock(HFILE file, uint32_t size, uint32_t available, RawBlock* block) {
  if (size > available) return false;
  block->size = size;
  block->bytes = AllocateBlock(size, block->executable);
  return ReadExactly(file, block->bytes, size);
}

bool FileSize(HFILE file, uint32_t* size) {
  LONG end = _llseek(file, 0, FILE_END);
  if (end < 0 || _llseek(file, 0, FILE_BEGIN) != 0) return false;
  *size = static_cast<uint32_t>(end);
  return true;
}

bool EnginePath(char* path, DWORD size) {
  DWORD length = GetModuleFileNameA(nullptr, path, size);
  return length > 0 && length < size;
}

// The locator: the image offset and the resource block offset, or false for the development
// form (no resource, an unpatched "PICK" record, or an image offset of 0).
bool ReadLocator(uint32_t* imageOffset, uint32_t* resourceOffset) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(LocatorResourceId), "PICKLE");
  if (resource == nullptr || SizeofResource(nullptr, resource) < 8) return false;
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, resource)));
  if (bytes == nullptr || memcmp(bytes, "PICK", 4) == 0) return false;
  *imageOffset = ReadLittleEndian(bytes);
  *resourceOffset = ReadLittleEndian(bytes + 4);
  return *imageOffset != 0;
}

RuntimeString* CouldNotRead(const char* what) {
  return StringJoin({"The application could not be loaded because ", what, " could not be read."});
}

bool ReadProductionForm(uint32_t imageOffset, RawBlock blocks[4], RuntimeString** message) {
  char path[512];
  HFILE file = EnginePath(path, sizeof path) ? _lopen(path, OF_READ) : HFILE_ERROR;
  uint32_t fileSize = 0;
  bool read = file != HFILE_ERROR && FileSize(file, &fileSize) && imageOffset <= fileSize &&
              _llseek(file, static_cast<LONG>(imageOffset), FILE_BEGIN) == static_cast<LONG>(imageOffset);
  uint32_t position = imageOffset;
  for (int index = 0; read && index < 4; index++) {
    uint8_t length[4];
    read = fileSize - position >= 4 && ReadExactly(file, length, 4);
    position += 4;
    read = read && ReadBlock(file, ReadLittleEndian(length), fileSize - position, &blocks[index]);
    position += blocks[index].size;
  }
  if (file != HFILE_ERROR) _lclose(file);
  if (!read) *message = CouldNotRead("the application image in the engine file");
  return read;
}

bool ReadWholeFile(const char* name, RawBlock* block, RuntimeString** message) {
  HFILE file = _lopen(name, OF_READ);
  uint32_t size = 0;
  bool read = file != HFILE_ERROR && FileSize(file, &size) && ReadBlock(file, size, size, block);
  if (file != HFILE_ERROR) _lclose(file);
  if (!read) *message = StringJoin({"The application could not be loaded because the file ", name, " could not be read."});
  return read;
}

// Blocks in image order: code, code fixups, data, data relocations.
bool ReadDevelopmentForm(RawBlock blocks[4], RuntimeString** message) {
  const char* names[4] = {"code1.dat", "code2.dat", "data1.dat", "data2.dat"};
  for (int index = 0; index < 4; index++)
    if (!ReadWholeFile(names[index], &blocks[index], message)) return false;
  return true;
}

bool LinkImage(ApplicationImage& image, RawBlock blocks[4], RuntimeString** message) {
  image.codeBase = blocks[0].bytes;
  image.codeSize = blocks[0].size;
  image.dataBase = blocks[2].bytes;
  image.dataSize = blocks[2].size;
  if (!ApplyCodeFixups(image, blocks[1].bytes, blocks[1].size, message)) return false;
  if (!ApplyDataRelocations(image, blocks[3].bytes, blocks[3].size)) {
    *message = StringFromCString(
        "The application could not be loaded because its image is damaged (data relocation past the data block).");
    return false;
  }
  return true;
}

}  // namespace

ApplicationImage& TheApplicationImage() {
  static ApplicationImage image;
  return image;
}

void ShowLoadFailure(const char* message) { MessageBoxA(nullptr, message, "KW App", MB_OK); }

bool ReadAndLinkApplicationImage(RuntimeString** message) {
  ApplicationImage& image = TheApplicationImage();
  RawBlock blocks[4];
  blocks[0].executable = true;
  *message = nullptr;
  uint32_t imageOffset = 0;
  uint32_t resourceOffset = 0;
  bool production = ReadLocator(&imageOffset, &resourceOffset);
  image.resourceBlockOffset = production ? resourceOffset : 0;
  bool linked = (production ? ReadProductionForm(imageOffset, blocks, message) : ReadDevelopmentForm(blocks, message)) &&
                LinkImage(image, blocks, message);
  // The streams are not needed once applied.
  PlatformFree(blocks[1].bytes);
  PlatformFree(blocks[3].bytes);
  if (!linked) return false;
  // Data word 0 is the entry routine; it must lie in the code block.
  uint32_t entry = image.dataSize >= 8 ? ReadLittleEndian(image.dataBase) : 0;
  uint32_t codeStart = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(image.codeBase));
  if (entry < codeStart || entry - codeStart >= image.codeSize) {
    *message = StringFromCString(
        "The application could not be loaded because its image is damaged (no entry routine in the code).");
    return false;
  }
  return true;
}

uint32_t ProjectTableAddress() {
  ApplicationImage& image = TheApplicationImage();
  return image.dataSize >= 8 ? ReadLittleEndian(image.dataBase + 4) : 0;
}

bool LoadApplicationImage() {
  RuntimeString* message = nullptr;
  if (!ReadAndLinkApplicationImage(&message)) {
    ShowLoadFailure(StringCText(message));
    StringRelease(message);
    return false;
  }
  using EntryRoutine = int (*)();
  uintptr_t entry = ReadLittleEndian(TheApplicationImage().dataBase);
  reinterpret_cast<EntryRoutine>(entry)();
  return true;
}

bool LocateProjectResource(int32_t index, HFILE* file, uint32_t* offset) {
  static HFILE resourceFile = HFILE_ERROR;
  ApplicationImage& image = TheApplicationImage();
  if (image.resourceBlockOffset == NoResourceBlock || index < 1) return false;
  if (resourceFile == HFILE_ERROR) {
    char path[512];
    if (image.resourceBlockOffset != 0)
      resourceFile = EnginePath(path, sizeof path) ? _lopen(path, OF_READ) : HFILE_ERROR;
    else
      resourceFile = _lopen("data3.dat", OF_READ);
    if (resourceFile == HFILE_ERROR) return false;
  }
  uint32_t block = image.resourceBlockOffset;
  uint8_t word[4];
  if (_llseek(resourceFile, static_cast<LONG>(block), FILE_BEGIN) != static_cast<LONG>(block) ||
      !ReadExactly(resourceFile, word, 4))
    return false;
  uint32_t count = ReadBigEndian(word);
  if (static_cast<uint32_t>(index) > count) return false;
  uint32_t entry = block + 4 * static_cast<uint32_t>(index);
  if (_llseek(resourceFile, static_cast<LONG>(entry), FILE_BEGIN) != static_cast<LONG>(entry) ||
      !ReadExactly(resourceFile, word, 4))
    return false;
  *file = resourceFile;
  *offset = block + 4 * count + 4 + ReadBigEndian(word);
  return true;
}
