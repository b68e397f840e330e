// The lobby window with 10,000 tables: what one seat change costs, from the
// table model's update to the repainted row on screen, and how much of the
// view it repaints. The peer is a bare QStandardItemModel in a QTreeView of
// the same size and shape, changed and painted the same way in the same run.
// Then the longest turn of the event loop under 100,000 tables and 100,000
// updates from the test game server, and at the first switch to the lobby
// tab, beside the same with 1,000 (also shown, and as many update frames in one read), then the removal of
// every table in a scattered order with the server's ping; closing 20,000 rows. Also one table in 50 removed and
// listed again, 75,000 tables with 100-character names, and a list frame of 30 MB. Goals, which fail the run:
// the removals' longest turn under 100 ms and a ping sent under them answered within 1 s (in the scattered
// removal and in the one-in-50 relisting), a ping under the long names' list, updates and removals within 1 s,
// and the 30 MB frame read; the rest is printed beside its peer or its smaller run.
#include "ConnectionManager.h"
#include "LobbyController.h"
#include "LobbyTestData.h"
#include "LobbyWindow.h"
#include "PingProbe.h"
#include "ProcessMemory.h"
#include "TableModel.h"
#include "TestGameServer.h"

#include <QApplication>
#include <QDeadlineTimer>
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
#include <array>
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

/// With the lobby a hidden tab: the longest turns under one frame of `tables`
/// tables, under one of an update for each (and a table behind it), under as many update frames in one read, at
/// the first switch to the tab (`shown`: with the lobby shown, no switch) and under a removal frame for each
/// table; the longest wait for a ping's answer under the removals, and before them, in milliseconds; then the
/// longest turn and ping under one table in 50 removed and listed again (before the removals). Names of `nameLength`
/// characters, when given; `list` notes the list's bytes, the time until it is shown and the peak memory it took.
struct ListCost
{
    double mb = 0, ms = 0, peakMb = 0;
};
std::array<double, 9> burstThenSwitch(int tables, bool shown, int nameLength = 0, ListCost* listCost = nullptr)
{
    TestGameServer server;
    ConnectionManager connection(false);
    QSignalSpy ready(&connection, &ConnectionManager::versionCheckComplete);
    connection.connectToHost(QStringLiteral("127.0.0.1"), server.listen() ? server.port() : 1);
    LobbyController controller(&connection, nullptr);
    QTabWidget tabs;
    tabs.addTab(new QWidget, QStringLiteral("Other"));
    std::unique_ptr<LobbyWindow> lobby(controller.createLobbyWindow());
    tabs.addTab(lobby.get(), QStringLiteral("Tables"));
    tabs.setCurrentIndex(shown ? 1 : 0);
    tabs.resize(900, 700);
    tabs.show();
    if (!ready.wait(5000) || !QTest::qWaitForWindowExposed(&tabs))
        return {};
    TestFrame list(153), updates(154), marker(143);
    QByteArray separate, removals;
    list.u32(quint32(tables));
    updates.u32(quint32(tables));
    for (quint32 id = 1; id <= quint32(tables); ++id) {
        const QByteArray name = "Table " + QByteArray::number(id);
        list.u32(id).str("101/Regular").str(nameLength ? name.leftJustified(nameLength, '.') : name).u16(4).u16(id % 4).u32(2);
        list.str("RULESET").u8(1).u32(4).u32(id % 3).str("GAME_TYPE").u8(1).u32(4).u32(0); // shown by the filter
        updates.u32(id).u16((id + 1) % 4).u32(0).u32(0);
        separate += TestFrame(144).u32(id).u16((id + 2) % 4).u32(0).u32(0).toBytes();
        removals += TestFrame(147).u32(1 + (id * 7919) % quint32(tables)).toBytes();
    }
    marker.u32(quint32(tables + 1)).str("101/Regular").str("Marker").u16(4).u16(0).u32(0);
    // Until `done`, and a while after for the column measure that follows rows.
    const auto longestTurn = [&](const std::function<void()>& act, const std::function<bool()>& done) {
        qint64 longest = 0;
        QElapsedTimer turn;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, turn.nsecsElapsed()), turn.start(); });
        tick.start(0);
        turn.start();
        act();
        for (QDeadlineTimer deadline(60000); !done() && !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(300);
        return double(longest) / 1e6;
    };
    TableModel* model = controller.tableModel();
    PingProbe pings(server);
    const QByteArray listBytes = list.toBytes();
    const processmemory::PeakGrowth peak;
    QElapsedTimer listed;
    listed.start();
    const double listTurn = longestTurn([&] { server.sendRaw(listBytes); }, [&] {
        const bool done = model->rowCount() >= tables;
        if (done && listCost && listCost->ms == 0)
            *listCost = {listBytes.size() / 1e6, double(listed.nsecsElapsed()) / 1e6, peak.kb() / 1024.0};
        return done;
    });
    const double updateTurn = longestTurn([&] { server.send(updates), server.send(marker); },
                                          [&] { return model->hasTableInfo(tables + 1); });
    const double separateTurn = longestTurn([&] { server.sendRaw(separate); },
                                            [&] { return model->tableInfo(tables).capacity.seated() == (tables + 2) % 4; });
    QTabBar* bar = tabs.tabBar();
    const double switchTurn = shown ? 0.0 : longestTurn([&] { QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center()); },
                                          [&] { return lobby->treeView()->isVisible(); });
    const double pingBefore = pings.longestMs();
    pings.restart();
    QByteArray reuse;
    std::vector<qint32> reused;
    for (quint32 i = 0; i < quint32(tables / 50); ++i) {
        const quint32 id = 1 + (i * 7919) % quint32(tables);
        reused.push_back(qint32(id));
        reuse += TestFrame(147).u32(id).toBytes();
        reuse += TestFrame(143).u32(id).str("101/Regular").str("Table " + QByteArray::number(id) + " again").u16(4).u16(1)
                     .u32(2).str("RULESET").u8(1).u32(4).u32(id % 3).str("GAME_TYPE").u8(1).u32(4).u32(0).toBytes();
    }
    const double reuseTurn = longestTurn([&] { server.sendRaw(reuse), pings.ping(); }, [&] {
        return model->rowCount() == tables + 1 && std::all_of(reused.begin(), reused.end(), [&](qint32 id) {
                   return model->rowOfTable(id) >= 0 && model->tableInfo(id).name.endsWith(QLatin1String("again")); // held: it has a row
               });
    });
    const double pingReuse = pings.longestMs();
    pings.restart();
    const double removalTurn = longestTurn([&] { server.sendRaw(removals), pings.ping(); },
                                           [&] { return model->rowCount() == 1; });
    tabs.removeTab(1);
    return {listTurn, updateTurn, separateTurn, switchTurn, removalTurn, pings.longestMs(), pingBefore, reuseTurn, pingReuse};
}

/// Milliseconds to close a shown lobby over `rows` rows of its path and of another that stays, alternating,
/// and then to release the other path.
std::pair<double, double> closeInterleaved(int rows)
{
    TableModel model(nullptr);
    model.subscribe(QStringLiteral("101/Practice"));
    auto window = std::make_unique<LobbyWindow>();
    window->setModel(&model);
    for (int id = 1; id <= rows; ++id)
        model.addOrUpdateTable(makeTable(id, id % 2 ? QStringLiteral("101/Regular") : QStringLiteral("101/Practice")));
    while (model.rowCount() < rows)
        QCoreApplication::processEvents();
    window->show();
    QElapsedTimer timer;
    timer.start();
    window.reset();
    const double closed = double(timer.nsecsElapsed()) / 1e6;
    timer.start();
    model.unsubscribe(QStringLiteral("101/Practice"));
    return {closed, double(timer.nsecsElapsed()) / 1e6};
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
        while (model.rowCount() < tableCount) // past a turn's share, in later turns
            QCoreApplication::processEvents();
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
        const char* what[] = {"100,000 tables", "100,000 updates", "100,000 update frames in one read", "the first switch",
                              "100,000 removals", "the ping under the removals", "the ping before them",
                              "2,000 ids removed and listed again", "the ping under them"};
        bool met = true;
        for (const bool shown : {false, true}) {
            const auto floor = burstThenSwitch(1000, shown), burst = burstThenSwitch(100000, shown);
            for (int i = 0; i < 9; ++i) {
                if (i != 3 || !shown)
                    std::printf("%s, lobby %s: longest %.1f ms, with 1,000 tables %.1f ms (ratio %.2f)\n", what[i],
                                shown ? "shown" : "hidden", burst[i], floor[i], burst[i] / floor[i]);
            }
            std::printf("  goals: removal turns %.2f of 100 ms, the ping under them %.2f of 1 s; ids listed again: "
                        "turns %.2f of 100 ms, the ping %.2f of 1 s\n",
                        burst[4] / 100, burst[5] / 1000, burst[7] / 100, burst[8] / 1000);
            met = met && burst[4] < 100 && burst[5] < 1000 && burst[7] < 100 && burst[8] < 1000;
        }
        // An honest big lobby of long names: the ping under its list and updates, and under its removals.
        const auto longFloor = burstThenSwitch(1000, true, 100), longNames = burstThenSwitch(75000, true, 100);
        for (const int i : {0, 1, 4, 6, 5})
            std::printf("75,000 tables of 100-character names, %s: longest %.1f ms, with 1,000 %.1f ms (ratio %.2f)\n",
                        what[i] + (i <= 4 ? 8 : 0), longNames[i], longFloor[i], longNames[i] / longFloor[i]);
        std::printf("  goals: the ping under the list and updates %.2f of 1 s, under the removals %.2f of 1 s\n",
                    longNames[6] / 1000, longNames[5] / 1000);
        met = met && longNames[5] < 1000 && longNames[6] < 1000;
        // One list frame past the other frames' 16 MiB.
        ListCost big, small;
        burstThenSwitch(1000, true, 230, &small);
        const auto bigTurns = burstThenSwitch(100000, true, 230, &big);
        std::printf("a list frame of %.1f MB: shown after %.0f ms, %.2f us a kB, peak memory +%.0f MB (%.2f x the frame); "
                    "one of %.2f MB: %.2f us a kB (ratio %.2f); longest turn %.1f ms, the ping %.0f ms\n",
                    big.mb, big.ms, big.ms / big.mb, big.peakMb, big.peakMb / big.mb, small.mb, small.ms / small.mb,
                    (big.ms / big.mb) / (small.ms / small.mb), bigTurns[0], bigTurns[6]);
        met = met && big.ms > 0;
        const auto close = closeInterleaved(20000), closeFloor = closeInterleaved(2000);
        std::printf("closing the lobby over 20,000 rows of two alternating paths: %.1f ms, over 2,000 %.1f ms (ratio %.2f);"
                    " then the other path: %.1f ms, %.1f ms (ratio %.2f)\n",
                    close.first, closeFloor.first, close.first / closeFloor.first, close.second, closeFloor.second,
                    close.second / closeFloor.second);
        std::fflush(stdout);
        QVERIFY2(met, "a removal turn of 100 ms or more, or a ping answered after 1 s");
    }
};

QTEST_MAIN(LobbyWindowBenchmark)

#include "bench_lobbywindow.moc"
