#include "support/TestRegistry.h"
#include "ui/FileNameFormatter.h"
#include "ui/FromZeroToSevenFormatter.h"
#include "ui/NumberOnlyFormatter.h"

#include <QLineEdit>
#include <QTest>

class FormatterTest : public QObject
{
    Q_OBJECT

private slots:
    void numberOnly_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed"); // inserted at the end; "\b" deletes the last character
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("error");
        QTest::newRow("digit") << "12"
                               << "3"
                               << "123"
                               << "";
        QTest::newRow("letter after digits") << "12"
                                             << "a"
                                             << "12"
                                             << "Input is not an integer";
        QTest::newRow("pasted decimal") << ""
                                        << "1.5"
                                        << ""
                                        << "Input is not an integer";
        QTest::newRow("backspace") << "12"
                                   << "\b"
                                   << "1"
                                   << "";
        QTest::newRow("minus sign") << ""
                                    << "-1"
                                    << ""
                                    << "Input is not an integer";
    }

    void numberOnly()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(QString, error);
        QLineEdit field;
        auto* formatter = new NumberOnlyFormatter(&field);
        field.setValidator(formatter);
        QTest::keyClicks(&field, before);
        if (typed == u"\b")
            QTest::keyClick(&field, Qt::Key_Backspace);
        else
            field.insert(typed);
        QCOMPARE(field.text(), after);
        QCOMPARE(formatter->errorText(), error);
    }

    void zeroToSeven_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::newRow("seven") << "7"
                               << "";
        QTest::newRow("eight") << "8"
                               << "Input is 8";
        QTest::newRow("nine") << "9"
                              << "Input is 9";
        QTest::newRow("eight and nine") << "98"
                                        << "Input is 8";
        QTest::newRow("letter") << "x"
                                << "Input is not an integer";
        QTest::newRow("four digits") << "7777"
                                     << "";
    }

    void zeroToSeven()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        QLineEdit field;
        auto* formatter = new FromZeroToSevenFormatter(&field);
        field.setValidator(formatter);
        field.insert(typed);
        QCOMPARE(field.text(), error.isEmpty() ? typed : QString());
        QCOMPARE(formatter->errorText(), error);
    }

    void examinedText_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("examined");
        QTest::newRow("typed at the end") << "12"
                                          << "12a" << 3 << "a";
        QTest::newRow("typed in the middle") << "12"
                                             << "1x2" << 2 << "x";
        QTest::newRow("pasted over a selection") << "1234"
                                                 << "1ab4" << 3 << "ab";
        QTest::newRow("deletion") << "123"
                                  << "12" << 2 << "";
    }

    void examinedText()
    {
        QFETCH(QString, previous);
        QFETCH(QString, proposed);
        QFETCH(int, caret);
        QFETCH(QString, examined);
        QCOMPARE(NumberOnlyFormatter::examinedText(previous, proposed, caret), examined);
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "report.txt" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("asterisk") << "*.txt" << false;
        QTest::newRow("question mark") << "a?" << false;
        QTest::newRow("semicolon") << "a;b" << false;
        QTest::newRow("arrow") << "a->b" << false;
        QTest::newRow("hyphen alone") << "a-b" << true;
        QTest::newRow("greater-than alone") << "a>b" << true;
        QTest::newRow("greater-than then hyphen") << "a>-b" << true;
    }

    void fileName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(FileNameFormatter::isValidFileName(name), valid);
        QLineEdit field;
        auto* formatter = new FileNameFormatter(&field);
        field.setValidator(formatter);
        field.insert(name);
        QCOMPARE(field.text(), valid ? name : QString());
        QCOMPARE(formatter->errorText(), valid ? QString() : QStringLiteral("Invalid string input"));
    }
};

PLUMOXA_TEST(FormatterTest);
#include "FormatterTest.moc"
