// Document files from disk: any bytes open without a crash, and what was read from a file
// survives being written and read back. (A tab or line break in a value is written as it is, and
// the XML reader turns it into a space, as XML's attribute normalisation says: such values are
// not compared.)

#include "FuzzCheck.h"

#include "document/ConnectSettings.h"
#include "document/DocumentFile.h"

#include <cstdint>

namespace {

bool keepsItsText(const QString& value)
{
    return !value.contains(u'\t') && !value.contains(u'\n') && !value.contains(u'\r');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ConnectSettings settings;
    DocumentFile::parseXml(bytes, settings);

    ConnectSettings again;
    DocumentFile::parseXml(DocumentFile::documentText(settings).toUtf8(), again);
    for (const auto& [read, reread] :
         { std::pair(settings.description(), again.description()), std::pair(settings.urlString(), again.urlString()),
           std::pair(settings.userId(), again.userId()) }) {
        if (keepsItsText(read))
            FUZZ_CHECK(read == reread);
    }
    return 0;
}
