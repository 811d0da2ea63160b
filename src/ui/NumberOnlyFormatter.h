#pragma once

#include <QValidator>

// An input filter for fields that take a whole number: only decimal digits may be typed. The
// text examined is what an edit puts in, from where the text first differs from the text before
// the edit up to the caret; an edit that only deletes is always allowed. A refused edit beeps.
class NumberOnlyFormatter : public QValidator
{
    Q_OBJECT

public:
    explicit NumberOnlyFormatter(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

    // Why the last edit was refused; empty after an allowed one.
    QString errorText() const { return m_errorText; }

    // The characters an edit from previous to proposed typed or pasted, ending at the caret.
    static QString examinedText(const QString& previous, const QString& proposed, int caret);

protected:
    // The refusal's error text for the examined text, or a null text to allow it.
    virtual QString refusal(const QString& examined) const;

private:
    mutable QString m_previous;
    mutable QString m_errorText;
};
