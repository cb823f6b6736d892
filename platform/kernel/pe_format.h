// Byte layouts of the 32-bit Portable Executable format (PE32) that the DLL loader reads. All
// values are little-endian and read with memcpy from bounds-checked offsets, never in place.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace kwplatform::pe {

static_assert(std::endian::native == std::endian::little, "PE fields are read in host byte order");

// The MS-DOS stub header: "MZ", and at 0x3C the file offset of the PE signature.
inline constexpr uint16_t DosSignature = 0x5A4D;
inline constexpr uint32_t DosNewHeaderOffsetField = 0x3C;
inline constexpr uint32_t DosHeaderSize = 0x40;

inline constexpr uint32_t PeSignature = 0x00004550;  // "PE\0\0"

struct FileHeader {
  uint16_t machine;
  uint16_t numberOfSections;
  uint32_t timeDateStamp;
  uint32_t pointerToSymbolTable;
  uint32_t numberOfSymbols;
  uint16_t sizeOfOptionalHeader;
  uint16_t characteristics;
};
static_assert(sizeof(FileHeader) == 20);
static_assert(offsetof(FileHeader, sizeOfOptionalHeader) == 16);

inline constexpr uint16_t MachineI386 = 0x014C;
inline constexpr uint16_t FileRelocationsStripped = 0x0001;
inline constexpr uint16_t FileExecutableImage = 0x0002;
inline constexpr uint16_t FileDll = 0x2000;

// The fixed part of the PE32 optional header; the data directories follow it.
struct OptionalHeader32 {
  uint16_t magic;
  uint8_t majorLinkerVersion;
  uint8_t minorLinkerVersion;
  uint32_t sizeOfCode;
  uint32_t sizeOfInitializedData;
  uint32_t sizeOfUninitializedData;
  uint32_t addressOfEntryPoint;
  uint32_t baseOfCode;
  uint32_t baseOfData;
  uint32_t imageBase;
  uint32_t sectionAlignment;
  uint32_t fileAlignment;
  uint16_t majorOperatingSystemVersion;
  uint16_t minorOperatingSystemVersion;
  uint16_t majorImageVersion;
  uint16_t minorImageVersion;
  uint16_t majorSubsystemVersion;
  uint16_t minorSubsystemVersion;
  uint32_t win32VersionValue;
  uint32_t sizeOfImage;
  uint32_t sizeOfHeaders;
  uint32_t checkSum;
  uint16_t subsystem;
  uint16_t dllCharacteristics;
  uint32_t sizeOfStackReserve;
  uint32_t sizeOfStackCommit;
  uint32_t sizeOfHeapReserve;
  uint32_t sizeOfHeapCommit;
  uint32_t loaderFlags;
  uint32_t numberOfRvaAndSizes;
};
static_assert(sizeof(OptionalHeader32) == 96);
static_assert(offsetof(OptionalHeader32, addressOfEntryPoint) == 16);
static_assert(offsetof(OptionalHeader32, imageBase) == 28);
static_assert(offsetof(OptionalHeader32, sizeOfImage) == 56);
static_assert(offsetof(OptionalHeader32, numberOfRvaAndSizes) == 92);

inline constexpr uint16_t OptionalHeaderMagicPe32 = 0x010B;

struct DataDirectory {
  uint32_t virtualAddress;
  uint32_t size;
};
static_assert(sizeof(DataDirectory) == 8);

// Indexes of the data directories the loader uses.
inline constexpr uint32_t DirectoryExport = 0;
inline constexpr uint32_t DirectoryImport = 1;
inline constexpr uint32_t DirectoryBaseRelocation = 5;
inline constexpr uint32_t DirectoryTls = 9;
inline constexpr uint32_t DirectoryCount = 16;

struct SectionHeader {
  char name[8];
  uint32_t virtualSize;
  uint32_t virtualAddress;
  uint32_t sizeOfRawData;
  uint32_t pointerToRawData;
  uint32_t pointerToRelocations;
  uint32_t pointerToLinenumbers;
  uint16_t numberOfRelocations;
  uint16_t numberOfLinenumbers;
  uint32_t characteristics;
};
static_assert(sizeof(SectionHeader) == 40);
static_assert(offsetof(SectionHeader, pointerToRawData) == 20);

// A block of base relocations: the page's RVA and the block's size in bytes, header included,
// followed by 16-bit entries (type in the high 4 bits, offset in the page in the low 12).
struct BaseRelocationBlock {
  uint32_t pageRva;
  uint32_t sizeOfBlock;
};
static_assert(sizeof(BaseRelocationBlock) == 8);

inline constexpr uint16_t RelocationAbsolute = 0;
inline constexpr uint16_t RelocationHighLow = 3;

// One imported library; the array ends with an all-zero descriptor.
struct ImportDescriptor {
  uint32_t originalFirstThunk;  // the lookup table (0: use the address table)
  uint32_t timeDateStamp;
  uint32_t forwarderChain;
  uint32_t name;
  uint32_t firstThunk;  // the address table the loader fills
};
static_assert(sizeof(ImportDescriptor) == 20);

// A lookup table entry with this bit imports by the ordinal in its low 16 bits; otherwise it
// is the RVA of a 16-bit hint followed by the NUL-terminated name.
inline constexpr uint32_t ImportByOrdinalFlag = 0x80000000u;

struct ExportDirectory {
  uint32_t characteristics;
  uint32_t timeDateStamp;
  uint16_t majorVersion;
  uint16_t minorVersion;
  uint32_t name;
  uint32_t ordinalBase;
  uint32_t numberOfFunctions;
  uint32_t numberOfNames;
  uint32_t addressOfFunctions;     // RVA of numberOfFunctions 32-bit RVAs
  uint32_t addressOfNames;         // RVA of numberOfNames 32-bit name RVAs
  uint32_t addressOfNameOrdinals;  // RVA of numberOfNames 16-bit indexes into the functions
};
static_assert(sizeof(ExportDirectory) == 40);
static_assert(offsetof(ExportDirectory, ordinalBase) == 16);

// Addresses here are virtual addresses (image base included), relocated like any other.
struct TlsDirectory32 {
  uint32_t startAddressOfRawData;
  uint32_t endAddressOfRawData;
  uint32_t addressOfIndex;
  uint32_t addressOfCallBacks;  // a zero-terminated array of callback addresses
  uint32_t sizeOfZeroFill;
  uint32_t characteristics;
};
static_assert(sizeof(TlsDirectory32) == 24);

}  // namespace kwplatform::pe
