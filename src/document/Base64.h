#pragma once

#include <QByteArray>

#include <optional>

// Base64 of RFC 4648 section 4 (standard alphabet, "=" padding, no line breaks).
// decode() is deliberately lenient inside the text: only the last group is checked.
class Base64 final
{
public:
    Base64() = delete;

    static QByteArray encode(QByteArrayView bytes);
    // No result when the length is not a multiple of four.
    static std::optional<QByteArray> decode(QByteArrayView text);
    // Appends the bytes of whole groups (a multiple of four characters), none of them the last
    // group of their text: characters outside the alphabet are not checked.
    static void decodeGroupsInto(QByteArrayView groups, QByteArray& out);
};
