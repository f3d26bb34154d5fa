// The wire reader on any bytes: requests, answers, packets and single values. A decoder may refuse
// (WireError) but never crash, hang or leak; what it accepts encodes again and decodes to the same value.

#include "platform/net/wire.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the decoder, the rest is the text.
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    using namespace ctb::wire;
    try {
        switch (data[0] % 4) {
            case 0: {
                const std::vector<Value> args = decodeRequest(text);
                if (decodeRequest(encodeRequest(args)) != args)
                    std::abort();
                break;
            }
            case 1:
                (void)decodeAnswer(text);
                break;
            case 2: {
                const ctb::DataPacket p = decodePacket(text);
                (void)decodePacket(encodePacket(p));
                break;
            }
            default: {
                const Value v = decodeValue(text);
                if (!(decodeValue(encodeValue(v)) == v))
                    std::abort();
            }
        }
    } catch (const WireError&) {
    }
    return 0;
}
