// Benchmark of the tournaments lobby: 2,000 tournaments, 50 key updates a
// second each for 10 seconds of updates, applied as fast as possible, one
// event-loop turn per second of updates. Prints the mean and 99th
// percentile cost of one update for the model alone and for the model under
// the lobby's sort proxy, each beside the floor of applying the same updates
// to bare records, and the ranking requests sent beside the goal of one per
// tournament per turn. Then the longest turns through the test game server and the shown lobby window,
// beside the same with 200 tournaments, with the ranking requests sent. Never fails on timing.
#include "TmntSortFilterProxyModel.h"
#include "TournamentsController.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyWindow.h"

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"

#include "TournamentTestData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>
#include <algorithm>
#include <map>
#include <numeric>

namespace {

constexpr int tournaments = 2000;
constexpr int updatesPerSecond = 50;
constexpr int seconds = 10;
/// A pass stops early after this much wall time, to keep the run short.
constexpr qint64 passBudgetNs = 5'000'000'000;

struct Figures
{
    double meanUs = 0;
    double p99Us = 0;
    qint64 applied = 0;
};

Figures summarize(std::vector<qint64>& ns)
{
    Figures f;
    f.applied = qint64(ns.size());
    if (ns.empty())
        return f;
    f.meanUs = std::accumulate(ns.begin(), ns.end(), 0.0) / double(ns.size()) / 1000.0;
    const size_t k = size_t(double(ns.size()) * 0.99);
    std::nth_element(ns.begin(), ns.begin() + qint64(std::min(k, ns.size() - 1)), ns.end());
    f.p99Us = double(ns[std::min(k, ns.size() - 1)]) / 1000.0;
    return f;
}

std::vector<TournamentInfoUpdates> updateSet()
{
    std::vector<TournamentInfoUpdates> set;
    for (int v = 0; v < updatesPerSecond; ++v)
        set.push_back(TournamentTestData::changes({{"REGISTERED", qint32(v)}, {"ACTIVE_PLAYERS", qint32(v / 2)}}));
    return set;
}

/// Runs the schedule: per simulated second one turn with every tournament's
/// 50 updates, interleaved as a server would send them. `apply` is timed.
template<typename Apply, typename Turn>
Figures run(const std::vector<TournamentInfoUpdates>& set, Apply apply, Turn endOfTurn)
{
    std::vector<qint64> ns;
    ns.reserve(size_t(tournaments) * updatesPerSecond * seconds);
    QElapsedTimer wall;
    wall.start();
    QElapsedTimer one;
    for (int s = 0; s < seconds && wall.nsecsElapsed() < passBudgetNs; ++s) {
        for (int u = 0; u < updatesPerSecond; ++u) {
            for (int id = 1; id <= tournaments; ++id) {
                one.start();
                apply(id, set[size_t(u)]);
                ns.push_back(one.nsecsElapsed());
            }
        }
        endOfTurn();
    }
    return summarize(ns);
}

/// The longest turns under `renames` renames among `count` tournaments (one read) and under a list of `more`,
/// through the test game server to the shown lobby window, and the ranking requests sent.
QList<double> throughTheWindow(int count, int renames, int more)
{
    using namespace TournamentFrames;
    TestGameServer server;
    TournamentScenario answers(server);
    ConnectionManager cm(false);
    cm.connectToHost(QStringLiteral("127.0.0.1"), server.listen() ? server.port() : 1);
    TournamentsController controller(&cm, nullptr, nullptr);
    std::unique_ptr<TournamentsLobbyWindow> window(controller.createLobbyWindow());
    window->show();
    QList<Tournament> all;
    for (int id = 1; id <= count + 1 + more; ++id)
        all << tournament(quint32(id), "Cup " + QByteArray::number(id), 0, 1, 64, 0, 1893456000, 3600);
    QByteArray renaming, first = snapshotList(all.mid(0, count)).toBytes();
    const QByteArray second = snapshotList(all.mid(count + 1)).toBytes();
    for (int i = 0; i < renames; ++i)
        renaming += update(quint32(1 + i * 7919 % count), {text("NAME", QByteArray::number(i))}).toBytes();
    renaming += snapshot(all[count]).toBytes();
    // The longest pass of the event loop in ms until the lobby holds `rows` tournaments, and 300 ms after.
    const auto longestTurn = [&](const QByteArray& bytes, int rows) {
        qint64 longest = 0;
        QElapsedTimer turn, settle;
        for (server.sendRaw(bytes), turn.start(); !settle.isValid() || !settle.hasExpired(300); turn.start()) {
            QCoreApplication::processEvents();
            longest = std::max(longest, turn.nsecsElapsed());
            if (!settle.isValid() && controller.lobbyModel()->rowCount() >= rows)
                settle.start();
        }
        return double(longest) / 1e6;
    };
    if (!QTest::qWaitFor([&] { return server.hasClient(); }))
        return {0, 0, 0};
    longestTurn(first, count);
    return {longestTurn(renaming, count + 1), longestTurn(second, count + 1 + more), double(controller.rankingRequestsSent())};
}

} // namespace

int main(int argc, char** argv)
{
    // The connection is never opened: its write warnings would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // the lobby window holds a web view
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const auto set = updateSet();

    // Floor: the same updates on bare records in a map.
    std::map<qint32, TournamentInfo> bare;
    for (int id = 1; id <= tournaments; ++id)
        bare[id] = TournamentTestData::tournament(id, QStringLiteral("Tournament %1").arg(id), 0);
    const Figures floor = run(set, [&](int id, const TournamentInfoUpdates& u) { bare[id].applyUpdates(u); }, [] {});

    // The model alone.
    TournamentsLobbyModel model;
    for (int id = 1; id <= tournaments; ++id)
        model.addOrUpdateTournament(TournamentTestData::tournament(id, QStringLiteral("Tournament %1").arg(id), 0));
    const Figures alone = run(set, [&](int id, const TournamentInfoUpdates& u) { model.updateTournamentInfo(id, u); },
                              [] {});

    // The controller's model under the lobby's proxy, fed through the
    // connection manager's signal as the server would; ranking requests are counted.
    ConnectionManager cm(false);
    TournamentsController controller(&cm, nullptr, nullptr);
    TmntSortFilterProxyModel proxy;
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(controller.lobbyModel());
    proxy.sort(TournamentsLobbyModel::StartColumn, Qt::AscendingOrder);
    for (int id = 1; id <= tournaments; ++id)
        Q_EMIT cm.tournamentInfoUpdate(
            TournamentTestData::tournament(id, QStringLiteral("Tournament %1").arg(id), 0, 1, 64, 100 * id,
                                           1893456000 + id * 60));
    QCoreApplication::processEvents();
    const int requestsBefore = controller.rankingRequestsSent();
    int turns = 0;
    const Figures proxied = run(
        set,
        [&](int id, const TournamentInfoUpdates& u) { Q_EMIT cm.tournamentInfoUpdate(qint32(id), u); },
        [&] {
            ++turns;
            QCoreApplication::processEvents();
        });
    const int requests = controller.rankingRequestsSent() - requestsBefore;

    out << "tournaments " << tournaments << ", " << updatesPerSecond << " updates/s each, " << seconds
        << " s of updates, one event-loop turn per second of updates\n";
    out << QStringLiteral("floor (bare records): mean %1 us, p99 %2 us, %3 updates\n")
               .arg(floor.meanUs, 0, 'f', 3).arg(floor.p99Us, 0, 'f', 3).arg(floor.applied);
    out << QStringLiteral("model: mean %1 us (%2 x floor), p99 %3 us (%4 x floor), %5 updates\n")
               .arg(alone.meanUs, 0, 'f', 3).arg(alone.meanUs / floor.meanUs, 0, 'f', 1)
               .arg(alone.p99Us, 0, 'f', 3).arg(alone.p99Us / floor.p99Us, 0, 'f', 1).arg(alone.applied);
    out << QStringLiteral("model + proxy + controller: mean %1 us (%2 x floor, %3 x model), p99 %4 us (%5 x floor), "
                          "%6 updates\n")
               .arg(proxied.meanUs, 0, 'f', 3).arg(proxied.meanUs / floor.meanUs, 0, 'f', 1)
               .arg(proxied.meanUs / alone.meanUs, 0, 'f', 2).arg(proxied.p99Us, 0, 'f', 3)
               .arg(proxied.p99Us / floor.p99Us, 0, 'f', 1).arg(proxied.applied);
    out << QStringLiteral("ranking requests: %1 for %2 updates in %3 turns = %4 per tournament per turn (goal <= 1), "
                          "%5 per update\n")
               .arg(requests).arg(proxied.applied).arg(turns)
               .arg(turns ? double(requests) / (double(tournaments) * turns) : 0.0, 0, 'f', 3)
               .arg(proxied.applied ? double(requests) / double(proxied.applied) : 0.0, 0, 'f', 5);
    const auto small = throughTheWindow(200, 200, 200), large = throughTheWindow(5000, 2000, 20000);
    out << QStringLiteral("through the connection and the shown window: 2,000 renames among 5,000 tournaments, longest turn "
                          "%1 ms, 200 among 200 %2 ms (ratio %3); a list of 20,000 %4 ms, of 200 %5 ms (ratio %6); "
                          "ranking requests %7 for 25,001 tournaments, %8 for 401\n")
               .arg(large[0]).arg(small[0]).arg(large[0] / small[0]).arg(large[1]).arg(small[1])
               .arg(large[1] / small[1]).arg(large[2]).arg(small[2]);
    return 0;
}
