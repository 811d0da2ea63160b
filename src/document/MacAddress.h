#pragma once

#include <QString>

#include <optional>

// The hardware address of the machine's primary Ethernet interface, as 12 lower-case hex digits.
// The primary interface is, among the Ethernet interfaces (type 1) with a non-zero address, the
// one backed by a physical device with the lowest ifindex; failing that, the non-loopback one with
// the lowest ifindex.
class MacAddress final
{
public:
    MacAddress() = delete;

    static std::optional<QString> primaryMacAddress();
    // The same rule over another copy of /sys/class/net, so that the choice can be tested.
    static std::optional<QString> primaryMacAddress(const QString& sysClassNet);
};
