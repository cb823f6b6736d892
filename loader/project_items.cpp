#include "loader/project_items.h"

#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "loader/application_image.h"
#include "loader/builtin_classes.h"
#include "system/mouse_cursor.h"

namespace {

constexpr int32_t FirstField = sizeof(RuntimeObject);

RuntimeObject** projectObjects;
int32_t projectObjectCount;  // item count + 1
const uint8_t** pictureData;

void SetField(RuntimeObject* object, int32_t offset, uint32_t value) {
  memcpy(reinterpret_cast<char*>(object) + offset, &value, 4);
}

void SetPointerField(RuntimeObject* object, int32_t offset, const void* value) {
  memcpy(reinterpret_cast<char*>(object) + offset, &value, sizeof value);
}

// A new object of an item's class with the item's stored word in its first field.
RuntimeObject* ObjectWithWord(ProjectItemClass which, uint32_t word) {
  RuntimeObject* object = NewInstance(ClassOfProjectItem(which));
  SetField(object, FirstField, word);
  return object;
}

RuntimeObject* CursorFromResource(uint32_t resourceNumber) {
  HFILE file;
  uint32_t offset;
  uint8_t resource[68];
  HCURSOR cursor = nullptr;
  if (LocateProjectResource(static_cast<int32_t>(resourceNumber), &file, &offset) &&
      _llseek(file, static_cast<LONG>(offset), FILE_BEGIN) == static_cast<LONG>(offset) &&
      _lread(file, resource, sizeof resource) == sizeof resource)
    cursor = CreateCursorFromResource(EngineInstance(), resource);
  // A resource that can't be found gives a MouseCursor without a cursor.
  return NewMouseCursor(cursor);
}

RuntimeString* InvalidItem(const char* what, uint32_t position) {
  char text[200];
  snprintf(text, sizeof text,
           "The application could not be loaded because its image is invalid: %s (project item %u).", what,
           static_cast<unsigned>(position + 1));
  return StringFromCString(text);
}

// One item; false with the problem named when it is damaged.
bool ProcessItem(const ImageMemory& image, uint32_t address, uint32_t position, ApplicationSettings* settings,
                 const char** problem) {
  ImageReader item(image, address);
  uint32_t kind, word;
  RuntimeObject* created = nullptr;
  auto failed = [&] {
    *problem = item.Problem() ? item.Problem() : "damaged item";
    return false;
  };
  if (!item.Word(&kind)) return failed();
  switch (kind) {
    case 1: {  // picture: its image is built by the picture code over the data from word 2
      if (!item.Word(&word)) return failed();
      created = ObjectWithWord(ProjectItemClass::Picture, word);
      pictureData[position + 1] = item.DataAt(item.Address());
      if (TheStartupHooks().buildPictureImage) TheStartupHooks().buildPictureImage(created, pictureData[position + 1]);
      break;
    }
    case 2: {  // the menu bar
      uint32_t length;
      if (!item.Word(&length) || !item.InData(item.Address(), length)) return failed();
      if (TheStartupHooks().readMenuBar) TheStartupHooks().readMenuBar(item.DataAt(item.Address()), length);
      settings->menuBarInstalled = true;
      break;
    }
    case 3:
    case 6:
    case 7:
    case 8: {
      if (!item.Word(&word)) return failed();
      ProjectItemClass which = kind == 3   ? ProjectItemClass::Movie
                               : kind == 6 ? ProjectItemClass::Sound
                               : kind == 7 ? ProjectItemClass::Kind7
                                           : ProjectItemClass::Kind8;
      created = ObjectWithWord(which, word);
      break;
    }
    case 4: {  // the settings stream
      uint32_t length;
      if (!item.Word(&word) || !item.Word(&length) || !item.InData(item.Address(), length)) return failed();
      if (!ReadSettingsStream(item.DataAt(item.Address()), length, settings)) {
        *problem = "damaged settings";
        return false;
      }
      break;
    }
    case 5: {  // an instance of a project class, stored in a variable of the data block
      uint32_t classIndex, variable;
      if (!item.Word(&classIndex) || !item.Word(&variable) || !item.InData(variable, 4)) return failed();
      RuntimeObject* instance = RuntimeNewObject(static_cast<int32_t>(classIndex));
      if (instance == nullptr) {
        *problem = "instance of an unknown class";
        return false;
      }
      memcpy(item.DataAt(variable), &instance, 4);
      break;
    }
    case 9: {  // a mouse cursor from the project resources
      if (!item.Word(&word)) return failed();
      created = CursorFromResource(word);
      break;
    }
    case 10: {  // a database reference: engine kind name, reference data and its length
      uint32_t length, referenceLength, referenceData;
      const uint8_t* name;
      if (!item.Word(&length)) return failed();
      if (!item.DataRange(length, &name) || !item.Word(&referenceLength) || !item.Word(&referenceData))
        return failed();
      created = NewInstance(ClassOfProjectItem(ProjectItemClass::Database));
      RuntimeString* kindName = StringFromBytes(name, static_cast<int32_t>(length));
      SetPointerField(created, FirstField + 8, kindName);
      SetField(created, FirstField + 12, referenceData);
      SetField(created, FirstField + 16, referenceLength);
      break;
    }
    default:
      *problem = "unknown item kind";
      return false;
  }
  if (created) projectObjects[position + 1] = created;
  return true;
}

}  // namespace

bool ProcessProjectItems(const ImageMemory& image, uint32_t address, ApplicationSettings* settings,
                         RuntimeString** message) {
  ImageReader table(image, address);
  uint32_t count;
  if (!table.Count(1, &count)) {
    *message = InvalidItem("damaged item table", 0);
    return false;
  }
  projectObjectCount = static_cast<int32_t>(count) + 1;
  projectObjects = static_cast<RuntimeObject**>(PlatformAlloc(projectObjectCount * sizeof(RuntimeObject*)));
  pictureData = static_cast<const uint8_t**>(PlatformAlloc(projectObjectCount * sizeof(uint8_t*)));
  memset(projectObjects, 0, projectObjectCount * sizeof(RuntimeObject*));
  memset(pictureData, 0, projectObjectCount * sizeof(uint8_t*));
  for (uint32_t position = 0; position < count; position++) {
    uint32_t itemAddress;
    table.Word(&itemAddress);
    if (itemAddress == 0) continue;  // a null item is skipped
    const char* problem = nullptr;
    if (!ProcessItem(image, itemAddress, position, settings, &problem)) {
      *message = InvalidItem(problem, position);
      return false;
    }
  }
  return true;
}

const uint8_t* ProjectPictureData(int32_t position) {
  return position > 0 && position < projectObjectCount ? pictureData[position] : nullptr;
}

extern "C" {

RuntimeObject* RuntimeProjectObject(int32_t position) {
  if (position <= 0 || position >= projectObjectCount) return nullptr;
  RuntimeLockObject(projectObjects[position]);
  return projectObjects[position];
}

RuntimeObject* RuntimePictureReference(int32_t position) { return RuntimeProjectObject(position); }

}  // extern "C"
