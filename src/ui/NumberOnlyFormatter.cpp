#include "ui/NumberOnlyFormatter.h"

#include <QApplication>

NumberOnlyFormatter::NumberOnlyFormatter(QObject* parent)
    : QValidator(parent)
{ }

QString NumberOnlyFormatter::examinedText(const QString& previous, const QString& proposed, int caret)
{
    qsizetype start = 0;
    const qsizetype common = std::min(previous.size(), proposed.size());
    while (start < common && previous.at(start) == proposed.at(start))
        ++start;
    if (caret <= start)
        return QString();
    return proposed.mid(start, caret - start);
}

QString NumberOnlyFormatter::refusal(const QString& examined) const
{
    for (const QChar c : examined) {
        if (!c.isDigit())
            return QStringLiteral("Input is not an integer");
    }
    return QString();
}

QValidator::State NumberOnlyFormatter::validate(QString& input, int& pos) const
{
    const QString examined = examinedText(m_previous, input, pos);
    m_errorText = examined.isEmpty() ? QString() : refusal(examined);
    if (!m_errorText.isNull()) {
        QApplication::beep();
        return Invalid;
    }
    m_previous = input;
    return Acceptable;
}
