// Benchmark of the tournaments lobby: 2,000 tournaments, 50 key updates a
// second each for 10 seconds of updates, applied as fast as possible, one
// event-loop turn per second of updates. Prints the mean and 99th
// percentile cost of one update for the model alone and for the model under
// the lobby's sort proxy, each beside the floor of applying the same updates
// to bare records, and the ranking requests sent beside the goal of one per
// tournament per turn. Then, through the test game server and the shown
// tournaments lobby window, the longest turn of the event loop under 2,000
// renames among 5,000 tournaments and under one list of 20,000, beside 200
// renames among 200 and a list of 200, with the ranking requests sent.
// Never fails on timing.
#include "TmntSortFilterProxyModel.h"
#include "TournamentsController.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyWindow.h"

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"

#include "LobbyTestData.h"
#include "TournamentTestData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
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

struct WindowFigures
{
    double renameTurnMs = 0;
    double listTurnMs = 0;
    int requests = 0;
};

/// Through the test game server and the shown lobby window: a list of
/// `count` tournaments, `renames` renames among them in one read, then one
/// list of `listCount` more; the longest turns under the renames and under
/// the second list, and the ranking requests sent over all of it.
WindowFigures throughTheWindow(int count, int renames, int listCount)
{
    namespace TF = TournamentFrames;
    TestGameServer server;
    TournamentScenario answers(server);
    ConnectionManager cm(false);
    QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
    cm.connectToHost(QStringLiteral("127.0.0.1"), server.listen() ? server.port() : 1);
    TournamentsController controller(&cm, nullptr, nullptr);
    std::unique_ptr<TournamentsLobbyWindow> window(controller.createLobbyWindow());
    window->resize(900, 700);
    window->show();
    if (!ready.wait(5000) || !QTest::qWaitForWindowExposed(window.get()))
        return {};
    const auto list = [](int first, int n) {
        QList<TF::Tournament> tournaments;
        for (int id = first; id < first + n; ++id)
            tournaments << TF::tournament(quint32(id), "Tournament " + QByteArray::number(id), 0, 1, 64, 100,
                                          1893456000 + quint32(id) * 60, 3600);
        return TF::snapshotList(tournaments);
    };
    TournamentsLobbyModel* model = controller.lobbyModel();
    lobbytest::longestTurnMs([&] { server.send(list(1, count)); }, [&] { return model->rowCount() >= count; });
    QByteArray renaming;
    for (int i = 0; i < renames; ++i)
        renaming += TF::update(quint32(1 + (i * 7919) % count), {TF::text("NAME", "Renamed " + QByteArray::number(i))})
                        .toBytes();
    renaming += list(count + 1, 1).toBytes();
    const QByteArray second = list(count + 2, listCount).toBytes();
    WindowFigures f;
    f.renameTurnMs = lobbytest::longestTurnMs([&] { server.sendRaw(renaming); },
                                              [&] { return model->hasTournament(count + 1); });
    f.listTurnMs = lobbytest::longestTurnMs([&] { server.sendRaw(second); },
                                            [&] { return model->rowCount() >= count + 1 + listCount; }, 1500);
    f.requests = controller.rankingRequestsSent();
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    // The connection is never opened: its write warnings would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    // The lobby window holds a web view.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
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

    const WindowFigures small = throughTheWindow(200, 200, 200);
    const WindowFigures large = throughTheWindow(5000, 2000, 20000);
    out << QStringLiteral("through the connection and the shown lobby window: 2,000 renames among 5,000 "
                          "tournaments, longest turn %1 ms, 200 among 200 %2 ms (ratio %3); a list of 20,000, "
                          "longest turn %4 ms, a list of 200 %5 ms (ratio %6)\n")
               .arg(large.renameTurnMs, 0, 'f', 1).arg(small.renameTurnMs, 0, 'f', 1)
               .arg(large.renameTurnMs / small.renameTurnMs, 0, 'f', 2).arg(large.listTurnMs, 0, 'f', 1)
               .arg(small.listTurnMs, 0, 'f', 1).arg(large.listTurnMs / small.listTurnMs, 0, 'f', 2);
    out << QStringLiteral("ranking requests: %1 for 25,001 tournaments and 2,000 renames (at most one per "
                          "tournament and second), %2 for 401 tournaments and 200 renames\n")
               .arg(large.requests).arg(small.requests);
    return 0;
}
