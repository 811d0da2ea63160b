#pragma once

#include <QValidator>

// An input filter for remote file names: no part of a path or a pattern may be typed into one.
// The whole proposed text is tested; a refused edit beeps.
class FileNameFormatter final : public QValidator
{
    Q_OBJECT

public:
    explicit FileNameFormatter(QObject* parent = nullptr);

    // False when the text holds "/", "*", "?", ";" or "->" anywhere; the empty text is valid.
    static bool isValidFileName(const QString& text);

    State validate(QString& input, int& pos) const override;
    QString errorText() const { return m_errorText; }

private:
    mutable QString m_errorText;
};
