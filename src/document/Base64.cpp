#include "document/Base64.h"

#include <array>
#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kNotInAlphabet = 65;

constexpr std::array<std::uint8_t, 256> makeDecodeTable()
{
    std::array<std::uint8_t, 256> table {};
    table.fill(kNotInAlphabet);
    for (std::uint8_t value = 0; value < 64; ++value)
        table[static_cast<unsigned char>(kAlphabet[value])] = value;
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();

std::uint8_t valueOf(char c)
{
    return kDecodeTable[static_cast<unsigned char>(c)];
}

} // namespace

QByteArray Base64::encode(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    QByteArray out((n + 2) / 3 * 4, Qt::Uninitialized);
    char* o = out.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        *o++ = kAlphabet[(v >> 18) & 63];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = kAlphabet[(v >> 6) & 63];
        *o++ = kAlphabet[v & 63];
    }
    if (const qsizetype rest = n - i; rest > 0) {
        const std::uint32_t v = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
        *o++ = kAlphabet[(v >> 18) & 63];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        *o++ = '=';
    }
    return out;
}

void Base64::decodeGroupsInto(QByteArrayView groups, QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + groups.size() / 4 * 3);
    auto* o = reinterpret_cast<unsigned char*>(out.data()) + start;
    const char* in = groups.data();
    for (qsizetype i = 0; i + 4 <= groups.size(); i += 4) {
        const std::uint32_t v
            = (valueOf(in[i]) << 18) | (valueOf(in[i + 1]) << 12) | (valueOf(in[i + 2]) << 6) | valueOf(in[i + 3]);
        *o++ = static_cast<unsigned char>(v >> 16);
        *o++ = static_cast<unsigned char>(v >> 8);
        *o++ = static_cast<unsigned char>(v);
    }
}

std::optional<QByteArray> Base64::decode(QByteArrayView text)
{
    const qsizetype n = text.size();
    if (n % 4 != 0)
        return std::nullopt;
    QByteArray out;
    if (n == 0)
        return out;
    out.reserve(n / 4 * 3);
    // Every group but the last is taken unchecked: a character outside the alphabet gives
    // meaningless bits rather than an error.
    decodeGroupsInto(text.first(n - 4), out);
    // The last group ends at its first character outside the alphabet (normally "=").
    // Fewer than two alphabet characters cannot make a byte and contribute nothing.
    const char* last = text.data() + n - 4;
    int count = 0;
    std::uint32_t v = 0;
    while (count < 4 && valueOf(last[count]) != kNotInAlphabet) {
        v |= std::uint32_t(valueOf(last[count])) << (18 - 6 * count);
        ++count;
    }
    for (int produced = 0; produced < count - 1; ++produced)
        out.append(static_cast<char>(v >> (16 - 8 * produced)));
    return out;
}
