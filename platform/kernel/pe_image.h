// Reading a PE32 DLL: header checks, the layout of the image in memory, base relocations, and
// the import, export and TLS directories. Pure and portable: it works on byte spans (the file,
// and the image as laid out at its RVAs) and never runs or maps anything, so the host build
// tests and fuzzes it. Every offset and count read from the bytes is checked before use.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kwplatform {

enum class PeError {
  None,
  NotPortableExecutable,  // no "MZ" or no PE signature where the DOS header points
  NotI386,                // another machine, or not the PE32 (32-bit) optional header
  NotDll,                 // an executable, or an image flagged as not executable
  Malformed,              // a field points outside the file or the image
  UnsupportedRelocation,  // a base relocation other than HIGHLOW or ABSOLUTE
  NotRelocatable,         // must move but its relocations were stripped
};

// Images larger than this are refused as malformed: no plug-in comes near it, and the check
// keeps a corrupt size from reserving most of a 32-bit address space.
inline constexpr uint32_t MaximumPeImageSize = 256u << 20;

struct PeDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

struct PeSection {
  uint32_t rva;
  uint32_t fileOffset;
  uint32_t copiedSize;  // bytes of file data copied to the image; the rest up to the virtual size is zero
};

struct PeImageInfo {
  uint32_t imageBase = 0;
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t entryPointRva = 0;  // 0 when the DLL has no entry point
  uint16_t characteristics = 0;
  PeDirectory exports, imports, relocations, tls;
  std::vector<PeSection> sections;
};

// Checks the headers of a file and describes its image; every section and directory it names
// lies within the file and the image.
PeError ReadPeHeaders(std::span<const uint8_t> file, PeImageInfo& info);

// Copies the headers and the sections' file data to their RVAs in image, which holds
// info.sizeOfImage bytes, zero-filled by the caller.
void LayOutPeImage(std::span<const uint8_t> file, const PeImageInfo& info, std::span<uint8_t> image);

// Applies the base relocations for a move of the image from info.imageBase to newBase.
PeError RelocatePeImage(const PeImageInfo& info, std::span<uint8_t> image, uint32_t newBase);

struct PeImport {
  uint32_t slotRva;  // where the address of the routine goes
  std::string name;  // empty when imported by ordinal
  uint16_t ordinal;  // when imported by ordinal
};

struct PeImportedLibrary {
  std::string name;
  std::vector<PeImport> imports;
};

PeError ReadPeImports(const PeImageInfo& info, std::span<const uint8_t> image,
                      std::vector<PeImportedLibrary>& libraries);

// Stores a 32-bit value at an RVA that ReadPeImports or ReadPeTls returned (so known in bounds).
void WritePeWord(std::span<uint8_t> image, uint32_t rva, uint32_t value);

struct PeExport {
  enum class Kind { Missing, Code, Forwarder };
  Kind kind = Kind::Missing;
  uint32_t rva = 0;       // Code: the RVA of the routine or data
  std::string forwarder;  // Forwarder: "library.Name" or "library.#ordinal"
};

PeExport FindPeExportByName(const PeImageInfo& info, std::span<const uint8_t> image, std::string_view name);
PeExport FindPeExportByOrdinal(const PeImageInfo& info, std::span<const uint8_t> image, uint32_t ordinal);

// Splits a forwarder into its library and its routine; an ordinal routine "#n" sets ordinal.
// False when the text has no library or routine.
bool SplitPeForwarder(std::string_view forwarder, std::string& library, std::string& routine, uint16_t& ordinal);

struct PeTls {
  uint32_t indexRva = 0;  // where the loader stores the TLS index; 0 when none
  std::vector<uint32_t> callbackRvas;
};

// Reads the TLS directory of an image already relocated to base.
PeError ReadPeTls(const PeImageInfo& info, std::span<const uint8_t> image, uint32_t base, PeTls& tls);

}  // namespace kwplatform
