#include "loader/plugin_bindings.h"

#include <cstring>

#include "core/class_registry.h"
#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "loader/application_image.h"
#include "loader/code_fixups.h"

namespace {

void* FindMemberEntry(const ClassRecord* classRecord, const PluginBindingName& binding) {
  if (classRecord == nullptr) return nullptr;
  if (binding.kind == 'M' || binding.kind == 'W') {
    for (const MethodNode* method = classRecord->methods; method; method = method->next)
      if (StringEqualsFolded(method->name, binding.member))
        return binding.kind == 'M' ? method->definition.entry : method->secondEntry;
  } else if (binding.kind == 'G' || binding.kind == 'S') {
    for (const PropertyNode* property = classRecord->properties; property; property = property->next)
      if (StringEqualsFolded(property->name, binding.member))
        return binding.kind == 'G' ? property->getter : property->setter;
  }
  return nullptr;
}

}  // namespace

PluginBindingName SplitPluginBindingName(const RuntimeString* name) {
  PluginBindingName split{0, nullptr, nullptr};
  int32_t length = StringLength(name);
  if (length == 0) return split;
  const char* text = StringCText(name);
  split.kind = text[0];
  const char* rest = text + 1;
  int32_t restLength = length - 1;
  const char* separator = static_cast<const char*>(memchr(rest, '!', static_cast<size_t>(restLength)));
  if (separator == nullptr) {
    split.member = StringFromBytes(rest, restLength);
  } else {
    // A "!" right after the kind letter names no class: what follows it is the member.
    if (separator > rest) split.className = StringFromBytes(rest, static_cast<int32_t>(separator - rest));
    split.member = StringFromBytes(separator + 1, static_cast<int32_t>(rest + restLength - separator - 1));
  }
  return split;
}

bool ResolvePluginBindings(RuntimeString** message) {
  ApplicationImage& image = TheApplicationImage();
  *message = nullptr;
  while (PendingPluginBinding* binding = image.pendingBindings) {
    image.pendingBindings = binding->next;
    PluginBindingName split = SplitPluginBindingName(binding->name);
    // Plug-in classes, controls and global methods join these lookups when plug-ins are loaded.
    const ClassRecord* classRecord = split.className ? FindClassByName(split.className) : nullptr;
    void* entry = FindMemberEntry(classRecord, split);
    if (entry == nullptr)
      *message = StringJoin({"The application could not be loaded because the plug-in member ",
                             StringCText(binding->name), " could not be found."});
    else if (!LinkCallChain(image, binding->chainHead, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry))))
      *message = StringJoin({"The application could not be loaded because its image is damaged (plug-in binding ",
                             StringCText(binding->name), ")."});
    StringRelease(split.className);
    StringRelease(split.member);
    StringRelease(binding->name);
    SmallFree(binding, sizeof(PendingPluginBinding));
    if (*message) return false;
  }
  return true;
}
