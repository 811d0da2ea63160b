#include "util/MyUtil.h"

#include "util/Prompter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace {

// Characters that may not appear in the path of a script's URL.
constexpr QStringView g_doNotForPath = u"<>&*?\"\\";

constexpr char kTranslationContext[] = "Plumoxa";

bool isHostCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
}

bool isTrimmed(QChar c)
{
    const char16_t u = c.unicode();
    return u == '\r' || u == '\n' || u == '\t' || u == ' ' || u == 0x3000;
}

bool isValidPort(QStringView port)
{
    if (port.isEmpty())
        return false;
    const qint64 value = MyUtil::leadingInteger(port);
    return value >= 0 && value <= 65535;
}

bool isValidHost(QStringView host)
{
    const auto labels = host.split(u'.');
    bool named = false;
    for (const QStringView label : labels) {
        if (label.isEmpty())
            return false;
        for (const QChar c : label) {
            if (!isHostCharacter(c))
                return false;
            named = named || !c.isDigit();
        }
    }
    if (named)
        return true;
    // Digits and dots only: an IPv4 address.
    if (labels.size() != 4)
        return false;
    for (const QStringView label : labels) {
        if (MyUtil::leadingInteger(label) > 255)
            return false;
    }
    return true;
}

} // namespace

QString MyUtil::localized(const char* key)
{
    return QCoreApplication::translate(kTranslationContext, key);
}

QString MyUtil::localized(const QString& key)
{
    return localized(key.toUtf8().constData());
}

QString MyUtil::format(const QString& format, const QStringList& arguments)
{
    QString out;
    out.reserve(format.size() + 64);
    qsizetype next = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 >= n) {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        if (format.at(j) == u'%') {
            out += u'%';
            i = j;
            continue;
        }
        while (j < n && format.at(j) == u'l')
            ++j;
        if (j < n && QStringView(u"@sdiu").contains(format.at(j))) {
            out += arguments.value(next++);
            i = j;
            continue;
        }
        out += c;
    }
    return out;
}

QString MyUtil::internationalFormat(const char* key, const QString& argument)
{
    return format(localized(key), { argument });
}

void MyUtil::messageBox(const QString& message, const QString& title)
{
    Prompter::instance().messageBox(message, title.isNull() ? QString::fromLatin1(kProductName) : title);
}

void MyUtil::messageBoxInternational(const char* key)
{
    messageBox(localized(key));
}

void MyUtil::messageBoxInternational(const char* key, const char* titleKey)
{
    messageBox(localized(key), localized(titleKey));
}

int MyUtil::askYesNo(const QString& question, const QString& title)
{
    return Prompter::instance().askYesNo(question, title.isNull() ? QString::fromLatin1(kProductName) : title) ? 1 : 0;
}

bool MyUtil::isValidHttpProtocol(const QString& url)
{
    QStringView rest;
    if (url.startsWith(u"http://"))
        rest = QStringView(url).mid(7);
    else if (url.startsWith(u"https://"))
        rest = QStringView(url).mid(8);
    else
        return false;

    const auto parts = rest.split(u'/');
    const QStringView authority = parts.first();
    if (authority.isEmpty())
        return false;
    const auto pieces = authority.split(u':');
    if (pieces.size() > 2)
        return false;
    if (pieces.size() == 2 && !isValidPort(pieces.at(1)))
        return false;
    if (!isValidHost(pieces.at(0)))
        return false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        for (const QChar c : parts.at(i)) {
            if (g_doNotForPath.contains(c))
                return false;
        }
    }
    return true;
}

QString MyUtil::trim(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

bool MyUtil::isIntegerString(const QString& text)
{
    const QStringView digits = text.startsWith(u'-') ? QStringView(text).mid(1) : QStringView(text);
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString MyUtil::currentDateTime(const QString& pattern)
{
    return QLocale::c().toString(QDateTime::currentDateTimeUtc(), pattern);
}

bool MyUtil::isDirectory(const QString& localPath)
{
    return QFileInfo(localPath).isDir();
}

QString MyUtil::documentDirectory()
{
    return QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0);
}

QString MyUtil::templateString(const QString& name)
{
    QFile file(u":/" + name + u".template");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf16));
    return decoder.decode(bytes);
}

QString MyUtil::printable(const QString& text, bool keepLineBreaks)
{
    const auto isControl = [keepLineBreaks](char16_t u) {
        return (u < 0x20 && !(keepLineBreaks && u == '\n')) || (u >= 0x7F && u <= 0x9F);
    };
    if (std::none_of(text.cbegin(), text.cend(), [&](QChar c) { return isControl(c.unicode()); }))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out;
}

qint64 MyUtil::leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    constexpr qint64 kLimit = std::numeric_limits<qint64>::max() / 10 - 1;
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        if (value > kLimit)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        value = value * 10 + (text.at(i).unicode() - u'0');
    }
    return negative ? -value : value;
}
