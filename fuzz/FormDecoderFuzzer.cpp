// Form bodies sent to the server: decoding never crashes, every "%XX" becomes its byte, and a value
// escaped the way the client escapes it decodes back to itself.

#include "FuzzCheck.h"

#include "FormDecoder.h"

#include <cstdint>
#include <string>

namespace {

std::string escaped(std::string_view value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte)) {
            result += c;
        } else {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 15];
        }
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const ProtocolRequest request = FormDecoder::decode(body);
    for (const auto* field :
         { &request.user, &request.password, &request.dir, &request.cmd, &request.param0, &request.param1 }) {
        if (*field)
            FUZZ_CHECK(field->value().size() <= size);
    }
    FUZZ_CHECK(FormDecoder::decodeValue(body).size() <= size);
    FUZZ_CHECK(FormDecoder::decodeValue(escaped(body)) == body);

    const ProtocolRequest named = FormDecoder::decode("user=" + escaped(body) + "&cmd=LIST&user=other");
    FUZZ_CHECK(named.user == std::string(body));
    FUZZ_CHECK(named.cmd == std::string("LIST"));
    return 0;
}
