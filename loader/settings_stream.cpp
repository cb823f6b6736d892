// The settings stream of the project: pane layout flag, script code, document file types, MDI.
#include "core/memory_manager.h"
#include "core/packed_encoding.h"
#include "core/runtime_string.h"
#include "loader/startup.h"

int32_t CharacterSetForScriptCode(uint32_t scriptCode) {
  switch (scriptCode) {
    case 12: return 177;
    case 13: return 128;
    case 14: return 178;
    case 16: return 161;
    case 19: return 162;
    case 21: return 136;
    case 24: return 222;
    case 34: return 204;
    default: return 1;
  }
}

bool ReadSettingsStream(const uint8_t* bytes, uint32_t length, ApplicationSettings* settings) {
  PackedReader reader(bytes, length);
  uint32_t reserved;
  int32_t count;
  reader.Byte(&settings->paneLayoutFlag);
  reader.BigEndian32(&reserved);
  reader.BigEndian32(&settings->scriptCode);
  settings->characterSet = CharacterSetForScriptCode(settings->scriptCode);
  if (!reader.Integer(&count)) return false;
  DocumentFileType** tail = &settings->fileTypes;
  while (*tail) tail = &(*tail)->next;
  for (int32_t index = 0; index < count && !reader.Failed(); index++) {
    auto* type = static_cast<DocumentFileType*>(SmallAlloc(sizeof(DocumentFileType)));
    *type = {nullptr, nullptr, nullptr, nullptr, nullptr};
    reader.String(&type->name);
    reader.String(&type->macCreator);
    reader.String(&type->macType);
    reader.String(&type->extensions);
    *tail = type;
    tail = &type->next;
  }
  if (!reader.Integer(&count)) return false;
  for (int32_t index = 0; index < count && !reader.Failed(); index++) {
    RuntimeString* unused = nullptr;
    reader.String(&unused);
    StringRelease(unused);
  }
  uint8_t mdi = 0;
  reader.Byte(&mdi);
  settings->mdi = mdi != 0;
  StringRelease(settings->mdiCaption);
  reader.String(&settings->mdiCaption);
  return !reader.Failed();
}
