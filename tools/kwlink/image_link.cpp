#include "tools/kwlink/image_link.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <tuple>

#include "tools/kwlink/byte_order.h"
#include "tools/kwlink/link_error.h"

namespace kwlink {
namespace {

constexpr uint32_t DataHeaderSize = 8;
constexpr uint32_t MaximumAlignment = 16;
constexpr uint64_t MaximumBlockSize = uint64_t{256} << 20;
constexpr uint8_t CodePadding = 0xCC;  // int3: a stray jump into padding traps
constexpr uint8_t NearCallOpcode = 0xE8;
constexpr uint32_t NearCallAddend = static_cast<uint32_t>(-4);
constexpr size_t MaximumNameLength = 255;

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%x", value);
  return text;
}

bool IsDropped(const ElfSection& section) {
  return !(section.flags & elf::FlagAllocated) || section.name == ".eh_frame" || section.name == ".comment" ||
         section.name.starts_with(".note");
}

struct Placement {
  bool kept = false;
  Base block = Base::Code;
  uint32_t offset = 0;
};

// What a relocation's symbol stands for.
struct Target {
  enum Kind { Code, Data, Absolute, Undefined, Discarded } kind = Undefined;
  uint32_t value = 0;  // block offset, or the value of an absolute symbol
  std::string name;    // the symbol's name, or its section's for a section symbol
};

struct SymbolReference {
  size_t object = 0;
  uint32_t symbol = 0;
};

struct CommonSymbol {
  uint32_t size = 0;
  uint32_t alignment = 1;
  std::string path;
  uint32_t offset = 0;
};

// A relocated field, kept to find fields that overlap.
struct Field {
  Base block;
  uint32_t offset;
  std::string where;
};

class Linker {
 public:
  Linker(const std::vector<ElfObject>& objects, const LinkOptions& options) : objects_(objects), options_(options) {}

  LinkedImage Link() {
    image_.data.resize(DataHeaderSize);
    PlaceSections();
    CollectGlobals();
    PlaceCommons();
    for (size_t object = 0; object < objects_.size(); object++) ApplyRelocations(object);
    WriteHeader();
    CheckFieldsDoNotOverlap();
    BuildChains();
    std::sort(image_.dataReferences.begin(), image_.dataReferences.end());
    std::sort(image_.dataRelocations.begin(), image_.dataRelocations.end(),
              [](const DataRelocation& a, const DataRelocation& b) { return a.offset < b.offset; });
    return std::move(image_);
  }

 private:
  std::vector<uint8_t>& BlockOf(Base base) { return base == Base::Code ? image_.code : image_.data; }

  // Appends bytes (or size zero bytes when bytes is empty) to a block at the alignment.
  uint32_t Append(Base base, uint32_t alignment, uint32_t size, const std::vector<uint8_t>& bytes,
                  const std::string& what) {
    alignment = std::max(alignment, 1u);
    if (alignment > MaximumAlignment || (alignment & (alignment - 1)))
      throw LinkError(what + ": alignment " + std::to_string(alignment) + " is not a power of two up to 16");
    std::vector<uint8_t>& block = BlockOf(base);
    const uint64_t offset = (uint64_t{block.size()} + alignment - 1) / alignment * alignment;
    if (offset + size > MaximumBlockSize) throw LinkError(what + ": the block would exceed 256 MiB");
    block.resize(offset, base == Base::Code ? CodePadding : 0);
    if (bytes.empty())
      block.resize(offset + size, 0);
    else
      block.insert(block.end(), bytes.begin(), bytes.end());
    return static_cast<uint32_t>(offset);
  }

  void PlaceSections() {
    placements_.resize(objects_.size());
    for (size_t index = 0; index < objects_.size(); index++) {
      const ElfObject& object = objects_[index];
      placements_[index].resize(object.sections.size());
      for (size_t number = 1; number < object.sections.size(); number++) {
        const ElfSection& section = object.sections[number];
        if (IsDropped(section)) continue;
        const std::string what = object.path + ": section " + section.name;
        if (section.type != elf::SectionProgramBits && section.type != elf::SectionNoBits)
          throw LinkError(what + ": allocated section of unsupported type " + std::to_string(section.type));
        if (section.flags & elf::FlagThreadLocal) throw LinkError(what + ": thread-local data is not supported");
        const Base base = section.flags & elf::FlagExecutable ? Base::Code : Base::Data;
        placements_[index][number] = {true, base,
                                      Append(base, section.alignment, section.size, section.contents, what)};
      }
    }
  }

  void CollectGlobals() {
    for (size_t index = 0; index < objects_.size(); index++) {
      const ElfObject& object = objects_[index];
      for (uint32_t number = 1; number < object.symbols.size(); number++) {
        const ElfSymbol& symbol = object.symbols[number];
        if (symbol.binding == elf::BindingLocal || symbol.name.empty() || symbol.section == elf::UndefinedSection)
          continue;
        if (symbol.section == elf::CommonSection) {
          CommonSymbol& common = commons_[symbol.name];
          common.size = std::max(common.size, symbol.size);
          common.alignment = std::max(common.alignment, symbol.value);
          common.path = object.path;
          continue;
        }
        auto [found, added] = definitions_.try_emplace(symbol.name, SymbolReference{index, number});
        if (added) continue;
        const ElfSymbol& earlier = objects_[found->second.object].symbols[found->second.symbol];
        if (earlier.binding == elf::BindingWeak)
          found->second = {index, number};
        else if (symbol.binding != elf::BindingWeak)
          throw LinkError(object.path + ": symbol " + symbol.name + " is also defined in " +
                          objects_[found->second.object].path);
      }
    }
  }

  // Common symbols that no object defines get zeros at the end of the data block.
  void PlaceCommons() {
    for (auto& [name, common] : commons_)
      if (!definitions_.contains(name))
        common.offset = Append(Base::Data, common.alignment, common.size, {}, common.path + ": common symbol " + name);
  }

  Target Resolve(size_t objectIndex, uint32_t symbolIndex) {
    const ElfSymbol& symbol = objects_[objectIndex].symbols[symbolIndex];
    if (symbol.binding != elf::BindingLocal && !symbol.name.empty()) {
      if (auto found = definitions_.find(symbol.name); found != definitions_.end())
        return Define(found->second.object, objects_[found->second.object].symbols[found->second.symbol]);
      if (auto found = commons_.find(symbol.name); found != commons_.end())
        return {Target::Data, found->second.offset, symbol.name};
      return {Target::Undefined, 0, symbol.name};
    }
    return Define(objectIndex, symbol);
  }

  Target Define(size_t objectIndex, const ElfSymbol& symbol) {
    const ElfObject& object = objects_[objectIndex];
    if (symbol.section == elf::AbsoluteSection) return {Target::Absolute, symbol.value, symbol.name};
    if (symbol.section == elf::UndefinedSection || symbol.section == elf::CommonSection)
      return {Target::Undefined, 0, symbol.name};
    const ElfSection& section = object.sections[symbol.section];
    const std::string name = symbol.type == elf::TypeSection ? section.name : symbol.name;
    const Placement& placement = placements_[objectIndex][symbol.section];
    if (!placement.kept) return {Target::Discarded, 0, name};
    if (symbol.value > section.size)
      throw LinkError(object.path + ": symbol " + name + " lies beyond the end of section " + section.name);
    return {placement.block == Base::Code ? Target::Code : Target::Data, placement.offset + symbol.value, name};
  }

  void ApplyRelocations(size_t objectIndex) {
    const ElfObject& object = objects_[objectIndex];
    for (const ElfRelocationSection& relocations : object.relocationSections) {
      const Placement& placement = placements_[objectIndex][relocations.target];
      if (!placement.kept) continue;
      for (const ElfRelocation& relocation : relocations.relocations)
        Apply(objectIndex, relocations.target, placement, relocation);
    }
  }

  void Apply(size_t objectIndex, uint32_t sectionIndex, const Placement& placement, const ElfRelocation& relocation) {
    if (relocation.type == elf::RelocationNone) return;
    const ElfObject& object = objects_[objectIndex];
    const ElfSection& section = object.sections[sectionIndex];
    const Target target = Resolve(objectIndex, relocation.symbol);
    const std::string where = object.path + ": section " + section.name + ", offset " + Hex(relocation.offset) +
                              ", symbol " + (target.name.empty() ? "(none)" : target.name);
    auto fail = [&](const std::string& what) { throw LinkError(where + ": " + what); };

    const bool pcRelative = relocation.type == elf::RelocationPcRelative32 || relocation.type == elf::RelocationPlt32;
    if (!pcRelative && relocation.type != elf::RelocationAbsolute32)
      fail("unsupported relocation type " + std::to_string(relocation.type));
    if (section.contents.empty()) fail("relocation in a section without contents");
    if (section.size < 4 || relocation.offset > section.size - 4) fail("relocation field lies outside its section");
    if (target.kind == Target::Discarded) fail("refers to a section that is not part of the image");
    if (target.kind == Target::Undefined && target.name.empty()) fail("relocation without a symbol");

    std::vector<uint8_t>& block = BlockOf(placement.block);
    const uint32_t at = placement.offset + relocation.offset;
    const uint32_t addend = ReadU32(block, at);
    fields_.push_back({placement.block, at, where});

    if (placement.block == Base::Data) {
      if (pcRelative) fail("PC-relative relocation in data");
      if (target.kind == Target::Undefined) fail("data refers to an undefined symbol");
      WriteU32(block, at, target.value + addend);
      if (target.kind != Target::Absolute)
        image_.dataRelocations.push_back({at, target.kind == Target::Code ? Base::Code : Base::Data});
      return;
    }
    if (pcRelative) {
      if (target.kind == Target::Data) fail("PC-relative reference to data (code and data are loaded apart)");
      if (target.kind == Target::Absolute) fail("PC-relative reference to an absolute symbol");
      if (target.kind == Target::Code) {
        WriteU32(block, at, target.value + addend - at);
        return;
      }
      if (relocation.offset < 1 || section.contents[relocation.offset - 1] != NearCallOpcode)
        fail("an undefined symbol can only be called by a near call (E8)");
      if (addend != NearCallAddend) fail("call operand has addend " + Hex(addend) + " instead of -4");
      std::string why;
      const std::string name = ExternalName(target.name, why);
      if (name.empty()) fail(why);
      callSites_[name].push_back(at);
      return;
    }
    if (target.kind == Target::Code) fail("absolute code address inside code (only data addresses are relocated)");
    if (target.kind == Target::Undefined) fail("address of an undefined symbol (only calls are linked by name)");
    WriteU32(block, at, target.value + addend);
    if (target.kind == Target::Data) image_.dataReferences.push_back(at);
  }

  void WriteHeader() {
    const Target entry = Lookup(options_.entrySymbol);
    if (entry.kind == Target::Undefined)
      throw LinkError("entry routine " + options_.entrySymbol + " is not defined by any object");
    if (entry.kind != Target::Code) throw LinkError("entry routine " + options_.entrySymbol + " is not code");
    WriteU32(image_.data, 0, entry.value);
    image_.dataRelocations.push_back({0, Base::Code});

    const Target project = Lookup(options_.projectSymbol);
    if (project.kind == Target::Undefined) return;  // no project table: word 1 stays 0
    if (project.kind != Target::Data) throw LinkError("project table " + options_.projectSymbol + " is not data");
    WriteU32(image_.data, 4, project.value);
    image_.dataRelocations.push_back({4, Base::Data});
  }

  Target Lookup(const std::string& name) {
    if (auto found = definitions_.find(name); found != definitions_.end()) {
      Target target = Resolve(found->second.object, found->second.symbol);
      if (target.kind == Target::Discarded)
        throw LinkError(name + " is defined in a section that is not part of the image");
      return target;
    }
    if (auto found = commons_.find(name); found != commons_.end()) return {Target::Data, found->second.offset, name};
    return {Target::Undefined, 0, name};
  }

  void CheckFieldsDoNotOverlap() {
    std::sort(fields_.begin(), fields_.end(),
              [](const Field& a, const Field& b) { return std::tie(a.block, a.offset) < std::tie(b.block, b.offset); });
    for (size_t i = 1; i < fields_.size(); i++)
      if (fields_[i].block == fields_[i - 1].block && fields_[i].offset < fields_[i - 1].offset + 4)
        throw LinkError(fields_[i].where + ": relocation overlaps the one of " + fields_[i - 1].where);
  }

  // Each site's operand gets the offset of the next site of its name; the last gets 0.
  void BuildChains() {
    for (auto& [name, sites] : callSites_) {
      std::sort(sites.begin(), sites.end());
      for (size_t i = 0; i < sites.size(); i++)
        WriteU32(image_.code, sites[i], i + 1 < sites.size() ? sites[i + 1] : 0);
      image_.chains.push_back({name, sites.front()});
    }
    std::sort(image_.chains.begin(), image_.chains.end(),
              [](const CallChain& a, const CallChain& b) { return a.head < b.head; });
  }

  const std::vector<ElfObject>& objects_;
  const LinkOptions& options_;
  LinkedImage image_;
  std::vector<std::vector<Placement>> placements_;  // by object, by section
  std::map<std::string, SymbolReference> definitions_;
  std::map<std::string, CommonSymbol> commons_;
  std::map<std::string, std::vector<uint32_t>> callSites_;
  std::vector<Field> fields_;
};

}  // namespace

std::string ExternalName(std::string_view symbol, std::string& why) {
  std::string name;
  if (symbol.size() >= 4 && symbol.starts_with("KW") && isalpha(static_cast<unsigned char>(symbol[2])) &&
      symbol[3] == '$') {
    name = std::string("!") + symbol[2];
    for (char c : symbol.substr(4)) name += c == '$' ? '!' : c;
    if (symbol[2] == 'X' && name.find('!', 2) == std::string::npos)
      why = "a library routine is named KWX$library$routine";
  } else {
    name = symbol;
    if (name.starts_with('!')) why = "a service name cannot begin with \"!\"";
  }
  if (name.size() > MaximumNameLength) why = "the name is longer than 255 bytes";
  return why.empty() ? name : std::string();
}

LinkedImage LinkObjects(const std::vector<ElfObject>& objects, const LinkOptions& options) {
  return Linker(objects, options).Link();
}

}  // namespace kwlink
