// Links relocatable objects into the blocks of an application image.
//
// The code block is every allocated executable section; the data block is an 8-byte header
// (entry routine, project table) followed by every other allocated section and the common
// symbols. Code is position-independent inside its block, so references from code to code are
// resolved here; everything else becomes something the loader finishes: calls to undefined
// symbols become named call chains, data addresses in code become data references, and
// addresses stored in data become data relocations against the code or the data base.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kwlink/elf_object.h"

namespace kwlink {

struct LinkOptions {
  std::string entrySymbol = "kw_main";       // a code symbol; its address is data word 0
  std::string projectSymbol = "kw_project";  // a data symbol or none; its address is data word 1
};

// Every call site of one external name. The sites are the operands of near calls; each holds
// the code offset of the next site, the last holds 0.
struct CallChain {
  std::string name;  // as the loader reads it: a service name, or "!" + kind letter + rest
  uint32_t head = 0;
  bool operator==(const CallChain&) const = default;
};

enum class Base { Code, Data };

// A u32 of the data block to which the loader adds the code or the data base.
struct DataRelocation {
  uint32_t offset = 0;
  Base base = Base::Code;
  bool operator==(const DataRelocation&) const = default;
};

struct LinkedImage {
  std::vector<uint8_t> code;
  std::vector<uint8_t> data;
  std::vector<CallChain> chains;                // ordered by head
  std::vector<uint32_t> dataReferences;         // code offsets of u32 data offsets, ascending
  std::vector<DataRelocation> dataRelocations;  // ascending, not overlapping
};

// The name the loader binds for an undefined symbol: "KW" + letter + "$" + rest becomes
// "!" + letter + rest with every "$" turned into "!"; any other name is a service name. Returns
// an empty string with the reason in why when the name cannot be expressed.
std::string ExternalName(std::string_view symbol, std::string& why);

// Throws LinkError naming the object, section, symbol and offset of what it cannot express.
LinkedImage LinkObjects(const std::vector<ElfObject>& objects, const LinkOptions& options);

}  // namespace kwlink
