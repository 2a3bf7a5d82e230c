// Guid text on any bytes: whatever reads as a GUID writes a text that reads back to the same GUID.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    const String text(std::string_view(reinterpret_cast<const char*>(data), size));
    Guid guid;
    if (!guid.fromString(text)) {
        if (guid.isValid()) std::abort();   // a refused text leaves the null Guid
        return 0;
    }
    const String written = guid.toString();
    Guid back;
    if (!back.fromString(written) || back != guid) std::abort();
    if (Guid(written) != guid || back.toString() != written) std::abort();
    return 0;
}
