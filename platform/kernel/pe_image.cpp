// Reading a PE32 DLL from untrusted bytes. Offsets are added in 64 bits, so no sum of 32-bit
// fields can wrap around and pass a bounds check.
#include "platform/kernel/pe_image.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/pe_format.h"

namespace kwplatform {

namespace {

using namespace pe;

// True when [start, start + size) lies within [0, limit).
bool Contains(uint64_t limit, uint64_t start, uint64_t size) { return start <= limit && size <= limit - start; }

template <class T>
bool ReadAt(std::span<const uint8_t> bytes, uint64_t offset, T& value) {
  if (!Contains(bytes.size(), offset, sizeof(T))) return false;
  memcpy(&value, bytes.data() + offset, sizeof(T));
  return true;
}

// The NUL-terminated string at offset; false when it runs past the end of bytes.
bool ReadString(std::span<const uint8_t> bytes, uint64_t offset, std::string_view& text) {
  if (offset >= bytes.size()) return false;
  const char* start = reinterpret_cast<const char*>(bytes.data()) + offset;
  const void* end = memchr(start, 0, bytes.size() - offset);
  if (end == nullptr) return false;
  text = std::string_view(start, static_cast<const char*>(end) - start);
  return true;
}

PeDirectory ReadDirectory(const DataDirectory* directories, uint32_t count, uint32_t index) {
  if (index >= count || directories[index].virtualAddress == 0) return {};
  return {directories[index].virtualAddress, directories[index].size};
}

PeExport ExportAtIndex(const PeImageInfo& info, std::span<const uint8_t> image, const ExportDirectory& directory,
                       uint32_t index) {
  uint32_t rva = 0;
  if (index >= directory.numberOfFunctions || !ReadAt(image, directory.addressOfFunctions + uint64_t{index} * 4, rva) ||
      rva == 0) {
    return {};
  }
  // An address inside the export directory is the text of a forwarder, not code.
  if (rva >= info.exports.rva && rva - info.exports.rva < info.exports.size) {
    std::string_view forwarder;
    if (!ReadString(image, rva, forwarder)) return {};
    return {PeExport::Kind::Forwarder, 0, std::string(forwarder)};
  }
  if (rva >= info.sizeOfImage) return {};
  return {PeExport::Kind::Code, rva, {}};
}

bool ReadExportDirectory(const PeImageInfo& info, std::span<const uint8_t> image, ExportDirectory& directory) {
  return info.exports.rva != 0 && ReadAt(image, info.exports.rva, directory);
}

}  // namespace

PeError ReadPeHeaders(std::span<const uint8_t> file, PeImageInfo& info) {
  info = PeImageInfo{};
  uint16_t dosSignature = 0;
  uint32_t peOffset = 0, signature = 0;
  if (file.size() < DosHeaderSize || !ReadAt(file, 0, dosSignature) || dosSignature != DosSignature)
    return PeError::NotPortableExecutable;
  ReadAt(file, DosNewHeaderOffsetField, peOffset);
  if (!ReadAt(file, peOffset, signature) || signature != PeSignature) return PeError::NotPortableExecutable;

  FileHeader fileHeader;
  uint64_t optionalOffset = uint64_t{peOffset} + sizeof(signature) + sizeof(FileHeader);
  uint16_t magic = 0;
  if (!ReadAt(file, uint64_t{peOffset} + sizeof(signature), fileHeader)) return PeError::Malformed;
  if (fileHeader.machine != MachineI386) return PeError::NotI386;
  if (fileHeader.sizeOfOptionalHeader < sizeof(magic) || !ReadAt(file, optionalOffset, magic))
    return PeError::Malformed;
  if (magic != OptionalHeaderMagicPe32) return PeError::NotI386;
  if ((fileHeader.characteristics & (FileDll | FileExecutableImage)) != (FileDll | FileExecutableImage))
    return PeError::NotDll;

  OptionalHeader32 optional;
  if (fileHeader.sizeOfOptionalHeader < sizeof(optional) || !ReadAt(file, optionalOffset, optional))
    return PeError::Malformed;
  DataDirectory directories[DirectoryCount] = {};
  uint32_t directoryCount = std::min(optional.numberOfRvaAndSizes, DirectoryCount);
  if (sizeof(optional) + directoryCount * sizeof(DataDirectory) > fileHeader.sizeOfOptionalHeader)
    return PeError::Malformed;
  for (uint32_t index = 0; index < directoryCount; index++) {
    if (!ReadAt(file, optionalOffset + sizeof(optional) + index * sizeof(DataDirectory), directories[index]))
      return PeError::Malformed;
  }

  info.imageBase = optional.imageBase;
  info.sizeOfImage = optional.sizeOfImage;
  info.sizeOfHeaders = optional.sizeOfHeaders;
  info.entryPointRva = optional.addressOfEntryPoint;
  info.characteristics = fileHeader.characteristics;
  if (info.sizeOfImage == 0 || info.sizeOfImage > MaximumPeImageSize || info.sizeOfHeaders > info.sizeOfImage ||
      info.sizeOfHeaders > file.size() || info.entryPointRva >= info.sizeOfImage) {
    return PeError::Malformed;
  }

  info.exports = ReadDirectory(directories, directoryCount, DirectoryExport);
  info.imports = ReadDirectory(directories, directoryCount, DirectoryImport);
  info.relocations = ReadDirectory(directories, directoryCount, DirectoryBaseRelocation);
  info.tls = ReadDirectory(directories, directoryCount, DirectoryTls);
  for (const PeDirectory& directory : {info.exports, info.imports, info.relocations, info.tls}) {
    if (!Contains(info.sizeOfImage, directory.rva, directory.size)) return PeError::Malformed;
  }

  uint64_t sectionTable = optionalOffset + fileHeader.sizeOfOptionalHeader;
  for (uint32_t index = 0; index < fileHeader.numberOfSections; index++) {
    SectionHeader header;
    if (!ReadAt(file, sectionTable + uint64_t{index} * sizeof(header), header)) return PeError::Malformed;
    // A virtual size of 0 means the section is as large as its file data.
    uint32_t virtualSize = header.virtualSize ? header.virtualSize : header.sizeOfRawData;
    uint32_t copiedSize = std::min(header.sizeOfRawData, virtualSize);
    if (!Contains(info.sizeOfImage, header.virtualAddress, virtualSize) ||
        (copiedSize > 0 && !Contains(file.size(), header.pointerToRawData, copiedSize))) {
      return PeError::Malformed;
    }
    info.sections.push_back({header.virtualAddress, header.pointerToRawData, copiedSize});
  }
  return PeError::None;
}

void LayOutPeImage(std::span<const uint8_t> file, const PeImageInfo& info, std::span<uint8_t> image) {
  if (image.size() < info.sizeOfImage) return;
  memcpy(image.data(), file.data(), info.sizeOfHeaders);
  for (const PeSection& section : info.sections)
    memcpy(image.data() + section.rva, file.data() + section.fileOffset, section.copiedSize);
}

PeError RelocatePeImage(const PeImageInfo& info, std::span<uint8_t> image, uint32_t newBase) {
  uint32_t delta = newBase - info.imageBase;  // modulo 2^32, as the fixed-up words wrap
  if (delta != 0 && (info.characteristics & FileRelocationsStripped)) return PeError::NotRelocatable;
  // Blocks follow each other to the end of the directory; a tail shorter than a block header
  // is padding.
  uint64_t offset = info.relocations.rva;
  uint64_t end = offset + info.relocations.size;
  while (end - offset >= sizeof(BaseRelocationBlock)) {
    BaseRelocationBlock block;
    if (!ReadAt(image, offset, block)) return PeError::Malformed;
    if (block.sizeOfBlock < sizeof(block) || block.sizeOfBlock > end - offset) return PeError::Malformed;
    uint32_t entryCount = (block.sizeOfBlock - sizeof(block)) / sizeof(uint16_t);
    for (uint32_t index = 0; index < entryCount; index++) {
      uint16_t entry;
      if (!ReadAt(image, offset + sizeof(block) + index * sizeof(entry), entry)) return PeError::Malformed;
      uint16_t type = entry >> 12;
      if (type == RelocationAbsolute) continue;
      if (type != RelocationHighLow) return PeError::UnsupportedRelocation;
      uint64_t target = uint64_t{block.pageRva} + (entry & 0x0FFF);
      uint32_t word;
      if (!ReadAt(image, target, word)) return PeError::Malformed;
      WritePeWord(image, static_cast<uint32_t>(target), word + delta);
    }
    offset += block.sizeOfBlock;
  }
  return PeError::None;
}

PeError ReadPeImports(const PeImageInfo& info, std::span<const uint8_t> image,
                      std::vector<PeImportedLibrary>& libraries) {
  libraries.clear();
  if (info.imports.rva == 0) return PeError::None;
  // The descriptors run to an empty one; the directory's size is not trusted to count them.
  for (uint64_t offset = info.imports.rva;; offset += sizeof(ImportDescriptor)) {
    ImportDescriptor descriptor;
    if (!ReadAt(image, offset, descriptor)) return PeError::Malformed;
    if (descriptor.name == 0 && descriptor.firstThunk == 0) return PeError::None;
    std::string_view name;
    if (descriptor.firstThunk == 0 || !ReadString(image, descriptor.name, name) || name.empty())
      return PeError::Malformed;
    PeImportedLibrary& library = libraries.emplace_back();
    library.name = name;
    uint32_t lookupTable = descriptor.originalFirstThunk ? descriptor.originalFirstThunk : descriptor.firstThunk;
    for (uint64_t index = 0;; index++) {
      uint32_t entry;
      uint64_t slot = descriptor.firstThunk + index * 4;
      if (!ReadAt(image, lookupTable + index * 4, entry) || !Contains(image.size(), slot, 4)) return PeError::Malformed;
      if (entry == 0) break;
      PeImport& import = library.imports.emplace_back();
      import.slotRva = static_cast<uint32_t>(slot);
      import.ordinal = 0;
      if (entry & ImportByOrdinalFlag) {
        import.ordinal = static_cast<uint16_t>(entry);
        continue;
      }
      // Skip the 16-bit hint: names are looked up in full.
      std::string_view routine;
      if (!ReadString(image, uint64_t{entry} + 2, routine) || routine.empty()) return PeError::Malformed;
      import.name = routine;
    }
  }
}

void WritePeWord(std::span<uint8_t> image, uint32_t rva, uint32_t value) {
  if (Contains(image.size(), rva, sizeof(value))) memcpy(image.data() + rva, &value, sizeof(value));
}

PeExport FindPeExportByOrdinal(const PeImageInfo& info, std::span<const uint8_t> image, uint32_t ordinal) {
  ExportDirectory directory;
  if (!ReadExportDirectory(info, image, directory) || ordinal < directory.ordinalBase) return {};
  return ExportAtIndex(info, image, directory, ordinal - directory.ordinalBase);
}

PeExport FindPeExportByName(const PeImageInfo& info, std::span<const uint8_t> image, std::string_view name) {
  ExportDirectory directory;
  if (!ReadExportDirectory(info, image, directory)) return {};
  // A linear scan rather than a binary search: it also finds names in a table that is not
  // sorted, and tables are short.
  for (uint64_t index = 0; index < directory.numberOfNames; index++) {
    uint32_t nameRva;
    uint16_t functionIndex;
    std::string_view candidate;
    if (!ReadAt(image, directory.addressOfNames + index * 4, nameRva) ||
        !ReadAt(image, directory.addressOfNameOrdinals + index * 2, functionIndex)) {
      return {};
    }
    if (ReadString(image, nameRva, candidate) && candidate == name)
      return ExportAtIndex(info, image, directory, functionIndex);
  }
  return {};
}

bool SplitPeForwarder(std::string_view forwarder, std::string& library, std::string& routine, uint16_t& ordinal) {
  // Library names may hold dots of their own; routine names do not.
  size_t dot = forwarder.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == forwarder.size()) return false;
  library = forwarder.substr(0, dot);
  routine = forwarder.substr(dot + 1);
  ordinal = 0;
  if (routine[0] != '#') return true;
  uint32_t value = 0;
  for (char digit : std::string_view(routine).substr(1)) {
    if (digit < '0' || digit > '9') return false;
    value = value * 10 + (digit - '0');
    if (value > 0xFFFF) return false;
  }
  if (routine.size() == 1 || value == 0) return false;
  routine.clear();
  ordinal = static_cast<uint16_t>(value);
  return true;
}

PeError ReadPeTls(const PeImageInfo& info, std::span<const uint8_t> image, uint32_t base, PeTls& tls) {
  tls = PeTls{};
  if (info.tls.rva == 0) return PeError::None;
  TlsDirectory32 directory;
  if (!ReadAt(image, info.tls.rva, directory)) return PeError::Malformed;
  if (directory.addressOfIndex != 0) {
    tls.indexRva = directory.addressOfIndex - base;
    if (!Contains(image.size(), tls.indexRva, 4)) return PeError::Malformed;
  }
  if (directory.addressOfCallBacks == 0) return PeError::None;
  uint32_t arrayRva = directory.addressOfCallBacks - base;
  for (uint64_t index = 0;; index++) {
    uint32_t address;
    if (!ReadAt(image, arrayRva + index * 4, address)) return PeError::Malformed;
    if (address == 0) return PeError::None;
    uint32_t rva = address - base;
    if (rva >= image.size()) return PeError::Malformed;
    tls.callbackRvas.push_back(rva);
  }
}

}  // namespace kwplatform
