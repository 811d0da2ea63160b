#pragma once

#include "ProtocolRequest.h"

#include <string>
#include <string_view>

// Reads an application/x-www-form-urlencoded body. "%" followed by two hexadecimal digits is the
// byte of that value and "+" is a space; any other "%" stays as it is, so a name holding a
// plain "%" that a client did not escape arrives unchanged.
class FormDecoder
{
public:
    static ProtocolRequest decode(std::string_view body);
    static std::string decodeValue(std::string_view value);
};
