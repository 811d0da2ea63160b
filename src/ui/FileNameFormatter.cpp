#include "ui/FileNameFormatter.h"

#include <QApplication>

namespace {

const char16_t* const g_invalidStrings[] = { u"/", u"*", u"?", u";", u"->" };

} // namespace

FileNameFormatter::FileNameFormatter(QObject* parent)
    : QValidator(parent)
{ }

bool FileNameFormatter::isValidFileName(const QString& text)
{
    for (const char16_t* invalid : g_invalidStrings) {
        if (text.contains(QStringView(invalid)))
            return false;
    }
    return true;
}

QValidator::State FileNameFormatter::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos);
    if (isValidFileName(input)) {
        m_errorText.clear();
        return Acceptable;
    }
    m_errorText = QStringLiteral("Invalid string input");
    QApplication::beep();
    return Invalid;
}
