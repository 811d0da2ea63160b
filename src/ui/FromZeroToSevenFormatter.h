#pragma once

#include "ui/NumberOnlyFormatter.h"

// An input filter for permission modes: only the digits 0 to 7 may be typed. The length is not
// limited here; the permission dialog wants exactly three digits.
class FromZeroToSevenFormatter final : public NumberOnlyFormatter
{
    Q_OBJECT

public:
    explicit FromZeroToSevenFormatter(QObject* parent = nullptr);

protected:
    QString refusal(const QString& examined) const override;
};
