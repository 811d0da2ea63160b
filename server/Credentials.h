#pragma once

#include <array>
#include <string>
#include <string_view>

// The one account the server accepts. Only SHA-256 digests are kept, and a login attempt is
// compared over digests of equal length in constant time, so neither the length nor the first
// differing byte of the user name or password shows in the time an answer takes.
class Credentials
{
public:
    Credentials(std::string_view user, std::string_view password);

    bool matches(std::string_view user, std::string_view password) const;

private:
    using Digest = std::array<unsigned char, 32>;
    static Digest digest(std::string_view text);

    Digest m_user;
    Digest m_password;
};
