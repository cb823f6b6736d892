// Export tables of the system libraries, generated from the lists of declared functions. The
// ordinal of an export is its position in its table, from 1: the layer's own numbering, since
// Windows' ordinals of system routines change between versions and libraries import them by name.
#include "platform/kernel/system_modules.h"

namespace kwplatform {

namespace {

// Cast through void (*)(), the one function type that stands for any other.
#define KW_EXPORT_ADDRESS(name) reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&name))
#define KW_EXPORT_ENTRY(ret, name, params) {#name, KW_EXPORT_ADDRESS(name)},

const SystemExport kernel32Exports[] = {
    KW_KERNEL32_MEMORY_FUNCTIONS(KW_EXPORT_ENTRY)           //
    KW_KERNEL32_SYNCHRONISATION_FUNCTIONS(KW_EXPORT_ENTRY)  //
    KW_KERNEL32_MODULE_FUNCTIONS(KW_EXPORT_ENTRY)           //
    KW_KERNEL32_RESOURCE_FUNCTIONS(KW_EXPORT_ENTRY)         //
    KW_KERNEL32_FILE_FUNCTIONS(KW_EXPORT_ENTRY)             //
    KW_KERNEL32_STRING_FUNCTIONS(KW_EXPORT_ENTRY)           //
    KW_KERNEL32_TIME_FUNCTIONS(KW_EXPORT_ENTRY)             //
    {"ExitProcess", KW_EXPORT_ADDRESS(ExitProcess)},
};
const SystemExport user32Exports[] = {KW_USER32_FUNCTIONS(KW_EXPORT_ENTRY)};
const SystemExport comctl32Exports[] = {KW_COMCTL32_FUNCTIONS(KW_EXPORT_ENTRY)};
const SystemExport comdlg32Exports[] = {KW_COMDLG32_FUNCTIONS(KW_EXPORT_ENTRY)};
const SystemExport shell32Exports[] = {KW_SHELL32_FUNCTIONS(KW_EXPORT_ENTRY)};
const SystemExport ole32Exports[] = {KW_OLE32_FUNCTIONS(KW_EXPORT_ENTRY)};
const SystemExport gdi32Exports[] = {KW_GDI32_FUNCTIONS(KW_EXPORT_ENTRY)};

#undef KW_EXPORT_ENTRY
#undef KW_EXPORT_ADDRESS

// Libraries without exports yet still load, so that code which only loads them works.
const SystemModule systemModules[] = {
    {"kernel32.dll", kernel32Exports},
    {"user32.dll", user32Exports},
    {"comctl32.dll", comctl32Exports},
    {"gdi32.dll", gdi32Exports},
    {"comdlg32.dll", comdlg32Exports},
    {"shell32.dll", shell32Exports},
    {"ole32.dll", ole32Exports},
    {"winmm.dll", {}},
    {"advapi32.dll", {}},
};

}  // namespace

std::span<const SystemModule> SystemModules() { return systemModules; }

}  // namespace kwplatform
