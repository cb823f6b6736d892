// The code fixup stream: records that link chains of call sites to services, library routines
// and (later) plug-in members, and add the data base to data references in code.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "loader/application_image.h"

// Links every site of a chain (operands of near calls holding the offset of the next site, 0
// ending the chain) to the target. False when a site lies outside the code, does not follow a
// call opcode, or the chain does not end.
bool LinkCallChain(ApplicationImage& image, uint32_t head, uint32_t target);

// How library routines are found; the loader uses LoadLibraryA and GetProcAddress.
struct LibraryResolver {
  HMODULE (*load)(const char* name);
  void* (*find)(HMODULE module, const char* routine);
};
const LibraryResolver& SystemLibraryResolver();

// Walks the stream over the image's code block. On failure the message out holds the text
// (one reference for the caller) and linking stopped at the failing record.
bool ApplyCodeFixups(ApplicationImage& image, const uint8_t* stream, uint32_t length, RuntimeString** message,
                     const LibraryResolver& libraries = SystemLibraryResolver());
