#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "support/TestFiles.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeView>

namespace {

void visit(const QTreeView& view, const QModelIndex& parent, QStringList& rows)
{
    const QAbstractItemModel* model = view.model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        rows.append(index.data().toString());
        if (view.isExpanded(index))
            visit(view, index, rows);
    }
}

} // namespace

SessionWindow::SessionWindow(QStringList serverArgs)
    : m_server(std::move(serverArgs))
    , m_framework(m_delegate.menuEnabler())
{
    const QDir root(m_server.rootPath());
    for (const char* directory : { "a/b", "a/c", "empty", ".hidden" })
        root.mkpath(QString::fromLatin1(directory));
    TestFiles::writeFile(root.filePath(QStringLiteral("x.txt")), "x");
    TestFiles::writeFile(root.filePath(QStringLiteral(".profile")), "p");
    TestFiles::writeFile(root.filePath(QStringLiteral("a/y.txt")), "yy");
    TestFiles::writeFile(root.filePath(QStringLiteral("a/b/z.txt")), "zzz");
}

SessionWindow::~SessionWindow()
{
    delete m_window;
}

bool SessionWindow::start()
{
    return m_server.start() && startOn(m_server.url(), m_server.user(), m_server.password(), 20);
}

bool SessionWindow::startOn(const QString& url, const QString& user, const QString& password, int timeout)
{
    m_window = m_framework.newDocument();
    ConnectSettings setting;
    setting.setUrl(url);
    setting.setUserId(user);
    setting.setPassword(password);
    setting.setTimeout(timeout);
    m_window->document().applyConnectionSetting(setting);
    return QTest::qWaitForWindowExposed(m_window);
}

ViewController& SessionWindow::controller() const
{
    return m_window->controller();
}

int SessionWindow::requestCount() const
{
    return int(m_server.log().count(QStringLiteral(" cmd=")));
}

bool SessionWindow::connect()
{
    controller().connectButton();
    return controller().isConnected() && controller().shownListing();
}

QStringList SessionWindow::tableNames() const
{
    QStringList names;
    const QAbstractItemModel* model = m_window->ui().fileView->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 1).data().toString());
    return names;
}

QStringList SessionWindow::visibleTreeRows() const
{
    QStringList rows;
    visit(*m_window->ui().directoryView, QModelIndex(), rows);
    return rows;
}

bool SessionWindow::waitIdle() const
{
    return QTest::qWaitFor([this] { return controller().canClose(); }, 30000);
}

void SessionWindow::verifyRestored() const
{
    Ui::MyDocument& ui = m_window->ui();
    QVERIFY(controller().canClose());
    QVERIFY(ui.connectButton->isEnabled());
    QVERIFY(!ui.cancelButton->isEnabled());
    QVERIFY(ui.fileView->isEnabled());
    QVERIFY(ui.directoryView->isEnabled());
    QVERIFY(ui.progress->text().isEmpty());
    QVERIFY(!ui.progressBar->isVisible());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(!flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint));
}

void SessionWindow::selectNames(const QStringList& names)
{
    const QStringList table = tableNames();
    QList<int> rows;
    for (const QString& name : names)
        rows.append(int(table.indexOf(name)));
    std::sort(rows.begin(), rows.end());
    m_window->ui().fileView->selectRows(rows);
}
