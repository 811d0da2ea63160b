#include "model/FileDisplay.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

namespace {

QString line(const QString& name, const QString& date = QStringLiteral("Jan 15  2008"), quint64 size = 10,
             const QString& owner = QStringLiteral("web"), const QString& group = QStringLiteral("staff"),
             const QString& mode = QStringLiteral("-rw-r--r--"))
{
    return mode + QStringLiteral(" 1 ") + owner + u' ' + group + u' ' + QString::number(size) + u' ' + date + u' '
        + name;
}

// An entry of a listing line; the empty text stands for an entry never filled from a listing
// (such as a directory just made on the server), which has an empty date.
std::shared_ptr<FileDisplay> entry(const QString& text)
{
    if (text.isEmpty()) {
        auto unlisted = std::make_shared<FileDisplay>();
        unlisted->setFileName(QStringLiteral("unlisted"));
        return unlisted;
    }
    auto parsed = FileDisplay::fileDisplayWithFtpResult(text);
    Q_ASSERT(parsed);
    return parsed;
}

} // namespace

class FileDisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isDirectory");
        QTest::addColumn<bool>("isLink");
        QTest::addColumn<uint>("mode");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("group");
        QTest::addColumn<quint64>("size");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("name");

        QTest::newRow("directory") << QStringLiteral("drwxr-xr-x   2 web staff     4096 Jan 15 12:34 docs") << true
                                   << false << 755u << QStringLiteral("web") << QStringLiteral("staff") << quint64(4096)
                                   << QStringLiteral("Jan 15 12:34") << QStringLiteral("docs");
        QTest::newRow("link keeps its target in the name")
            << QStringLiteral("lrwxrwxrwx 1 root root 11 Mar  3  2009 lib -> /usr/lib") << false << true << 777u
            << QStringLiteral("root") << QStringLiteral("root") << quint64(11) << QStringLiteral("Mar  3  2009")
            << QStringLiteral("lib -> /usr/lib");
        QTest::newRow("D is a link to a directory")
            << QStringLiteral("Drwxr-x--- 1 root wheel 7 Mar  3  2009 bin -> usr/bin") << true << true << 750u
            << QStringLiteral("root") << QStringLiteral("wheel") << quint64(7) << QStringLiteral("Mar  3  2009")
            << QStringLiteral("bin -> usr/bin");
        QTest::newRow("setuid s adds no execute")
            << QStringLiteral("-rwsr-xr-x 1 root root 5 Jan  1  2020 su") << false << false << 655u
            << QStringLiteral("root") << QStringLiteral("root") << quint64(5) << QStringLiteral("Jan  1  2020")
            << QStringLiteral("su");
        QTest::newRow("sticky t adds no execute")
            << QStringLiteral("drwxrwxrwt 9 root root 4096 Jan  1 10:00 tmp") << true << false << 776u
            << QStringLiteral("root") << QStringLiteral("root") << quint64(4096) << QStringLiteral("Jan  1 10:00")
            << QStringLiteral("tmp");
        QTest::newRow("capital S and T add nothing")
            << QStringLiteral("-rwSr-sr-T 1 a b 0 Jan  1  2020 odd") << false << false << 644u << QStringLiteral("a")
            << QStringLiteral("b") << quint64(0) << QStringLiteral("Jan  1  2020") << QStringLiteral("odd");
        QTest::newRow("other type letter is a plain file")
            << QStringLiteral("prw------- 1 a b 0 Feb 29  2024 fifo") << false << false << 600u << QStringLiteral("a")
            << QStringLiteral("b") << quint64(0) << QStringLiteral("Feb 29  2024") << QStringLiteral("fifo");
        QTest::newRow("runs of spaces between fields")
            << QStringLiteral("-rw-r--r--    1    web    staff       123 Feb  9  2021 a.txt") << false << false << 644u
            << QStringLiteral("web") << QStringLiteral("staff") << quint64(123) << QStringLiteral("Feb  9  2021")
            << QStringLiteral("a.txt");
        QTest::newRow("name keeps its leading spaces")
            << QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9  2021   spaced") << false << false << 644u
            << QStringLiteral("web") << QStringLiteral("staff") << quint64(1) << QStringLiteral("Feb  9  2021")
            << QStringLiteral("  spaced");
        QTest::newRow("name with inner spaces")
            << QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9  2021 a b  c ") << false << false << 644u
            << QStringLiteral("web") << QStringLiteral("staff") << quint64(1) << QStringLiteral("Feb  9  2021")
            << QStringLiteral("a b  c ");
        QTest::newRow("a tab is part of a word")
            << QStringLiteral("-rw-r--r-- 1 web\tx staff 1 Feb  9  2021 t") << false << false << 644u
            << QStringLiteral("web\tx") << QStringLiteral("staff") << quint64(1) << QStringLiteral("Feb  9  2021")
            << QStringLiteral("t");
        QTest::newRow("4 GiB") << QStringLiteral("-rw-r--r-- 1 web staff 4294967296 Jan 15 12:34 big.iso") << false
                               << false << 644u << QStringLiteral("web") << QStringLiteral("staff")
                               << quint64(4294967296ULL) << QStringLiteral("Jan 15 12:34") << QStringLiteral("big.iso");
        QTest::newRow("size beyond 64 bits saturates")
            << QStringLiteral("-rw-r--r-- 1 web staff 99999999999999999999999 Jan 15 12:34 huge") << false << false
            << 644u << QStringLiteral("web") << QStringLiteral("staff") << std::numeric_limits<quint64>::max()
            << QStringLiteral("Jan 15 12:34") << QStringLiteral("huge");
        QTest::newRow("size without digits is 0")
            << QStringLiteral("-rw-r--r-- 1 web staff - Jan 15 12:34 dash") << false << false << 644u
            << QStringLiteral("web") << QStringLiteral("staff") << quint64(0) << QStringLiteral("Jan 15 12:34")
            << QStringLiteral("dash");
        QTest::newRow("Japanese name") << QStringLiteral("-rw-r--r-- 1 web staff 3 Jan 15 12:34 日本語.txt") << false
                                       << false << 644u << QStringLiteral("web") << QStringLiteral("staff")
                                       << quint64(3) << QStringLiteral("Jan 15 12:34") << QStringLiteral("日本語.txt");
    }
    void parse()
    {
        QFETCH(QString, text);
        const auto parsed = FileDisplay::fileDisplayWithFtpResult(text);
        QVERIFY(parsed);
        QTEST(parsed->isDirectory(), "isDirectory");
        QTEST(parsed->isLink(), "isLink");
        QTEST(parsed->fileMode(), "mode");
        QTEST(parsed->fileOwner(), "owner");
        QTEST(parsed->fileGroup(), "group");
        QTEST(parsed->fileSize(), "size");
        QTEST(parsed->fileDate(), "date");
        QTEST(parsed->fileName(), "name");
    }

    void linesWithoutEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("nine characters") << QStringLiteral("drwxr-xr-");
        QTest::newRow("mode only") << QStringLiteral("drwxr-xr-x");
        QTest::newRow("ends inside the date") << QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9");
        QTest::newRow("ends after the date") << QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9  2021");
        QTest::newRow("ends after the separating space") << QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9  2021 ");
    }
    void linesWithoutEntry()
    {
        QFETCH(QString, text);
        QVERIFY(!FileDisplay::parseListingLine(text));
        QVERIFY(!FileDisplay::fileDisplayWithFtpResult(text));
    }

    void fileTitle_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("link") << QStringLiteral("lrwxrwxrwx 1 a b 8 Mar  3  2009 lib -> /usr/lib")
                              << QStringLiteral("lib");
        QTest::newRow("link to a directory")
            << QStringLiteral("Drwxrwxrwx 1 a b 8 Mar  3  2009 bin -> usr/bin") << QStringLiteral("bin");
        QTest::newRow("first arrow ends the title")
            << QStringLiteral("lrwxrwxrwx 1 a b 8 Mar  3  2009 x -> y -> z") << QStringLiteral("x");
        QTest::newRow("link without an arrow")
            << QStringLiteral("lrwxrwxrwx 1 a b 8 Mar  3  2009 dangling") << QStringLiteral("dangling");
        QTest::newRow("plain file with an arrow")
            << QStringLiteral("-rw-r--r-- 1 a b 8 Mar  3  2009 a -> b") << QStringLiteral("a -> b");
    }
    void fileTitle()
    {
        QFETCH(QString, text);
        QTEST(entry(text)->fileTitle(), "title");
    }

    void fileModeString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode"); // -1: as listed
        QTest::addColumn<QString>("symbolic");
        QTest::newRow("directory") << QStringLiteral("drwxr-xr-x 2 a b 1 Jan  1  2020 d") << -1
                                   << QStringLiteral("drwxr-xr-x");
        QTest::newRow("file") << QStringLiteral("-rw-r--r-- 1 a b 1 Jan  1  2020 f") << -1
                              << QStringLiteral("-rw-r--r--");
        QTest::newRow("link") << QStringLiteral("lrwxrwxrwx 1 a b 1 Jan  1  2020 l -> f") << -1
                              << QStringLiteral("lrwxrwxrwx");
        QTest::newRow("link to a directory shows d")
            << QStringLiteral("Drwxr-x--x 1 a b 1 Jan  1  2020 l -> d") << -1 << QStringLiteral("drwxr-x--x");
        QTest::newRow("setuid reads back without s")
            << QStringLiteral("-rwsr-xr-x 1 a b 1 Jan  1  2020 su") << -1 << QStringLiteral("-rw-r-xr-x");
        QTest::newRow("mode 44") << QStringLiteral("-rw-r--r-- 1 a b 1 Jan  1  2020 f") << 44
                                 << QStringLiteral("----r--r--");
        QTest::newRow("mode 0") << QStringLiteral("-rw-r--r-- 1 a b 1 Jan  1  2020 f") << 0
                                << QStringLiteral("----------");
        QTest::newRow("digits 8 and 9") << QStringLiteral("-rw-r--r-- 1 a b 1 Jan  1  2020 f") << 789
                                        << QStringLiteral("-rwx??????");
        QTest::newRow("digit 8 in the middle")
            << QStringLiteral("-rw-r--r-- 1 a b 1 Jan  1  2020 f") << 785 << QStringLiteral("-rwx???r-x");
    }
    void fileModeString()
    {
        QFETCH(QString, text);
        QFETCH(int, mode);
        const auto parsed = entry(text);
        if (mode >= 0)
            parsed->setFileMode(uint(mode));
        QTEST(parsed->fileModeString(), "symbolic");
    }

    void integerFileDate_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<quint64>("value");
        const QDate march10(2026, 3, 10);
        QTest::newRow("time of day this year") << QStringLiteral("Jan 15 12:34") << march10 << quint64(202601151234ULL);
        QTest::newRow("year") << QStringLiteral("Jan 15  2008") << march10 << quint64(200801150000ULL);
        QTest::newRow("one-digit day") << QStringLiteral("Mar  3 09:05") << march10 << quint64(202603030905ULL);
        QTest::newRow("today") << QStringLiteral("Mar 10 23:59") << march10 << quint64(202603102359ULL);
        QTest::newRow("tomorrow lies in the year before")
            << QStringLiteral("Mar 11 00:00") << march10 << quint64(202503110000ULL);
        QTest::newRow("last December seen in January")
            << QStringLiteral("Dec 31 23:59") << QDate(2027, 1, 1) << quint64(202612312359ULL);
        QTest::newRow("every month") << QStringLiteral("Nov 30  1999") << march10 << quint64(199911300000ULL);
        QTest::newRow("unknown month is 0") << QStringLiteral("jan  1  2009") << march10 << quint64(200900010000ULL);
        QTest::newRow("empty is 0") << QString() << march10 << quint64(0);
        QTest::newRow("too short is 0") << QStringLiteral("Jan 15") << march10 << quint64(0);
        QTest::newRow("time of day too short is 0") << QStringLiteral("Jan 15 1:") << march10 << quint64(0);
    }
    void integerFileDate()
    {
        QFETCH(QString, date);
        QFETCH(QDate, today);
        QTEST(FileDisplay::integerFileDate(date, today), "value");
    }

    void integerFileDateOfListedEntry()
    {
        const auto year = entry(line(QStringLiteral("a"), QStringLiteral("Jan 15  2008")));
        QCOMPARE(year->integerFileDate(), quint64(200801150000ULL));
        const auto recent = entry(line(QStringLiteral("a"), QStringLiteral("Jan  1 00:00")));
        const int thisYear = QDate::currentDate().year();
        QCOMPARE(recent->integerFileDate(), quint64(thisYear) * 100000000 + 1010000);
        QCOMPARE(FileDisplay().integerFileDate(), quint64(0));
    }

    void compare_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("result");

        const QString name = QStringLiteral("Name");
        const QString a = line(QStringLiteral("a"));
        const QString b = line(QStringLiteral("b"));
        QTest::newRow("Name ascending") << name << true << a << b << -1;
        QTest::newRow("Name descending: b before a") << name << false << b << a << -1;
        QTest::newRow("equal names ascending") << name << true << a << a << 0;
        QTest::newRow("equal names descending") << name << false << a << a << 0;
        QTest::newRow("names by character code")
            << name << true << line(QStringLiteral("B")) << line(QStringLiteral("a")) << -1;
        QTest::newRow("names include the link target")
            << name << true << line(QStringLiteral("l -> z")) << line(QStringLiteral("l -> a")) << 1;
        QTest::newRow("no key compares names") << QString() << true << b << a << 1;
        QTest::newRow("Icon compares names") << QStringLiteral("Icon") << true << b << a << 1;

        const QString web = line(QStringLiteral("z"), QStringLiteral("Jan 15  2008"), 1, QStringLiteral("web"),
                                 QStringLiteral("adm"));
        const QString root = line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 1, QStringLiteral("root"),
                                  QStringLiteral("wheel"));
        QTest::newRow("Owner ascending") << QStringLiteral("Owner") << true << root << web << -1;
        QTest::newRow("Owner descending") << QStringLiteral("Owner") << false << root << web << 1;
        QTest::newRow("Group ascending") << QStringLiteral("Group") << true << root << web << 1;
        QTest::newRow("Group descending") << QStringLiteral("Group") << false << root << web << -1;

        const QString date = QStringLiteral("Date");
        const QString oldYear = line(QStringLiteral("z"), QStringLiteral("Dec 31  2008"));
        const QString newYear = line(QStringLiteral("a"), QStringLiteral("Jan  1 10:00"));
        QTest::newRow("Date: a year before a time of day") << date << true << oldYear << newYear << -1;
        QTest::newRow("Date descending") << date << false << oldYear << newYear << 1;
        QTest::newRow("Date: a minute later")
            << date << true << line(QStringLiteral("a"), QStringLiteral("Mar  3 09:05"))
            << line(QStringLiteral("b"), QStringLiteral("Mar  3 09:04")) << 1;
        QTest::newRow("Date equal") << date << true << line(QStringLiteral("a"), QStringLiteral("Mar  3  2001"))
                                    << line(QStringLiteral("b"), QStringLiteral("Mar  3  2001")) << 0;
        QTest::newRow("Date: an empty date before every dated entry")
            << date << true << QString() << line(QStringLiteral("a"), QStringLiteral("Jan  1  1970")) << -1;
        QTest::newRow("Date descending: an empty date last")
            << date << false << QString() << line(QStringLiteral("a"), QStringLiteral("Jan  1  1970")) << 1;

        const QString big = line(QStringLiteral("a"), QStringLiteral("Jan  1  2020"), 4294967296ULL);
        const QString twoGiB = line(QStringLiteral("b"), QStringLiteral("Jan  1  2020"), 2147483648ULL);
        QTest::newRow("Size: 4 GiB after 2 GiB") << QStringLiteral("Size") << true << big << twoGiB << 1;
        QTest::newRow("Size descending") << QStringLiteral("Size") << false << big << twoGiB << -1;
        QTest::newRow("Size equal") << QStringLiteral("Size") << false << big << big << 0;

        const QString open = line(QStringLiteral("a"), QStringLiteral("Jan  1  2020"), 1, QStringLiteral("web"),
                                  QStringLiteral("staff"), QStringLiteral("-rwxr-xr-x"));
        QTest::newRow("Mode ascending") << QStringLiteral("Mode") << true << b << open << -1;
        QTest::newRow("Mode descending") << QStringLiteral("Mode") << false << b << open << 1;
    }
    void compare()
    {
        QFETCH(QString, key);
        QFETCH(bool, ascending);
        QFETCH(QString, a);
        QFETCH(QString, b);
        const auto left = entry(a);
        const auto right = entry(b);
        left->setParentSortKey(key);
        left->setParentAscending(ascending);
        // Only the receiver's key and direction count.
        right->setParentSortKey(QStringLiteral("Size"));
        right->setParentAscending(!ascending);
        QTEST(left->compare(*right), "result");
    }

    void isEqualFile_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("equal");
        QTest::newRow("same line") << line(QStringLiteral("a")) << true;
        QTest::newRow("name") << line(QStringLiteral("b")) << false;
        QTest::newRow("date") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2009")) << false;
        QTest::newRow("date spacing") << line(QStringLiteral("a"), QStringLiteral("Jan 15 2008")) << false;
        QTest::newRow("size") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 11) << false;
        QTest::newRow("owner") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10, QStringLiteral("x"))
                               << false;
        QTest::newRow("group") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10, QStringLiteral("web"),
                                       QStringLiteral("x"))
                               << false;
        QTest::newRow("mode") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10, QStringLiteral("web"),
                                      QStringLiteral("staff"), QStringLiteral("-rw-------"))
                              << false;
        QTest::newRow("directory flag") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10,
                                                QStringLiteral("web"), QStringLiteral("staff"),
                                                QStringLiteral("drw-r--r--"))
                                        << false;
        QTest::newRow("link flag") << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10,
                                           QStringLiteral("web"), QStringLiteral("staff"), QStringLiteral("lrw-r--r--"))
                                   << false;
        QTest::newRow("link to a directory")
            << line(QStringLiteral("a"), QStringLiteral("Jan 15  2008"), 10, QStringLiteral("web"),
                    QStringLiteral("staff"), QStringLiteral("Drw-r--r--"))
            << false;
    }
    void isEqualFile()
    {
        QFETCH(QString, other);
        QFETCH(bool, equal);
        const auto base = entry(line(QStringLiteral("a")));
        base->setParentSortKey(QStringLiteral("Size"));
        base->setParentAscending(false);
        const auto listed = FileDisplay::parseListingLine(other);
        QVERIFY(listed);
        QCOMPARE(base->isEqualFile(FileDisplay(*listed)), equal);
        QCOMPARE(base->isEqualFile(*listed), equal);
    }

    void copyFromTakesListedAttributesOnly_data()
    {
        QTest::addColumn<bool>("fromListing");
        QTest::newRow("from an entry") << false;
        QTest::newRow("from a listing line") << true;
    }
    void copyFromTakesListedAttributesOnly()
    {
        QFETCH(bool, fromListing);
        const auto target = entry(line(QStringLiteral("a")));
        target->setParentSortKey(QStringLiteral("Date"));
        target->setParentAscending(false);
        const QString text = QStringLiteral("Drwx------ 3 root wheel 4294967297 Feb  2 10:00 b -> /b");
        const auto listed = FileDisplay::parseListingLine(text);
        QVERIFY(listed);
        const FileDisplay source(*listed);
        if (fromListing)
            target->copyFrom(*listed);
        else
            target->copyFrom(source);
        QVERIFY(target->isEqualFile(source));
        QCOMPARE(target->integerFileDate(), source.integerFileDate());
        QCOMPARE(target->parentSortKey(), QStringLiteral("Date"));
        QCOMPARE(target->parentAscending(), false);
    }
};

PLUMOXA_TEST(FileDisplayTest);

#include "FileDisplayTest.moc"
