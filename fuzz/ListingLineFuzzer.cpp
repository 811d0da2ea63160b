// Listing lines from a server: each line is parsed on its own, then the lines are listed into a
// directory twice (the second time in reverse order, as a re-listing that finds every entry again)
// and the directory is sorted by every column.

#include "FuzzCheck.h"

#include "model/FileDisplay.h"
#include "model/FileDisplayCollection.h"

#include <QDate>
#include <QStringList>

#include <cstdint>

namespace {

void checkLine(QStringView line)
{
    const auto fields = FileDisplay::parseListingLine(line);
    if (!fields)
        return;
    FUZZ_CHECK(line.size() >= 10);
    FUZZ_CHECK(!fields->name.isEmpty());
    const auto entry = FileDisplay::fileDisplayWithFtpResult(line);
    FUZZ_CHECK(entry);
    FUZZ_CHECK(entry->isEqualFile(*fields));
    FUZZ_CHECK(entry->fileModeString().size() == 10);
    FUZZ_CHECK(entry->fileName().startsWith(entry->fileTitle()));
    FileDisplay::integerFileDate(entry->fileDate(), QDate(2026, 3, 1));
}

void listInto(FileDisplayCollection& listing, const QStringList& lines)
{
    listing.invalidate();
    for (const QString& line : lines)
        listing.addFileDisplay(line);
    listing.updateAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = text.split(u'\n');
    for (const QString& line : lines)
        checkLine(line);

    const auto root = FileDisplayCollection::create();
    root->setFullPath(QStringLiteral("/"));
    root->setPathDictionary(std::make_shared<PathRegistry>());
    listInto(*root, lines);
    const qsizetype firstCount = root->count();
    FUZZ_CHECK(root->displayCount() <= firstCount);

    QStringList reversed = lines;
    std::reverse(reversed.begin(), reversed.end());
    listInto(*root, reversed);
    FUZZ_CHECK(root->count() == firstCount);
    FUZZ_CHECK(root->displayCount() <= root->count());

    for (const char* column : { "Name", "Owner", "Group", "Date", "Size", "Mode", "Name" }) {
        root->didClickTableColumn(QString::fromLatin1(column));
        for (qsizetype row = 0; row < root->numberOfRows(); ++row)
            FUZZ_CHECK(root->objectValue(QStringLiteral("Name"), row).isValid());
    }
    for (qsizetype i = 0; i < root->directoryCount(); ++i)
        FUZZ_CHECK(root->directoryAtIndex(i)->fullPath().startsWith(u'/'));
    return 0;
}
