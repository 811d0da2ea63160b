#include "ui/FromZeroToSevenFormatter.h"

FromZeroToSevenFormatter::FromZeroToSevenFormatter(QObject* parent)
    : NumberOnlyFormatter(parent)
{ }

QString FromZeroToSevenFormatter::refusal(const QString& examined) const
{
    const QString notANumber = NumberOnlyFormatter::refusal(examined);
    if (!notANumber.isNull())
        return notANumber;
    if (examined.contains(u'8'))
        return QStringLiteral("Input is 8");
    if (examined.contains(u'9'))
        return QStringLiteral("Input is 9");
    return QString();
}
