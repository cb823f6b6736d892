// Whole-file reads and writes with kwlink's errors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kwlink {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes through a temporary file beside path that is renamed over it at the end, so a failure
// never leaves a partial file; the file gets the given permissions.
void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                    std::filesystem::perms permissions = std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_write |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);

}  // namespace kwlink
