#include "ui/FileDropTableView.h"
#include "support/TestRegistry.h"

#include <QTest>

using Rows = QList<int>;

class FileDropTableViewTest : public QObject
{
    Q_OBJECT

private slots:
    void clickSelection_data()
    {
        QTest::addColumn<Rows>("selected");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<Rows>("expected");
        const int shift = Qt::ShiftModifier;
        const int control = Qt::ControlModifier;
        QTest::newRow("shift between") << Rows { 2, 8 } << 5 << shift << true << Rows { 2, 3, 4, 5, 8 };
        QTest::newRow("shift after last") << Rows { 2, 8 } << 10 << shift << true << Rows { 2, 8, 9, 10 };
        QTest::newRow("shift before first") << Rows { 2, 8 } << 0 << shift << true << Rows { 0, 1, 2, 8 };
        QTest::newRow("shift with nothing selected") << Rows {} << 4 << shift << true << Rows { 4 };
        QTest::newRow("control adds") << Rows { 2 } << 5 << control << true << Rows { 2, 5 };
        QTest::newRow("control on selected row") << Rows { 2, 5 } << 5 << control << false << Rows { 2, 5 };
        QTest::newRow("shift and control act as shift")
            << Rows { 2, 8 } << 5 << (shift | control) << true << Rows { 2, 3, 4, 5, 8 };
        QTest::newRow("plain press") << Rows { 2, 8 } << 4 << 0 << true << Rows { 4 };
        QTest::newRow("plain press on a selected row") << Rows { 2, 8 } << 8 << 0 << false << Rows { 2, 8 };
        QTest::newRow("press below the rows") << Rows { 2, 8 } << -1 << 0 << true << Rows {};
    }

    void clickSelection()
    {
        QFETCH(Rows, selected);
        QFETCH(int, row);
        QFETCH(int, modifiers);
        QFETCH(bool, changes);
        QFETCH(Rows, expected);
        const auto result = FileDropTableView::clickSelection(selected, row, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(result.has_value(), changes);
        if (result)
            QCOMPARE(*result, expected);
    }
};

PLUMOXA_TEST(FileDropTableViewTest);
#include "FileDropTableViewTest.moc"
