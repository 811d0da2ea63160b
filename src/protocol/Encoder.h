#pragma once

#include <QString>

// Escaping of form values for the wire and of the four XML special characters for documents.
class Encoder final
{
public:
    Encoder() = delete;

    // The reserved characters of RFC 3986 that a form value must not carry unescaped.
    static constexpr char kReservedCharacters[] = "#[]!$&'()*+,;:/?@=";
    // Those and "%" itself: a "%" sent as it is would be read back as the start of an escape by
    // every form decoder, so a name such as "a%41" would reach the server as "aA".
    static constexpr char kFormValueEscapes[] = "#[]!$&'()*+,;:/?@=%";

    // One form value: the reserved characters, "%" and every non-ASCII byte as "%XX".
    static QString encodeHttpString(const QString& text);
    // Percent-escapes the ASCII bytes listed in `those` and every byte of a multi-byte UTF-8
    // sequence; FULLWIDTH TILDE and FULLWIDTH HYPHEN-MINUS are first replaced by WAVE DASH and
    // KATAKANA-HIRAGANA PROLONGED SOUND MARK, the characters Japanese servers expect.
    static QString utf8PercentEscaping(const QString& text, const char* those);
    static QString encodeXmlString(const QString& text);
    static QString decodeXmlString(const QString& text);
};
