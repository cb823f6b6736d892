// Virtual memory over mmap and mprotect. VirtualAlloc reserves regions and commits pages in
// them; the layer remembers each region's pages and their Win32 protection, so that
// VirtualProtect can return the old protection and VirtualFree can check what it releases.
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fcntl.h>
#include <link.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "platform/win32.h"

namespace {

struct Region {
  size_t size;
  // The Win32 protection of each page; 0 for a page reserved but not committed.
  std::vector<uint8_t> pageProtection;
};

std::mutex regionLock;
std::map<uintptr_t, Region> regions;  // by base address

uintptr_t PageSize() {
  static const uintptr_t size = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  return size;
}

uintptr_t PageFloor(uintptr_t address) { return address & ~(PageSize() - 1); }

// The pages [first, end) that a Win32 range touches; false when it wraps around.
bool PageRange(const void* address, SIZE_T size, uintptr_t& first, uintptr_t& end) {
  uintptr_t start = reinterpret_cast<uintptr_t>(address);
  if (size > UINTPTR_MAX - start - PageSize()) return false;
  first = PageFloor(start);
  end = PageFloor(start + size + PageSize() - 1);
  return true;
}

// The host protection of a Win32 one. Guard and no-cache pages are plain pages here. Any page
// that may run code is also readable: qemu-i386 runs only pages it can read.
bool HostProtection(DWORD protection, int& host) {
  if (protection & ~static_cast<DWORD>(0xFF | PAGE_GUARD | PAGE_NOCACHE)) return false;
  switch (protection & 0xFF) {
    case PAGE_NOACCESS:
      host = PROT_NONE;
      return true;
    case PAGE_READONLY:
      host = PROT_READ;
      return true;
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
      host = PROT_READ | PROT_WRITE;
      return true;
    case PAGE_EXECUTE:
    case PAGE_EXECUTE_READ:
      host = PROT_READ | PROT_EXEC;
      return true;
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
      host = PROT_READ | PROT_WRITE | PROT_EXEC;
      return true;
    default:
      return false;
  }
}

// The Win32 protection of a host segment's flags.
DWORD ProtectionOfSegment(uint32_t flags) {
  bool read = flags & PF_R, write = flags & PF_W;
  if (flags & PF_X) return write ? PAGE_EXECUTE_READWRITE : read ? PAGE_EXECUTE_READ : PAGE_EXECUTE;
  return write ? PAGE_READWRITE : read ? PAGE_READONLY : PAGE_NOACCESS;
}

// Protections that VirtualProtect gave pages outside the regions, by page.
std::map<uintptr_t, uint8_t> foreignPages;

// The protection of a page the layer did not allocate: the last one VirtualProtect gave it,
// or that of the loaded program segment holding it, or read-write (the C library's heap and
// stacks). It must be right for code: a caller restores what it is told, and code pages that
// lose the execute right stop the program. (The host's map of the process is no help: qemu
// shows guest code pages as not executable.)
DWORD ForeignProtection(uintptr_t page) {
  auto known = foreignPages.find(page);
  if (known != foreignPages.end()) return known->second;
  struct Search {
    uintptr_t page;
    DWORD protection = PAGE_READWRITE;
  } search{page};
  dl_iterate_phdr(
      [](dl_phdr_info* object, size_t, void* data) {
        auto* search = static_cast<Search*>(data);
        bool found = false;
        for (int index = 0; index < object->dlpi_phnum; index++) {
          const auto& segment = object->dlpi_phdr[index];
          uintptr_t start = object->dlpi_addr + segment.p_vaddr;
          if (search->page < PageFloor(start) || search->page >= start + segment.p_memsz) continue;
          // Relocated data is made read-only once the program has started, except a last
          // page it shares with writable data.
          if (segment.p_type == PT_GNU_RELRO && search->page + PageSize() <= start + segment.p_memsz) {
            search->protection = PAGE_READONLY;
            return 1;
          }
          if (segment.p_type == PT_LOAD) {
            search->protection = ProtectionOfSegment(segment.p_flags);
            found = true;
          }
        }
        return found ? 1 : 0;
      },
      &search);
  return search.protection;
}

// The region holding the pages [first, end), or regions.end().
std::map<uintptr_t, Region>::iterator RegionOf(uintptr_t first, uintptr_t end) {
  auto region = regions.upper_bound(first);
  if (region == regions.begin()) return regions.end();
  --region;
  if (end > region->first + region->second.size) return regions.end();
  return region;
}

void SetPages(Region& region, uintptr_t base, uintptr_t first, uintptr_t end, uint8_t protection) {
  for (uintptr_t page = first; page < end; page += PageSize())
    region.pageProtection[(page - base) / PageSize()] = protection;
}

LPVOID Reserve(uintptr_t address, SIZE_T size, bool commit, DWORD protection, int hostProtection) {
  uintptr_t first = 0, end = 0;
  if (!PageRange(reinterpret_cast<void*>(address), size, first, end)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int flags = MAP_PRIVATE | MAP_ANONYMOUS | (commit ? 0 : MAP_NORESERVE) | (address ? MAP_FIXED_NOREPLACE : 0);
  void* mapped = mmap(reinterpret_cast<void*>(first), end - first, commit ? hostProtection : PROT_NONE, flags, -1, 0);
  if (mapped == MAP_FAILED) {
    SetLastError(address ? ERROR_INVALID_ADDRESS : ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // A host that does not know MAP_FIXED_NOREPLACE treats the address as a hint.
  if (address && mapped != reinterpret_cast<void*>(first)) {
    munmap(mapped, end - first);
    SetLastError(ERROR_INVALID_ADDRESS);
    return nullptr;
  }
  size_t pages = (end - first) / PageSize();
  regions[reinterpret_cast<uintptr_t>(mapped)] = {end - first,
                                                  std::vector<uint8_t>(pages, commit ? protection & 0xFF : 0)};
  return mapped;
}

}  // namespace

extern "C" {

LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect) {
  int hostProtection = 0;
  bool reserve = flAllocationType & MEM_RESERVE, commit = flAllocationType & MEM_COMMIT;
  if (dwSize == 0 || (!reserve && !commit) || (flAllocationType & ~(MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN)) ||
      !HostProtection(flProtect, hostProtection)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  uintptr_t address = reinterpret_cast<uintptr_t>(lpAddress);
  std::lock_guard<std::mutex> guard(regionLock);
  // Committing with no address reserves as well.
  if (reserve || address == 0) return Reserve(address, dwSize, commit, flProtect, hostProtection);

  uintptr_t first = 0, end = 0;
  auto region = PageRange(lpAddress, dwSize, first, end) ? RegionOf(first, end) : regions.end();
  if (region == regions.end() || mprotect(reinterpret_cast<void*>(first), end - first, hostProtection) != 0) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return nullptr;
  }
  SetPages(region->second, region->first, first, end, flProtect & 0xFF);
  return reinterpret_cast<LPVOID>(first);
}

BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
  uintptr_t address = reinterpret_cast<uintptr_t>(lpAddress);
  std::lock_guard<std::mutex> guard(regionLock);
  if (dwFreeType == MEM_RELEASE) {
    // Only a whole region, named by its base, is released.
    auto region = regions.find(address);
    if (dwSize != 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (region == regions.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    munmap(lpAddress, region->second.size);
    regions.erase(region);
    return TRUE;
  }
  if (dwFreeType != MEM_DECOMMIT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A size of 0 at a region's base decommits the whole region.
  auto whole = regions.find(address);
  SIZE_T size = (dwSize == 0 && whole != regions.end()) ? whole->second.size : dwSize;
  uintptr_t first = 0, end = 0;
  auto region = (size != 0 && PageRange(lpAddress, size, first, end)) ? RegionOf(first, end) : regions.end();
  if (region == regions.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  // Fresh anonymous pages give the memory back and read as zero when committed again.
  mmap(reinterpret_cast<void*>(first), end - first, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE,
       -1, 0);
  SetPages(region->second, region->first, first, end, 0);
  return TRUE;
}

BOOL WINAPI VirtualProtect(LPVOID lpAddress, SIZE_T dwSize, DWORD flNewProtect, PDWORD lpflOldProtect) {
  int hostProtection = 0;
  uintptr_t first = 0, end = 0;
  if (lpflOldProtect == nullptr || dwSize == 0 || !HostProtection(flNewProtect, hostProtection) ||
      !PageRange(lpAddress, dwSize, first, end)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(regionLock);
  auto region = RegionOf(first, end);
  DWORD oldProtection;
  if (region != regions.end()) {
    const std::vector<uint8_t>& pages = region->second.pageProtection;
    size_t firstIndex = (first - region->first) / PageSize(), endIndex = (end - region->first) / PageSize();
    for (size_t index = firstIndex; index < endIndex; index++) {
      if (pages[index] == 0) {
        SetLastError(ERROR_INVALID_ADDRESS);  // reserved, not committed
        return FALSE;
      }
    }
    oldProtection = pages[firstIndex];
  } else {
    oldProtection = ForeignProtection(first);
  }
  if (mprotect(reinterpret_cast<void*>(first), end - first, hostProtection) != 0) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  if (region != regions.end()) {
    SetPages(region->second, region->first, first, end, flNewProtect & 0xFF);
  } else {
    for (uintptr_t page = first; page < end; page += PageSize()) foreignPages[page] = flNewProtect & 0xFF;
  }
  *lpflOldProtect = oldProtection;
  return TRUE;
}

BOOL WINAPI IsBadReadPtr(const VOID* lp, UINT_PTR ucb) {
  if (ucb == 0) return FALSE;
  uintptr_t start = reinterpret_cast<uintptr_t>(lp);
  if (lp == nullptr || ucb - 1 > UINTPTR_MAX - start) return TRUE;
  // The kernel (or qemu, for its guest) copies a byte of each page into a pipe and answers
  // EFAULT for a page that cannot be read, where touching it would fault. Each caller reads
  // back the byte it wrote, so the pipe never fills and callers on several threads can share it.
  static const struct Probe {
    int ends[2] = {-1, -1};
    Probe() {
      if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) ends[0] = ends[1] = -1;
    }
  } probe;
  if (probe.ends[1] < 0) return TRUE;
  uintptr_t last = start + (ucb - 1);
  for (uintptr_t page = PageFloor(start);; page += PageSize()) {
    uintptr_t byte = page < start ? start : page;
    long written;
    do written = syscall(SYS_write, probe.ends[1], reinterpret_cast<const void*>(byte), 1);
    while (written < 0 && errno == EINTR);
    if (written != 1) return TRUE;
    char drained;
    while (read(probe.ends[0], &drained, 1) < 0 && errno == EINTR) {
    }
    if (PageFloor(last) == page) return FALSE;
  }
}

}  // extern "C"
