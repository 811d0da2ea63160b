#pragma once

#include <optional>
#include <string>
#include <string_view>

// The character set of the replies and the test of whether a text can travel in one. The client
// finds a reply's items by searching for tag strings and takes values verbatim, so a text that
// holds a line break, '">' or the closing tag of a path, list or current-directory item would
// cut or shift what it reads; such texts, invalid UTF-8 and characters the character set lacks
// are refused.
class ReplyEncoding
{
public:
    enum class Charset { Utf8, ShiftJis, EucJp };

    explicit ReplyEncoding(Charset charset);

    // Accepts the option spellings "utf-8", "shift_jis" and "euc-jp" (any letter case).
    static std::optional<Charset> charsetFromName(std::string_view name);

    Charset charset() const { return m_charset; }
    // The Content-Type of every reply, "text/html; charset=..." with the lower-case name.
    std::string contentType() const;

    bool canCarry(std::string_view utf8) const;
    // Converts UTF-8 text that canCarry() accepted; other text gives nothing.
    std::optional<std::string> encode(std::string_view utf8) const;

private:
    Charset m_charset;
};
