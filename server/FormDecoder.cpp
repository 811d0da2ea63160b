#include "FormDecoder.h"

#include <optional>

namespace {

std::optional<int> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

} // namespace

std::string FormDecoder::decodeValue(std::string_view value)
{
    std::string result;
    result.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '+') {
            result += ' ';
        } else if (c == '%' && i + 2 < value.size()) {
            const auto high = hexValue(value[i + 1]);
            const auto low = hexValue(value[i + 2]);
            if (high && low) {
                result += static_cast<char>(*high * 16 + *low);
                i += 2;
            } else {
                result += c;
            }
        } else {
            result += c;
        }
    }
    return result;
}

ProtocolRequest FormDecoder::decode(std::string_view body)
{
    ProtocolRequest request;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view pair = body.substr(start, end - start);
        if (!pair.empty()) {
            const size_t equals = pair.find('=');
            const std::string name = decodeValue(pair.substr(0, equals));
            const std::string value
                = equals == std::string_view::npos ? std::string() : decodeValue(pair.substr(equals + 1));
            request.setField(name, value);
        }
        start = end + 1;
    }
    return request;
}
