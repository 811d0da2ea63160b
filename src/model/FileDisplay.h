#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

class FileDisplayCollection;

// One entry of a remote directory (a file, a directory or a symbolic link) as the server listed it
// in one line of a long Unix listing. Entries are shared: a listing, its table rows and the
// directory tree hold the same objects, so they are always made with std::make_shared (or the
// factories below) and belong to the thread that owns the model.
class FileDisplay : public std::enable_shared_from_this<FileDisplay>
{
public:
    // The columns of the file table; all but Icon are also the sort keys. Other stands for any
    // identifier that is none of these.
    enum class Column { Icon, Name, Owner, Group, Date, Size, Mode, Other };

    // The fields of one listing line, viewing into the line's text (nothing is copied).
    struct ListingFields
    {
        QStringView name;
        QStringView date;
        QStringView owner;
        QStringView group;
        quint64 size = 0;
        uint mode = 0;
        bool isDirectory = false;
        bool isLink = false;
    };

    // Splits a listing line into its fields. A line shorter than 10 characters, or one that ends
    // without a name after the date, carries no entry: no result.
    static std::optional<ListingFields> parseListingLine(QStringView line);
    // The entry of a listing line, or null for a line that carries none.
    static std::shared_ptr<FileDisplay> fileDisplayWithFtpResult(QStringView line);

    // Empty name, date, owner and group, size and mode 0, a plain file, no sort key, ascending.
    FileDisplay();
    // The entry of a listing line. Texts equal to the neighbour's (the entry listed before it) are
    // shared with it rather than copied.
    explicit FileDisplay(const ListingFields& listed, const FileDisplay* neighbour = nullptr);
    virtual ~FileDisplay();
    Q_DISABLE_COPY_MOVE(FileDisplay)

    static Column columnOf(QStringView identifier);

    const QString& fileName() const { return m_name; }
    void setFileName(const QString& name) { m_name = name; }
    const QString& fileDate() const { return m_date; }
    const QString& fileOwner() const { return m_owner; }
    const QString& fileGroup() const { return m_group; }
    quint64 fileSize() const { return m_size; }
    // The permission bits as a three-digit decimal number of octal digits: 755 is rwxr-xr-x.
    uint fileMode() const { return m_mode; }
    void setFileMode(uint mode) { m_mode = mode; }
    bool isDirectory() const { return m_isDirectory; }
    bool isLink() const { return m_isLink; }

    // The sort key and direction that the owning listing hands down before it sorts.
    const QString& parentSortKey() const { return m_parentSortKey; }
    void setParentSortKey(const QString& key);
    bool parentAscending() const { return m_parentAscending; }
    void setParentAscending(bool ascending) { m_parentAscending = ascending; }

    // Number of children: always 0 for a plain entry.
    virtual qsizetype count() const;
    // This entry as a directory listing, or null for a plain entry.
    virtual FileDisplayCollection* asCollection();
    virtual const FileDisplayCollection* asCollection() const;

    // The name without a link's " -> " target part.
    QString fileTitle() const;
    QStringView fileTitleView() const;
    // The ten-character symbolic mode, such as "drwxr-xr-x".
    QString fileModeString() const;

    // A number that orders entries by their listed date (yyyyMMddhhmm), computed once when the
    // date was taken in. 0 for a date without the listing's layout, so such an entry sorts first.
    quint64 integerFileDate() const { return m_integerFileDate; }
    // The same number for a date text as listed on the given day. A time of day whose month and
    // day lie after that day belongs to the year before.
    static quint64 integerFileDate(QStringView date, QDate today);

    // -1, 0 or +1 by this entry's own handed-down sort key and direction.
    int compare(const FileDisplay& other) const;
    // Equal listed attributes: kind, size, mode, name, date, owner and group.
    bool isEqualFile(const FileDisplay& other) const;
    bool isEqualFile(const ListingFields& listed) const;
    // Takes over the listed attributes; the sort key and direction stay.
    void copyFrom(const FileDisplay& other);
    void copyFrom(const ListingFields& listed);

protected:
    void setDirectory(bool isDirectory) { m_isDirectory = isDirectory; }

private:
    QString m_name;
    QString m_date;
    QString m_owner;
    QString m_group;
    quint64 m_size = 0;
    uint m_mode = 0;
    bool m_isDirectory = false;
    bool m_isLink = false;
    bool m_parentAscending = true;
    Column m_parentSortColumn = Column::Other;
    QString m_parentSortKey;
    quint64 m_integerFileDate = 0;
};
