// Start-up: what RuntimeInit builds from the project table, and the application's globals.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "platform/win32.h"

// What later subsystems add to the start. Every hook may be null.
struct StartupHooks {
  void (*registerWindowClasses)();
  void (*registerBuiltInClasses)();  // the user-interface classes, after the core ones
  void (*loadPlugin)(const char* path);
  void (*readMenuBar)(const uint8_t* bytes, uint32_t length);
  void (*buildPictureImage)(RuntimeObject* picture, const uint8_t* data);
  void (*createMdiFrame)(RuntimeString* caption);
};
StartupHooks& TheStartupHooks();

// A document file type of the settings stream.
struct DocumentFileType {
  DocumentFileType* next;
  RuntimeString* name;
  RuntimeString* macCreator;
  RuntimeString* macType;
  RuntimeString* extensions;
};

struct ApplicationSettings {
  uint8_t paneLayoutFlag = 1;  // 1 until the settings are read
  uint32_t scriptCode = 0;
  int32_t characterSet = 1;    // of every font the engine creates
  DocumentFileType* fileTypes = nullptr;  // in stream order
  bool mdi = false;
  RuntimeString* mdiCaption = nullptr;
  bool menuBarInstalled = false;
};
const ApplicationSettings& TheApplicationSettings();

// The character set that fonts get for a script code of the settings.
int32_t CharacterSetForScriptCode(uint32_t scriptCode);

// Reads the settings stream; false when it is damaged.
bool ReadSettingsStream(const uint8_t* bytes, uint32_t length, ApplicationSettings* settings);

bool InMdiMode();
RuntimeObject* ApplicationObject();

// Raises an event of the application object with no arguments besides the object; the
// handler's result, or 0 when there is none.
int32_t RaiseApplicationEvent(const char* name);

// Calls an event's handler with the object first: the handler's result, 0 without a handler.
int32_t RaiseObjectEvent(RuntimeObject* object, const char* name);
int32_t RaiseObjectEvent(RuntimeObject* object, const char* name, void* argument);

// The project item data of a picture item, for the picture code that completes it.
const uint8_t* ProjectPictureData(int32_t position);

// Ends the start with a message about an invalid image.
[[noreturn]] void StopStartup(RuntimeString* message);

extern "C" {
void RuntimeInit(const uint32_t* projectTable);
void Win32InstallPlugins(const void* list);
RuntimeObject* RuntimeProjectObject(int32_t position);
RuntimeObject* RuntimePictureReference(int32_t position);
RuntimeObject* getAppObject();
}
