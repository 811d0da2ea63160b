#include "ProtocolRequest.h"

bool ProtocolRequest::setField(const std::string& name, std::string value)
{
    std::optional<std::string>* field = nullptr;
    if (name == "user")
        field = &user;
    else if (name == "password")
        field = &password;
    else if (name == "dir")
        field = &dir;
    else if (name == "cmd")
        field = &cmd;
    else if (name == "param0")
        field = &param0;
    else if (name == "param1")
        field = &param1;
    else
        return false;
    if (!field->has_value())
        *field = std::move(value);
    return true;
}

bool ProtocolRequest::hasRequiredFields() const
{
    return user && password && dir && cmd;
}
