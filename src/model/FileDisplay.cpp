#include "model/FileDisplay.h"

#include <QDateTime>

#include <array>
#include <limits>

namespace {

constexpr char16_t kSpace = u' ';
constexpr QStringView kLinkArrow = u" -> ";

constexpr std::array<QStringView, 12> kMonths
    = { u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec" };

constexpr std::array<QStringView, 8> kTriplets = { u"---", u"--x", u"-w-", u"-wx", u"r--", u"r-x", u"rw-", u"rwx" };
// A digit outside the octal range (reachable through an in-table mode edit the server accepted).
constexpr QStringView kUnknownTriplet = u"???";

qsizetype skipSpaces(QStringView text, qsizetype i)
{
    while (i < text.size() && text[i] == kSpace)
        ++i;
    return i;
}

qsizetype skipWord(QStringView text, qsizetype i)
{
    while (i < text.size() && text[i] != kSpace)
        ++i;
    return i;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The leading decimal digits after an optional "+", as an unsigned 64-bit number; saturates.
quint64 readSize(QStringView word)
{
    qsizetype i = word.startsWith(u'+') ? 1 : 0;
    quint64 value = 0;
    constexpr quint64 kMax = std::numeric_limits<quint64>::max();
    for (; i < word.size() && isDigit(word[i]); ++i) {
        const quint64 digit = word[i].unicode() - u'0';
        if (value > (kMax - digit) / 10)
            return kMax;
        value = value * 10 + digit;
    }
    return value;
}

// The leading decimal digits after leading spaces; capped so that the date number cannot overflow.
quint64 readDateNumber(QStringView text)
{
    constexpr quint64 kCap = 999999999;
    quint64 value = 0;
    for (qsizetype i = skipSpaces(text, 0); i < text.size() && isDigit(text[i]); ++i)
        value = std::min(kCap, value * 10 + (text[i].unicode() - u'0'));
    return value;
}

// Today's date in the local time zone, read from the clock cheaply: a listing computes one date
// number per line, and converting every reading to local time would cost more than the parse.
QDate today()
{
    thread_local QDate s_today;
    thread_local qint64 s_dayStart = 0;
    thread_local qint64 s_dayEnd = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now < s_dayStart || now >= s_dayEnd) {
        s_today = QDateTime::fromMSecsSinceEpoch(now).date();
        s_dayStart = s_today.startOfDay().toMSecsSinceEpoch();
        s_dayEnd = s_today.addDays(1).startOfDay().toMSecsSinceEpoch();
    }
    return s_today;
}

template<typename T> int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareText(const QString& a, const QString& b)
{
    return threeWay(QString::compare(a, b, Qt::CaseSensitive), 0);
}

void assignIfDifferent(QString& field, QStringView value)
{
    if (field != value)
        field = value.toString();
}

} // namespace

std::optional<FileDisplay::ListingFields> FileDisplay::parseListingLine(QStringView line)
{
    if (line.size() < 10)
        return std::nullopt;

    ListingFields fields;
    switch (line[0].unicode()) {
    case u'd':
        fields.isDirectory = true;
        break;
    case u'l':
        fields.isLink = true;
        break;
    case u'D':
        fields.isDirectory = true;
        fields.isLink = true;
        break;
    default:
        break;
    }

    // Only r, w and x count: set-id and sticky letters in an execute position add nothing.
    std::array<uint, 3> digits = { 0, 0, 0 };
    for (qsizetype i = 1; i <= 9; ++i) {
        uint& digit = digits[(i - 1) / 3];
        switch (line[i].unicode()) {
        case u'r':
            digit += 4;
            break;
        case u'w':
            digit += 2;
            break;
        case u'x':
            digit += 1;
            break;
        default:
            break;
        }
    }
    fields.mode = digits[0] * 100 + digits[1] * 10 + digits[2];

    // Link count, then owner.
    qsizetype p = skipSpaces(line, 10);
    p = skipSpaces(line, skipWord(line, p));
    qsizetype begin = p;
    p = skipWord(line, p);
    fields.owner = line.sliced(begin, p - begin);

    begin = skipSpaces(line, p);
    p = skipWord(line, begin);
    fields.group = line.sliced(begin, p - begin);

    begin = skipSpaces(line, p);
    p = skipWord(line, begin);
    fields.size = readSize(line.sliced(begin, p - begin));

    // Three words; the spaces between them stay as listed.
    begin = skipSpaces(line, p);
    p = skipWord(line, begin);
    p = skipWord(line, skipSpaces(line, p));
    p = skipWord(line, skipSpaces(line, p));
    fields.date = line.sliced(begin, p - begin);

    // One separating space; further leading spaces belong to the name.
    if (p + 1 >= line.size())
        return std::nullopt;
    fields.name = line.sliced(p + 1);
    return fields;
}

std::shared_ptr<FileDisplay> FileDisplay::fileDisplayWithFtpResult(QStringView line)
{
    const auto listed = parseListingLine(line);
    if (!listed)
        return nullptr;
    return std::make_shared<FileDisplay>(*listed);
}

FileDisplay::FileDisplay() = default;

FileDisplay::FileDisplay(const ListingFields& listed, const FileDisplay* neighbour)
{
    if (neighbour) {
        m_date = neighbour->m_date;
        m_integerFileDate = neighbour->m_integerFileDate;
        m_owner = neighbour->m_owner;
        m_group = neighbour->m_group;
    }
    copyFrom(listed);
}

FileDisplay::~FileDisplay() = default;

FileDisplay::Column FileDisplay::columnOf(QStringView identifier)
{
    static constexpr std::array<std::pair<QStringView, Column>, 7> kColumns = { {
        { u"Icon", Column::Icon },
        { u"Name", Column::Name },
        { u"Owner", Column::Owner },
        { u"Group", Column::Group },
        { u"Date", Column::Date },
        { u"Size", Column::Size },
        { u"Mode", Column::Mode },
    } };
    for (const auto& [name, column] : kColumns) {
        if (identifier == name)
            return column;
    }
    return Column::Other;
}

void FileDisplay::setParentSortKey(const QString& key)
{
    m_parentSortKey = key;
    m_parentSortColumn = columnOf(key);
}

qsizetype FileDisplay::count() const
{
    return 0;
}

FileDisplayCollection* FileDisplay::asCollection()
{
    return nullptr;
}

const FileDisplayCollection* FileDisplay::asCollection() const
{
    return nullptr;
}

QString FileDisplay::fileTitle() const
{
    const QStringView title = fileTitleView();
    return title.size() == m_name.size() ? m_name : title.toString();
}

QStringView FileDisplay::fileTitleView() const
{
    if (!m_isLink)
        return m_name;
    const qsizetype arrow = m_name.indexOf(kLinkArrow);
    return arrow < 0 ? QStringView(m_name) : QStringView(m_name).first(arrow);
}

QString FileDisplay::fileModeString() const
{
    const auto triplet = [](uint digit) { return digit < kTriplets.size() ? kTriplets[digit] : kUnknownTriplet; };
    const QChar type = m_isDirectory ? u'd' : (m_isLink ? u'l' : u'-');
    QString text;
    text.reserve(10);
    text += type;
    text += triplet(m_mode / 100);
    text += triplet(m_mode / 10 % 10);
    text += triplet(m_mode % 10);
    return text;
}

quint64 FileDisplay::integerFileDate(QStringView date, QDate today)
{
    if (date.size() < 7)
        return 0;
    quint64 month = 0;
    for (qsizetype i = 0; i < qsizetype(kMonths.size()); ++i) {
        if (date.first(3) == kMonths[i]) {
            month = i + 1;
            break;
        }
    }
    const quint64 day = readDateNumber(date.sliced(4, 2));
    const QStringView rest = date.sliced(7);

    quint64 year = 0;
    quint64 hour = 0;
    quint64 minute = 0;
    if (rest.contains(u':')) {
        if (rest.size() < 3)
            return 0;
        // A listing shows the time instead of the year for the recent past, so a month and day
        // after today lie in the year before.
        year = today.year();
        const bool afterToday
            = month > quint64(today.month()) || (month == quint64(today.month()) && day > quint64(today.day()));
        if (afterToday)
            --year;
        hour = readDateNumber(rest.first(2));
        minute = readDateNumber(rest.sliced(3));
    } else {
        year = readDateNumber(rest);
    }
    return year * 100000000 + month * 1000000 + day * 10000 + hour * 100 + minute;
}

int FileDisplay::compare(const FileDisplay& other) const
{
    int result = 0;
    switch (m_parentSortColumn) {
    case Column::Owner:
        result = compareText(m_owner, other.m_owner);
        break;
    case Column::Group:
        result = compareText(m_group, other.m_group);
        break;
    case Column::Date:
        result = threeWay(m_integerFileDate, other.m_integerFileDate);
        break;
    case Column::Size:
        result = threeWay(m_size, other.m_size);
        break;
    case Column::Mode:
        result = threeWay(m_mode, other.m_mode);
        break;
    default:
        result = compareText(m_name, other.m_name);
        break;
    }
    return m_parentAscending ? result : -result;
}

bool FileDisplay::isEqualFile(const FileDisplay& other) const
{
    return m_isDirectory == other.m_isDirectory && m_isLink == other.m_isLink && m_size == other.m_size
        && m_mode == other.m_mode && m_name == other.m_name && m_date == other.m_date && m_owner == other.m_owner
        && m_group == other.m_group;
}

bool FileDisplay::isEqualFile(const ListingFields& listed) const
{
    return m_isDirectory == listed.isDirectory && m_isLink == listed.isLink && m_size == listed.size
        && m_mode == listed.mode && m_name == listed.name && m_date == listed.date && m_owner == listed.owner
        && m_group == listed.group;
}

void FileDisplay::copyFrom(const FileDisplay& other)
{
    m_name = other.m_name;
    m_date = other.m_date;
    m_owner = other.m_owner;
    m_group = other.m_group;
    m_size = other.m_size;
    m_mode = other.m_mode;
    m_isDirectory = other.m_isDirectory;
    m_isLink = other.m_isLink;
    m_integerFileDate = other.m_integerFileDate;
}

void FileDisplay::copyFrom(const ListingFields& listed)
{
    // A refreshed entry mostly keeps its texts; reusing them saves an allocation per field.
    assignIfDifferent(m_name, listed.name);
    if (m_date != listed.date) {
        m_date = listed.date.toString();
        m_integerFileDate = integerFileDate(m_date, today());
    }
    assignIfDifferent(m_owner, listed.owner);
    assignIfDifferent(m_group, listed.group);
    m_size = listed.size;
    m_mode = listed.mode;
    m_isDirectory = listed.isDirectory;
    m_isLink = listed.isLink;
}
