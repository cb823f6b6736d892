#include "loader/code_fixups.h"

#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "loader/image_format.h"
#include "loader/service_table.h"

namespace {

using image_format::ChainRecord;
using image_format::DataReferenceRecord;
using image_format::NearCallOpcode;

uint32_t AddressOf(const void* address) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address)); }

uint32_t ReadWord(const uint8_t* bytes) {
  uint32_t value;
  memcpy(&value, bytes, 4);
  return value;
}

RuntimeString* DamagedImage(const char* what, uint32_t offset) {
  char detail[96];
  snprintf(detail, sizeof detail, "%s at offset %u", what, static_cast<unsigned>(offset));
  return StringJoin({"The application could not be loaded because its image is damaged (", detail, ")."});
}

HMODULE LoadWithSystem(const char* name) { return LoadLibraryA(name); }

void* FindWithSystem(HMODULE module, const char* routine) {
  return reinterpret_cast<void*>(GetProcAddress(module, routine));
}

LoadedLibrary* FindOrAddLibrary(ApplicationImage& image, RuntimeString* name, const LibraryResolver& libraries) {
  for (LoadedLibrary* library = image.libraries; library; library = library->next)
    if (StringEqualsFolded(library->name, name)) return library;
  // The node is added before the library is loaded and stays even when loading fails.
  auto* library = static_cast<LoadedLibrary*>(SmallAlloc(sizeof(LoadedLibrary)));
  library->name = StringRetain(name);
  library->module = nullptr;
  library->next = image.libraries;
  image.libraries = library;
  library->module = libraries.load(StringCText(name));
  return library;
}

// "!X" names: the text after the two characters is library + "!" + routine; without a "!",
// the library is empty and the routine is the whole text.
bool BindLibraryRoutine(ApplicationImage& image, const char* text, uint32_t length, uint32_t head,
                        RuntimeString** message, const LibraryResolver& libraries) {
  const char* separator = static_cast<const char*>(memchr(text, '!', length));
  RuntimeString* libraryName = separator ? StringFromBytes(text, static_cast<int32_t>(separator - text)) : nullptr;
  RuntimeString* routine = separator ? StringFromBytes(separator + 1, static_cast<int32_t>(text + length - separator - 1))
                                     : StringFromBytes(text, static_cast<int32_t>(length));
  bool bound = false;
  // The notice that would show each library binding before it is made is not shown: it only
  // delays the start with boxes the user can do nothing about.
  LoadedLibrary* library = FindOrAddLibrary(image, libraryName, libraries);
  if (library->module == nullptr) {
    *message = StringJoin({"The application could not be loaded because a necessary shared library ",
                         StringCText(libraryName), " could not be found."});
  } else if (void* address = libraries.find(library->module, StringCText(routine)); address == nullptr) {
    *message = StringJoin({"The application could not be loaded because the routine ", StringCText(routine),
                         " could not be found in the shared library ", StringCText(libraryName), "."});
  } else if (!LinkCallChain(image, head, AddressOf(address))) {
    *message = DamagedImage("call chain", head);
  } else {
    bound = true;
  }
  StringRelease(libraryName);
  StringRelease(routine);
  return bound;
}

}  // namespace

const LibraryResolver& SystemLibraryResolver() {
  static const LibraryResolver resolver{LoadWithSystem, FindWithSystem};
  return resolver;
}

bool LinkCallChain(ApplicationImage& image, uint32_t head, uint32_t target) {
  // A chain can hold at most one site per 5-byte call instruction; a longer walk is a loop.
  uint32_t sitesLeft = image.codeSize / 5 + 1;
  for (uint32_t site = head; site != 0;) {
    if (image.codeSize < 5 || site < 1 || site > image.codeSize - 4 || sitesLeft-- == 0) return false;
    if (image.codeBase[site - 1] != NearCallOpcode) return false;
    uint32_t next = ReadWord(image.codeBase + site);
    uint32_t displacement = target - (AddressOf(image.codeBase) + site + 4);
    memcpy(image.codeBase + site, &displacement, 4);
    site = next;
  }
  return true;
}

bool ApplyCodeFixups(ApplicationImage& image, const uint8_t* stream, uint32_t length, RuntimeString** message,
                     const LibraryResolver& libraries) {
  *message = nullptr;
  uint32_t position = 0;
  while (position < length) {
    uint32_t recordStart = position;
    uint8_t kind = stream[position++];
    if (kind == DataReferenceRecord) {
      if (length - position < 4) {
        *message = DamagedImage("truncated code fixup", recordStart);
        return false;
      }
      uint32_t offset = ReadWord(stream + position);
      position += 4;
      if (image.codeSize < 4 || offset > image.codeSize - 4) {
        *message = DamagedImage("data reference outside the code", recordStart);
        return false;
      }
      uint32_t value = ReadWord(image.codeBase + offset) + AddressOf(image.dataBase);
      memcpy(image.codeBase + offset, &value, 4);
      continue;
    }
    if (kind != ChainRecord) continue;  // any other byte is skipped

    if (length - position < 5 || length - position - 5 < stream[position + 4]) {
      *message = DamagedImage("truncated code fixup", recordStart);
      return false;
    }
    uint32_t head = ReadWord(stream + position);
    uint32_t nameLength = stream[position + 4];
    const char* name = reinterpret_cast<const char*>(stream + position + 5);
    position += 5 + nameLength;

    if (nameLength >= 2 && name[0] == '!' && name[1] == 'X') {
      if (!BindLibraryRoutine(image, name + 2, nameLength - 2, head, message, libraries)) return false;
    } else if (nameLength >= 1 && name[0] == '!') {
      auto* binding = static_cast<PendingPluginBinding*>(SmallAlloc(sizeof(PendingPluginBinding)));
      binding->name = StringFromBytes(name + 1, static_cast<int32_t>(nameLength - 1));
      binding->chainHead = head;
      binding->next = image.pendingBindings;
      image.pendingBindings = binding;
    } else {
      RuntimeString* serviceName = StringFromBytes(name, static_cast<int32_t>(nameLength));
      ServiceFunction service = FindService(StringCText(serviceName));
      // A name the table does not hold would leave its calls unlinked: a load failure.
      if (service == nullptr)
        *message = StringJoin({"The application could not be loaded because the service ", StringCText(serviceName),
                             " could not be found in this engine."});
      else if (!LinkCallChain(image, head, AddressOf(reinterpret_cast<void*>(service))))
        *message = DamagedImage("call chain", recordStart);
      StringRelease(serviceName);
      if (*message) return false;
    }
  }
  return true;
}
