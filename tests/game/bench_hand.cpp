// Replays a 200-event hand through the game model many times and prints the
// median time per event. Goal (the run fails when missed): the model's work
// per event does not grow as the hand goes on (discards, melds and wall
// changes accumulate): a discard of the last third of the hand costs less
// than three times one of the first third, plus 0.5 us. The floor is the
// hand's own first third.

#include "GameFixtures.h"
#include "GameModel.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>

using namespace fixtures;
using namespace game_protocol;

namespace {
struct Event
{
    const char* kind;
    std::function<void(GameModel&)> run;
};

constexpr qint32 others[] = {21, 22, 23};

std::vector<Event> hand()
{
    std::vector<Event> events;
    events.push_back({"snapshot", [](GameModel& m) {
                          m.markJoined();
                          m.onGameData(1, server_game_state::INITIAL_STATE,
                                       {player(21, 0, true), player(22, 0, true), player(23, 0, true),
                                        player(ownId, 0, true)},
                                       tableState(), wallState(0, {}));
                      }});
    events.push_back({"start", [](GameModel& m) {
                          m.onStartHand(2, Seating(ownId, 21, 22, 23), {{21, 5, 0}}, true, tableState(),
                                        wallState(4, {pin(2)}));
                      }});
    events.push_back({"deal", [](GameModel& m) {
                          m.onTilesFromWall({bam(1), bam(2), bam(3), bam(4), bam(5), bam(6), bam(7), bam(8), bam(9),
                                             man(1), man(2), man(3), man(4)},
                                            false);
                      }});
    for (qint32 id : others)
        events.push_back({"deal", [id](GameModel& m) { m.onHiddenTilesFromWall(id, 13, false); }});

    int turn = 0;
    while (events.size() < 199) {
        const int seat = turn % 4;
        const tile drawn = tile(std::uint8_t((turn * 7) % 27));
        events.push_back({"turn", [seat](GameModel& m) {
                              m.onPlayerShouldAct(seat == 0 ? ownId : others[seat - 1], span());
                          }});
        if (seat == 0) {
            events.push_back({"draw", [drawn](GameModel& m) { m.onTilesFromWall({drawn}, false); }});
            events.push_back({"discard", [drawn](GameModel& m) { m.onTileDiscarded(ownId, drawn, false); }});
        } else {
            const qint32 id = others[seat - 1];
            events.push_back({"draw", [id](GameModel& m) { m.onHiddenTilesFromWall(id, 1, false); }});
            events.push_back({"discard", [id, drawn](GameModel& m) { m.onTileDiscarded(id, drawn, false); }});
            if (turn % 9 == 5) {
                // the next player pongs the discard
                const qint32 claimer = others[seat % 3];
                events.push_back({"claim", [claimer](GameModel& m) { m.onTileClaimed(claimer); }});
                events.push_back({"meld", [claimer, drawn](GameModel& m) {
                                      m.onMeldDeclared(claimer, claimMeld(meld_type::PONG, drawn));
                                  }});
            }
        }
        ++turn;
    }
    events.resize(199);
    events.push_back({"end", [](GameModel& m) {
                          std::map<qint32, player_score> scores;
                          for (qint32 id : {ownId, 21, 22, 23}) {
                              player_score s;
                              s.pid = id;
                              s.scoreType = id == 21 ? 1 : 0;
                              scores.emplace(id, s);
                          }
                          m.onHandEndScoring(scores, ENDHAND_REASON_1, false);
                      }});
    return events;
}
}

class BenchHand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.game.debug=false"));
        const std::vector<Event> events = hand();
        QCOMPARE(events.size(), size_t(200));
        constexpr int replays = 400;
        // per event index: every replay's time in nanoseconds
        std::vector<std::vector<qint64>> times(events.size());
        QElapsedTimer total;
        total.start();
        for (int r = 0; r < replays; ++r) {
            GameModel model(tableId, table(0), ownId, QStringLiteral("me"));
            QElapsedTimer timer;
            for (size_t i = 0; i < events.size(); ++i) {
                timer.start();
                events[i].run(model);
                times[i].push_back(timer.nsecsElapsed());
            }
            if (r == 0)
                QCOMPARE(model.gameState(), GameModel::GAME_HAND_ENDED);
        }
        const qint64 elapsed = total.elapsed();

        std::vector<double> median(events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            std::vector<qint64>& t = times[i];
            std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
            median[i] = double(t[t.size() / 2]);
        }
        const double all = std::accumulate(median.begin(), median.end(), 0.0) / median.size();
        // discards only, in the first and the last third of the hand
        auto discardMean = [&](size_t from, size_t to) {
            double sum = 0;
            int n = 0;
            for (size_t i = from; i < to; ++i) {
                if (QByteArray(events[i].kind) == "discard") {
                    sum += median[i];
                    ++n;
                }
            }
            return n ? sum / n : 0.0;
        };
        const double early = discardMean(0, events.size() / 3);
        const double late = discardMean(2 * events.size() / 3, events.size());
        std::printf("game model hand replay: %d x %zu events in %lld ms\n", replays, events.size(),
                    static_cast<long long>(elapsed));
        std::printf("  median per event: %.0f ns\n", all);
        std::printf("  discards, first third: %.0f ns, last third: %.0f ns (ratio %.2f)\n", early, late,
                    early > 0 ? late / early : 0.0);
        for (size_t i = 0; i < events.size(); i += 25)
            std::printf("  event %3zu (%s): %.0f ns\n", i, events[i].kind, median[i]);
        QVERIFY2(late < early * 3 + 500, "the cost of a discard grows across the hand");
    }
};

QTEST_GUILESS_MAIN(BenchHand)
#include "bench_hand.moc"
