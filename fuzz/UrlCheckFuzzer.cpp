// The URL check of the setting dialog on any text: it never crashes, and what it accepts starts
// with one of the two schemes, has a host, and holds none of the characters refused in a path.

#include "FuzzCheck.h"

#include "util/MyUtil.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString url = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!MyUtil::isValidHttpProtocol(url))
        return 0;
    const bool http = url.startsWith(u"http://");
    FUZZ_CHECK(http || url.startsWith(u"https://"));
    const QString rest = url.mid(http ? 7 : 8);
    const qsizetype slash = rest.indexOf(u'/');
    const QString authority = rest.left(slash);
    FUZZ_CHECK(!authority.isEmpty());
    // A port that is not a number passes; the host is checked character by character.
    const QString host = authority.section(u':', 0, 0);
    FUZZ_CHECK(!host.isEmpty());
    for (const QChar c : host)
        FUZZ_CHECK((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-'
                   || c == u'_' || c == u'.');
    if (slash >= 0) {
        for (const QChar c : rest.mid(slash))
            FUZZ_CHECK(!QStringView(u"<>&*?\"\\").contains(c));
    }
    return 0;
}
