// libFuzzer target: reads an object and links it alone, as kwlink does with untrusted files.
#include <cstddef>
#include <cstdint>

#include "tools/kwlink/elf_object.h"
#include "tools/kwlink/image_link.h"
#include "tools/kwlink/image_streams.h"
#include "tools/kwlink/link_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const std::vector<kwlink::ElfObject> objects{kwlink::ReadElfObject("input.o", {data, size})};
    const kwlink::LinkedImage image = kwlink::LinkObjects(objects, {});
    kwlink::EncodeCodeFixups(image.chains, image.dataReferences);
    kwlink::EncodeDataRelocations(image.dataRelocations, static_cast<uint32_t>(image.data.size()));
  } catch (const kwlink::LinkError&) {
  }
  return 0;
}
