// The lobby window with 10,000 tables: what one seat change costs, from the
// table model's update to the repainted row on screen, and how much of the
// view it repaints. The peer is a bare QStandardItemModel in a QTreeView of
// the same size and shape, changed and painted the same way in the same run.
// Then a list of 100,000 tables and an update of each from the test game
// server while the lobby is a hidden tab: the longest turn of the event loop
// and the first switch to the lobby tab, beside the same with 1,000 tables.
#include "LobbyController.h"
#include "LobbyTestData.h"
#include "LobbyWindow.h"
#include "TableModel.h"

#include "ConnectionManager.h"
#include "TestGameServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace lobbytest;

namespace {

constexpr int tableCount = 10000;
constexpr int updates = 300;

/// Remembers the area of the last paint of a widget.
class PaintWatcher : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

/// Times `change` followed by the repaint it causes; returns the median in
/// microseconds and the largest painted height seen.
template <typename Change>
std::pair<double, int> measure(QTreeView* view, Change change)
{
    PaintWatcher watcher;
    view->viewport()->installEventFilter(&watcher);
    std::vector<double> times;
    int tallest = 0;
    QElapsedTimer timer;
    for (int i = 0; i < updates; ++i) {
        watcher.painted = QRegion();
        timer.start();
        change(i);
        view->viewport()->repaint(QRect()); // nothing by itself: only what the change marked dirty
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
        tallest = std::max(tallest, watcher.painted.boundingRect().height());
    }
    view->viewport()->removeEventFilter(&watcher);
    return {median(times), tallest};
}

/// The longest gap between two turns of the event loop while it runs.
class TurnProbe : public QObject
{
public:
    TurnProbe()
    {
        connect(&tick, &QTimer::timeout, this, [this] {
            if (clock.isValid())
                longest = std::max(longest, clock.nsecsElapsed());
            clock.start();
        });
        tick.start(0);
    }
    double longestMsecs() const { return double(longest) / 1e6; }

private:
    QTimer tick;
    QElapsedTimer clock;
    qint64 longest = 0;
};

struct BurstFigures
{
    double longestTurn = 0;
    double longestUpdateTurn = 0;
    double firstSwitch = 0;
};

/// Sends a list of `tables` table records in one frame, then an update of
/// each in one frame, while the lobby is a hidden tab, then switches to it
/// with the mouse.
BurstFigures burstThenSwitch(int tables)
{
    BurstFigures figures;
    TestGameServer server;
    if (!server.listen())
        return figures;
    ConnectionManager connection(false);
    QSignalSpy ready(&connection, &ConnectionManager::versionCheckComplete);
    connection.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    if (!ready.wait(5000))
        return figures;
    LobbyController controller(&connection, nullptr);
    QTabWidget tabs;
    tabs.addTab(new QWidget, QStringLiteral("Other"));
    std::unique_ptr<LobbyWindow> lobby(controller.createLobbyWindow());
    tabs.addTab(lobby.get(), QStringLiteral("Tables"));
    tabs.resize(900, 700);
    tabs.show();
    if (!QTest::qWaitForWindowExposed(&tabs))
        return figures;

    TestFrame list(153);
    list.u32(quint32(tables));
    for (int id = 1; id <= tables; ++id) {
        list.u32(quint32(id)).str("101/Regular").str(QByteArray("Table ") + QByteArray::number(id));
        list.u16(4).u16(quint16(id % 4)).u32(0);
    }
    // Then an update for every table, and a new table behind them, which
    // comes in only after the last update.
    TestFrame updates(154);
    updates.u32(quint32(tables));
    for (int id = 1; id <= tables; ++id)
        updates.u32(quint32(id)).u16(quint16((id + 1) % 4)).u32(0).u32(0);
    TestFrame marker(143);
    marker.u32(quint32(tables + 1)).str("101/Regular").str("Marker").u16(4).u16(0).u32(0);
    TableModel* model = controller.tableModel();
    const auto takeIn = [&](const std::function<bool()>& done) {
        TurnProbe probe;
        QElapsedTimer waited;
        waited.start();
        while ((!done() || controller.waitingEvents() > 0) && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(300); // the column measure that follows the rows
        return probe.longestMsecs();
    };
    server.send(list);
    figures.longestTurn = takeIn([&] { return model->rowCount() >= tables; });
    server.send(updates);
    server.send(marker);
    figures.longestUpdateTurn = takeIn([&] { return model->hasTableInfo(tables + 1); });
    // The click itself, then the longest turn while the tab lays out and paints.
    TurnProbe probe;
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(1).center());
    const double click = double(clock.nsecsElapsed()) / 1e6;
    QTest::qWait(300);
    figures.firstSwitch = std::max(click, probe.longestMsecs());
    if (tabs.currentWidget() != lobby.get() || !lobby->treeView()->isVisible())
        figures.firstSwitch = -1;
    tabs.removeTab(1);
    return figures;
}

}

class LobbyWindowBenchmark : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false")); }

    void seatUpdateWithTenThousandTables()
    {
        QRandomGenerator random(17);
        TableModel model(nullptr);
        model.subscribe(QStringLiteral("101/Regular"));
        for (int id = 1; id <= tableCount; ++id)
            model.addOrUpdateTable(makeTable(id, QStringLiteral("101/Regular"), QStringLiteral("Table %1").arg(id),
                                             random.bounded(3), random.bounded(2) * 2, 15000,
                                             TableCapacity(4, random.bounded(1, 4), 0)));
        LobbyWindow window;
        window.setModel(&model);
        window.resize(900, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeView* view = window.treeView();
        QCOMPARE(view->model()->rowCount(), tableCount);
        const int rowHeight = view->sizeHintForRow(0);

        // The tables on screen, so that every change has something to repaint.
        std::vector<qint32> visible;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            const QModelIndex index = view->model()->index(row, 0);
            if (!view->viewport()->rect().intersects(view->visualRect(index)))
                continue;
            visible.push_back(index.data(Qt::UserRole).toInt());
        }
        QVERIFY(visible.size() > 5);
        const auto lobby = measure(view, [&](int i) {
            const qint32 id = visible[size_t(i) % visible.size()];
            const int seated = model.tableInfo(id).capacity.seated() % 3 + 1;
            model.updateTableInfo(id, seated, {});
        });

        // Peer: the same rows in a bare model and view.
        QStandardItemModel bare(tableCount, 6);
        for (int row = 0; row < tableCount; ++row) {
            for (int column = 0; column < 6; ++column)
                bare.setItem(row, column, new QStandardItem(QStringLiteral("Table %1").arg(row)));
        }
        QTreeView peer;
        peer.setUniformRowHeights(true);
        peer.setRootIsDecorated(false);
        peer.setModel(&bare);
        peer.resize(900, 700);
        peer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&peer));
        const auto floor = measure(&peer, [&](int i) {
            bare.item(i % 20, 2)->setText(QStringLiteral("%1 seated").arg(i));
        });

        std::printf("seat update, 10,000 tables: lobby window %.1f us median, bare tree view %.1f us "
                    "(ratio %.2f); repainted height %d px for one row of %d px (bare view: %d px)\n",
                    lobby.first, floor.first, floor.first > 0 ? lobby.first / floor.first : 0.0, lobby.second,
                    rowHeight, floor.second);
        std::fflush(stdout);
    }

    void burstOfTablesThenFirstSwitch()
    {
        const BurstFigures floor = burstThenSwitch(1000);
        const BurstFigures burst = burstThenSwitch(100000);
        QVERIFY(floor.firstSwitch >= 0 && burst.firstSwitch >= 0);
        const auto ratio = [](double value, double base) { return base > 0 ? value / base : 0.0; };
        std::printf("100,000 tables in one frame: longest turn %.1f ms, 1,000 tables %.1f ms (ratio %.2f); "
                    "100,000 updates in one frame: longest turn %.1f ms, 1,000 updates %.1f ms (ratio %.2f); "
                    "first switch to the lobby tab %.1f ms, after 1,000 tables %.1f ms (ratio %.2f)\n",
                    burst.longestTurn, floor.longestTurn, ratio(burst.longestTurn, floor.longestTurn),
                    burst.longestUpdateTurn, floor.longestUpdateTurn,
                    ratio(burst.longestUpdateTurn, floor.longestUpdateTurn),
                    burst.firstSwitch, floor.firstSwitch, ratio(burst.firstSwitch, floor.firstSwitch));
        std::fflush(stdout);
    }
};

QTEST_MAIN(LobbyWindowBenchmark)

#include "bench_lobbywindow.moc"
