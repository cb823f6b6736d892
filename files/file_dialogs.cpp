#include "files/file_dialogs.h"

#include <cstring>

#include "core/runtime_string.h"
#include "files/folder_item.h"
#include "loader/startup.h"
#include "platform/win32.h"

namespace {

std::string Text(const RuntimeString* s) { return std::string(StringCText(s), static_cast<size_t>(StringLength(s))); }

RuntimeObject* Ask(RuntimeString* typeNames, bool save) {
  DialogFilter filter = BuildDialogFilter(TheApplicationSettings().fileTypes, Text(typeNames));
  char file[256] = {};
  OPENFILENAMEA dialog;
  memset(&dialog, 0, sizeof dialog);
  dialog.lStructSize = sizeof dialog;
  // The engine has no owner window for its dialogs yet; they are owned by the desktop.
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = filter.filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  if (save) {
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!filter.defaultExtension.empty()) dialog.lpstrDefExt = filter.defaultExtension.c_str();
  } else {
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  }
  BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  return chosen ? NewFolderItem(file) : nullptr;
}

}  // namespace

DialogFilter BuildDialogFilter(const DocumentFileType* types, const std::string& names) {
  DialogFilter result;
  for (size_t start = 0; start <= names.size();) {
    size_t end = names.find(';', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    start = end + 1;
    std::string pattern;
    for (const DocumentFileType* type = types; type; type = type->next) {
      if (lstrcmpiA(Text(type->name).c_str(), name.c_str()) != 0) continue;
      std::string extensions = Text(type->extensions);
      if (extensions.empty()) {
        if (pattern.empty()) pattern = "*.*";
        continue;
      }
      bool defaultTaken = false;
      for (size_t from = 0; from <= extensions.size();) {
        size_t to = extensions.find(';', from);
        if (to == std::string::npos) to = extensions.size();
        std::string extension = extensions.substr(from, to - from);
        from = to + 1;
        if (extension.empty()) continue;
        pattern += (pattern.empty() ? "*" : ";*") + extension;
        // The type's first extension with a dot is the default; a later type's replaces it.
        if (!defaultTaken && extension[0] == '.') {
          result.defaultExtension = extension.substr(1);
          defaultTaken = true;
        }
      }
    }
    result.filter += name;
    result.filter += '\0';
    result.filter += pattern;
    result.filter += '\0';
  }
  result.filter += std::string(2, '\0');
  return result;
}

extern "C" {

RuntimeObject* RuntimeGetOpenFolderItem(RuntimeString* typeNames) { return Ask(typeNames, false); }

RuntimeObject* RuntimeGetSaveFolderItem(RuntimeString* typeNames) { return Ask(typeNames, true); }

}  // extern "C"
