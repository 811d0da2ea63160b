#pragma once

#include <QString>
#include <QStringList>

// Shared helpers of the dialogs, the session window and the document: localised texts, the URL
// check of the setting dialog, trimming, and small file-system and resource operations.
class MyUtil final
{
public:
    MyUtil() = delete;

    // The product name, the title of every message box that names no other.
    static constexpr char kProductName[] = "Plumoxa";

    // The translation of a message key; a key without one is returned unchanged.
    static QString localized(const char* key);
    static QString localized(const QString& key);
    // Fills a printf-style format in one pass: "%@", "%s", "%d", "%i", "%u" (with an optional
    // "l" or "ll") each take the next argument as it stands, "%%" is a percent sign; anything
    // else is copied. Arguments are never themselves read as formats.
    static QString format(const QString& format, const QStringList& arguments);
    static QString internationalFormat(const char* key, const QString& argument);

    // Messages and yes-or-no questions through the installed Prompter. A null title shows the
    // product name; texts are shown unchanged (a "%" in a file name stays a "%").
    static void messageBox(const QString& message, const QString& title = QString());
    static void messageBoxInternational(const char* key);
    static void messageBoxInternational(const char* key, const char* titleKey);
    // 1 for Yes, 0 for No.
    static int askYesNo(const QString& question, const QString& title = QString());

    static bool isValidHttpProtocol(const QString& url);
    // Strips CR, LF, tab, space and the ideographic space from both ends.
    static QString trim(const QString& text);
    static bool isIntegerString(const QString& text);
    // The current time in UTC, formatted with a QDateTime pattern ("yyyy-MM-dd HH:mm:ss").
    static QString currentDateTime(const QString& pattern);
    static bool isDirectory(const QString& localPath);
    static QString documentDirectory();
    // The text of the resource NAME.template, stored as UTF-16 with a byte-order mark.
    static QString templateString(const QString& name);

    // The text with control characters (C0, DEL, C1) written as \xHH, so that a name from a
    // server can never drive a terminal; line breaks stay when keepLineBreaks is set.
    static QString printable(const QString& text, bool keepLineBreaks = false);

    // The value of the leading decimal number (optionally signed, after white space), 0 when
    // there is none; saturates instead of overflowing.
    static qint64 leadingInteger(QStringView text);
};
