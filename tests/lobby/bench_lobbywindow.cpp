// The lobby window with 10,000 tables: what one seat change costs, from the
// table model's update to the repainted row on screen, and how much of the
// view it repaints. The peer is a bare QStandardItemModel in a QTreeView of
// the same size and shape, changed and painted the same way in the same run.
#include "LobbyTestData.h"
#include "LobbyWindow.h"
#include "TableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
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
};

QTEST_MAIN(LobbyWindowBenchmark)

#include "bench_lobbywindow.moc"
