// Feeds the code fixup and data relocation stream readers arbitrary bytes over a code and a
// data block of arbitrary content: nothing may be read or written outside the blocks or the
// stream, and no walk may fail to end.
//
// Input: byte 0 selects the reader (even: fixups, odd: relocations), byte 1 the block size,
// then the block's bytes, then the stream.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "loader/code_fixups.h"
#include "loader/data_relocations.h"

namespace {

HMODULE FakeLoad(const char* name) {
  return name[0] == 'k' ? reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x1000)) : nullptr;
}

void* FakeFind(HMODULE, const char* routine) {
  return routine[0] == 'R' ? reinterpret_cast<void*>(static_cast<uintptr_t>(0x2000)) : nullptr;
}

void FreeLists(ApplicationImage& image) {
  while (LoadedLibrary* library = image.libraries) {
    image.libraries = library->next;
    StringRelease(library->name);
    SmallFree(library, sizeof *library);
  }
  while (PendingPluginBinding* binding = image.pendingBindings) {
    image.pendingBindings = binding->next;
    StringRelease(binding->name);
    SmallFree(binding, sizeof *binding);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 2) return 0;
  bool relocations = input[0] & 1;
  size_t blockSize = input[1];
  if (size - 2 < blockSize) return 0;
  // Exact-size copies, so that the sanitizer sees any access past their ends.
  std::vector<uint8_t> block(input + 2, input + 2 + blockSize);
  std::vector<uint8_t> stream(input + 2 + blockSize, input + size);
  ApplicationImage image{};
  if (relocations) {
    image.codeBase = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(0x400000));
    image.dataBase = block.data();
    image.dataSize = static_cast<uint32_t>(block.size());
    ApplyDataRelocations(image, stream.data(), static_cast<uint32_t>(stream.size()));
  } else {
    image.codeBase = block.data();
    image.codeSize = static_cast<uint32_t>(block.size());
    image.dataBase = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(0x500000));
    RuntimeString* message = nullptr;
    LibraryResolver resolver{FakeLoad, FakeFind};
    ApplyCodeFixups(image, stream.data(), static_cast<uint32_t>(stream.size()), &message, resolver);
    StringRelease(message);
    FreeLists(image);
  }
  return 0;
}
