// The one application image of the process: its code and data blocks in memory for the life
// of the process, the libraries loaded for it, and the plug-in bindings still to link.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "platform/win32.h"

struct LoadedLibrary {
  LoadedLibrary* next;
  RuntimeString* name;
  HMODULE module;
};

struct PendingPluginBinding {
  PendingPluginBinding* next;
  RuntimeString* name;  // without the leading "!"
  uint32_t chainHead;   // code offset of the first call site
};

struct ApplicationImage {
  uint8_t* codeBase;
  uint32_t codeSize;
  uint8_t* dataBase;
  uint32_t dataSize;
  uint32_t resourceBlockOffset;  // in the engine file; 0 in the development form
  LoadedLibrary* libraries;
  PendingPluginBinding* pendingBindings;  // newest first
};

ApplicationImage& TheApplicationImage();

// Finds, reads and links the image and calls its entry routine. False, after showing the
// message, when loading or linking failed; nothing of the application runs then.
bool LoadApplicationImage();

// The instance handle of the engine, stored by its entry point.
HINSTANCE EngineInstance();

// Loading without running: finds, reads and links the image and checks its entry routine.
// False with the message for the user (one reference) when that fails.
bool ReadAndLinkApplicationImage(RuntimeString** message);

// The project table's address, data word 1 of the linked image.
uint32_t ProjectTableAddress();

// Shows a load failure in a message box with the caption "KW App".
void ShowLoadFailure(const char* message);

// The file holding the project resource block and the absolute offset of resource index
// (from 1). False for an index outside the block, an image without resources, or a file that
// can't be read. The file stays open for the rest of the process.
bool LocateProjectResource(int32_t index, HFILE* file, uint32_t* offset);
