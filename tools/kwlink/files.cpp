#include "tools/kwlink/files.h"

#include <fstream>
#include <iterator>

#include "tools/kwlink/link_error.h"

namespace kwlink {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw LinkError(path.string() + ": cannot be opened");
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw LinkError(path.string() + ": cannot be read");
  return bytes;
}

void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                    std::filesystem::perms permissions) {
  std::filesystem::path temporary = path;
  temporary += ".kwlink-part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw LinkError(path.string() + ": cannot be written");
    }
  }
  std::error_code error;
  std::filesystem::permissions(temporary, permissions, error);
  if (!error) std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw LinkError(path.string() + ": cannot be written");
  }
}

}  // namespace kwlink
