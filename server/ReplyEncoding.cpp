#include "ReplyEncoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include <iconv.h>

namespace {

// Decodes one UTF-8 sequence at text[pos]; rejects overlong forms, surrogates and values past
// U+10FFFF. Returns the code point and advances pos, or nothing.
std::optional<char32_t> nextCodePoint(std::string_view text, size_t& pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (pos + length > text.size())
        return std::nullopt;
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    pos += length;
    return value;
}

bool containsIgnoringCase(std::string_view text, std::string_view needle)
{
    const auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return found != text.end();
}

// Converts a non-ASCII character with iconv. A result that starts with an ASCII byte (the yen sign
// and the overline map onto backslash and tilde in the Japanese sets) would be read back as that
// ASCII character, so it counts as not representable.
std::optional<std::string> convertCharacter(iconv_t converter, std::string_view utf8Character)
{
    std::array<char, 16> output {};
    char* in = const_cast<char*>(utf8Character.data());
    size_t inLeft = utf8Character.size();
    char* out = output.data();
    size_t outLeft = output.size();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    if (iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    std::string result(output.data(), out - output.data());
    if (result.empty() || static_cast<unsigned char>(result.front()) < 0x80)
        return std::nullopt;
    return result;
}

class Converter
{
public:
    explicit Converter(const char* charset)
        : m_handle(iconv_open(charset, "UTF-8"))
    { }
    ~Converter()
    {
        if (isValid())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool isValid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

} // namespace

ReplyEncoding::ReplyEncoding(Charset charset)
    : m_charset(charset)
{ }

std::optional<ReplyEncoding::Charset> ReplyEncoding::charsetFromName(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "utf-8")
        return Charset::Utf8;
    if (lower == "shift_jis")
        return Charset::ShiftJis;
    if (lower == "euc-jp")
        return Charset::EucJp;
    return std::nullopt;
}

std::string ReplyEncoding::contentType() const
{
    switch (m_charset) {
    case Charset::ShiftJis:
        return "text/html; charset=shift_jis";
    case Charset::EucJp:
        return "text/html; charset=euc-jp";
    case Charset::Utf8:
        break;
    }
    return "text/html; charset=utf-8";
}

bool ReplyEncoding::canCarry(std::string_view utf8) const
{
    if (utf8.find_first_of("\r\n") != std::string_view::npos || utf8.find("\">") != std::string_view::npos)
        return false;
    for (const std::string_view closing : { "</path>", "</list>", "</current_dir>" }) {
        if (containsIgnoringCase(utf8, closing))
            return false;
    }
    return encode(utf8).has_value();
}

std::optional<std::string> ReplyEncoding::encode(std::string_view utf8) const
{
    size_t pos = 0;
    while (pos < utf8.size()) {
        if (!nextCodePoint(utf8, pos))
            return std::nullopt;
    }
    const bool ascii
        = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (m_charset == Charset::Utf8 || ascii)
        return std::string(utf8);

    const Converter converter(m_charset == Charset::ShiftJis ? "SHIFT_JIS" : "EUC-JP");
    if (!converter.isValid())
        return std::nullopt;
    std::string result;
    result.reserve(utf8.size());
    pos = 0;
    while (pos < utf8.size()) {
        const size_t start = pos;
        const char32_t codePoint = *nextCodePoint(utf8, pos);
        const std::string_view character = utf8.substr(start, pos - start);
        if (codePoint < 0x80) {
            result += character;
            continue;
        }
        const auto converted = convertCharacter(converter.handle(), character);
        if (!converted)
            return std::nullopt;
        result += *converted;
    }
    return result;
}
