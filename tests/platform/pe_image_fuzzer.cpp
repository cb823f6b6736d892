// Feeds arbitrary bytes through every step of reading a PE DLL, as the loader takes them.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/kernel/pe_image.h"

using namespace kwplatform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> file(data, size);
  PeImageInfo info;
  if (ReadPeHeaders(file, info) != PeError::None) return 0;
  // Larger images take the same paths, only more slowly.
  if (info.sizeOfImage > (4u << 20)) return 0;
  std::vector<uint8_t> image(info.sizeOfImage);
  LayOutPeImage(file, info, image);

  const uint32_t newBase = info.imageBase + 0x00010000;
  if (RelocatePeImage(info, image, newBase) == PeError::None) {
    PeTls tls;
    if (ReadPeTls(info, image, newBase, tls) == PeError::None && tls.indexRva != 0) WritePeWord(image, tls.indexRva, 0);
  }
  std::vector<PeImportedLibrary> libraries;
  if (ReadPeImports(info, image, libraries) == PeError::None) {
    for (const PeImportedLibrary& library : libraries)
      for (const PeImport& import : library.imports) WritePeWord(image, import.slotRva, 0x7FFE0000);
  }
  std::string library, routine;
  uint16_t ordinal;
  for (uint32_t wanted = 0; wanted < 16; wanted++) {
    PeExport found = FindPeExportByOrdinal(info, image, wanted);
    if (found.kind == PeExport::Kind::Forwarder) SplitPeForwarder(found.forwarder, library, routine, ordinal);
  }
  FindPeExportByName(info, image, "StdcallSum");
  FindPeExportByName(info, image, "");
  return 0;
}
