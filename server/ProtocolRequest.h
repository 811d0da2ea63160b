#pragma once

#include <optional>
#include <string>

// The fields of one protocol request as they arrived, decoded from the form or multipart body.
// A field that the body did not carry is absent.
struct ProtocolRequest
{
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> dir;
    std::optional<std::string> cmd;
    std::optional<std::string> param0;
    std::optional<std::string> param1;

    // Stores a field by its form name; unknown names and repeats of a field already set are
    // ignored. Returns false for an unknown name.
    bool setField(const std::string& name, std::string value);
    // user, password, dir and cmd are present: the request can be answered in the protocol.
    bool hasRequiredFields() const;
};
