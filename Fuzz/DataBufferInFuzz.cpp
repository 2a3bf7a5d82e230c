// DataBufferIn on any bytes: the first bytes choose the buffer size and a sequence of reads, the rest is
// the input. No read may crash, hang or read past the input, and a stopped stream stays stopped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/DataBufferIn.h"
#include "Foundation/String.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    if (size < 9) return 0;
    const std::size_t bufferSize = 1 + data[0] % 32;
    const std::uint8_t* const ops = data + 1;   // eight operation codes, used in turn
    const std::string_view input(reinterpret_cast<const char*>(data + 9), size - 9);

    DataBufferIn in(input, bufferSize);
    std::size_t consumedBytes = 0;
    for (std::size_t step = 0; step < 4 * input.size() + 16 && in.canRead(); ++step) {
        switch (ops[step % 8] % 12) {
            case 0: {
                char c;
                in >> c;
                if (in.canRead()) ++consumedBytes;
                break;
            }
            case 1: {
                char block[13];
                const std::size_t got = in.read(block, sizeof block);
                if (got > sizeof block) std::abort();
                consumedBytes += got;
                break;
            }
            case 2: {
                std::string token;
                in.readToken(token);
                if (token.size() > DataBufferIn::kMaxTokenBytes) std::abort();
                break;
            }
            case 3: {
                std::int32_t v;
                in.readInt32(v);
                break;
            }
            case 4: {
                std::uint32_t v;
                in.readUInt32(v);
                break;
            }
            case 5: {
                std::int64_t v;
                in.readInt64(v);
                break;
            }
            case 6: {
                double v = 0;
                in.readReal(v);
                break;
            }
            case 7: {
                bool v;
                in.readBool(v);
                break;
            }
            case 8: {
                String v;
                in.readString(v);
                break;
            }
            case 9: {
                std::vector<std::int32_t> v;
                in.readList(v);
                break;
            }
            case 10: {
                std::vector<double> v;
                in.readList(v);
                break;
            }
            default: {
                std::vector<String> v;
                in.readList(v);
                break;
            }
        }
        if (consumedBytes > input.size()) std::abort();
    }
    if (!in.canRead()) {   // stopped: nothing more comes out
        char c = 'x';
        char block[4];
        in >> c;
        if (c != 'x' || in.read(block, sizeof block) != 0) std::abort();
    }
    return 0;
}
