// Money rules and the exact texts of rules, time limits, money and tooltips.
#include "RulesetGameTypePair.h"
#include "TableInfo.h"
#include "TableInfoTexts.h"
#include "TableTexts.h"
#include "ValueColumnType.h"

#include <QLocale>
#include <QTest>

#include <limits>

namespace {
ValueColumnType money(int kind, int bet, int fee, int players, int rake = 0, std::array<int, 4> bonus = {})
{
    ValueColumnType v;
    v.kind = kind;
    v.bet = bet;
    v.fee = fee;
    v.players = players;
    v.rakePercent = rake;
    v.bonus = bonus;
    return v;
}

TableInfo table(int ruleset, int gameType, int speed, const ValueColumnType& v)
{
    TableInfo info;
    info.tableId = 11;
    info.name = QStringLiteral("Bamboo Grove");
    info.lobbyPath = QStringLiteral("101/Regular");
    info.ruleset = ruleset;
    info.gameType = gameType;
    info.speed = speed;
    info.capacity = TableCapacity(v.players, 2, 1);
    info.value.setSettlement(v.kind);
    info.value.setBet(v.bet);
    info.value.setFee(v.fee);
    info.value.setPlayers(v.players);
    info.value.setRakePercent(v.rakePercent);
    info.value.setBonusTable({v.bonus[0], v.bonus[1], v.bonus[2], v.bonus[3]});
    return info;
}
}

class TableTextsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void plainTexts();
    void rulesAndTimeTexts_data();
    void rulesAndTimeTexts();

    void freeTable();
    void kindOneWithFeedingPenalty();
    void kindTwoStakeOnly();
    void kindThreeWithPlaceBonuses();
    void kindOneTwoPlayersNoFeeding();
    void stakeAndFeeVariants();
    void fromTableValue();

    void oddRecordsGetSaneTexts();
    void overflowIsAvoided();

    void valueTexts();
    void toolTips();
};

void TableTextsTest::plainTexts()
{
    QCOMPARE(gameTypeText(2), QStringLiteral("Full game"));
    QCOMPARE(gameTypeText(7), QStringLiteral("<undefined>"));
    QCOMPARE(rulesetText(-1), QStringLiteral("<undefined>"));
    QCOMPARE(timeLimitText(15999), QStringLiteral("15 second(s)"));
    QCOMPARE(timeLimitText(30000), QStringLiteral("30 second(s)"));
    QCOMPARE(timeLimitText(-1), QStringLiteral("0 second(s)"));
    QCOMPARE(timeLimitText(-5000), QStringLiteral("<unknown>"));
    QCOMPARE(moneyText(150), QStringLiteral("$1.50"));
    QCOMPARE(moneyText(100000), QStringLiteral("$1,000"));
    QCOMPARE(moneyText(0), QStringLiteral("$0"));
    QCOMPARE(moneyText(-250), QStringLiteral("$-2.50"));
    QCOMPARE(moneyText(-300), QStringLiteral("$-3"));
    QCOMPARE(moneyText(123456789), QStringLiteral("$1,234,567.89"));
    QCOMPARE(moneyOrDash(0), QStringLiteral("-"));
    QCOMPARE(moneyOrDash(5), QStringLiteral("$0.05"));
    QCOMPARE(moneyOrFree(0), QStringLiteral("free"));
    QCOMPARE(moneyOrFree(200), QStringLiteral("$2"));
}

void TableTextsTest::rulesAndTimeTexts_data()
{
    QTest::addColumn<int>("ruleset");
    QTest::addColumn<int>("gameType");
    QTest::addColumn<QString>("rules");
    QTest::newRow("classic single") << 0 << 0 << "Classic single hand";
    QTest::newRow("international tournament") << 1 << 1 << "International tournament";
    QTest::newRow("riichi full") << 2 << 2 << "Riichi full game";
    QTest::newRow("unknown ruleset") << 3 << 0 << "<undefined> single hand";
    QTest::newRow("unknown game type") << 2 << -1 << "Riichi<undefined>";
}

void TableTextsTest::rulesAndTimeTexts()
{
    QFETCH(int, ruleset);
    QFETCH(int, gameType);
    QFETCH(QString, rules);
    QCOMPARE((RulesetGameTypePair{ruleset, gameType}.toString()), rules);
}

void TableTextsTest::freeTable()
{
    const auto v = money(0, 0, 0, 4);
    QCOMPARE(v.buyInTotalText(), QStringLiteral("free"));
    QCOMPARE(v.maxWinText(), QStringLiteral("-"));
    QVERIFY(v.isFree());
    QCOMPARE(v.maxWin(), 0);
    // Kind 0 is free whatever stake the record carries.
    QVERIFY(money(0, 500, 20, 4).isFree());
    QCOMPARE(money(0, 500, 20, 4).buyInTotal(), 0);
}

void TableTextsTest::kindOneWithFeedingPenalty()
{
    const auto v = money(1, 100, 10, 4, 5);
    QCOMPARE(v.buyInTotal(), 110);
    QCOMPARE(v.stake(), 100);
    QCOMPARE(v.feedingPenalty(), 100);
    QVERIFY(v.hasFeedingPenalty());
    QCOMPARE(v.maxLoss(), 210);
    QVERIFY(!v.isFree());
    QCOMPARE(v.pot(), 400);
    QCOMPARE(v.maxWin(), 380);
    QCOMPARE(v.buyInText(), QStringLiteral("$1 ($2) + $0.10"));
    QCOMPARE(v.buyInTotalText(), QStringLiteral("$1.10"));
    QCOMPARE(v.maxWinText(), QStringLiteral("$3.80"));
    QCOMPARE(v.feedingPenaltyText(), QStringLiteral("$1"));
}

void TableTextsTest::kindTwoStakeOnly()
{
    const auto v = money(2, 100, 0, 4);
    QCOMPARE(v.maxLoss(), 100);
    QCOMPARE(v.buyInText(), QStringLiteral("$1"));
    QVERIFY(!v.hasFeedingPenalty());
    QCOMPARE(v.feedingPenaltyText(), QStringLiteral("free"));
}

void TableTextsTest::kindThreeWithPlaceBonuses()
{
    const auto v = money(3, 1000, 0, 4, 10, {50, 0, -20, -30});
    QCOMPARE(v.maxLoss(), 1030);
    QVERIFY(v.hasPlaceBonus());
    // Pot 4000 less 10% = 3600; with the 1st place bonus 4050 less 10% = 3645.
    QCOMPARE(v.maxWin(), 3600);
    QCOMPARE(v.maxWinText(), QStringLiteral("$36 ($36.45)"));
    QCOMPARE(v.placeBonusTexts(),
             (QStringList{"1st $0.50", "2nd $0", "3rd $-0.20", "4th $-0.30"}));
    QCOMPARE(v.buyInText(), QStringLiteral("$10 ($10.30)"));
}

void TableTextsTest::kindOneTwoPlayersNoFeeding()
{
    const auto v = money(1, 100, 0, 2);
    QCOMPARE(v.feedingPenalty(), 0);
    QVERIFY(!v.hasFeedingPenalty());
    QCOMPARE(v.maxLoss(), 100);
    QCOMPARE(v.buyInText(), QStringLiteral("$1"));
}

void TableTextsTest::stakeAndFeeVariants()
{
    QCOMPARE(money(2, 100, 0, 4).stakeAndFeeText(), QStringLiteral("$1"));
    QCOMPARE(money(2, 0, 25, 4).stakeAndFeeText(), QStringLiteral("$0.25"));
    QCOMPARE(money(2, 100, 25, 4).stakeAndFeeText(), QStringLiteral("$1 + $0.25"));
    QCOMPARE(money(2, 100, 25, 4).buyInText(), QStringLiteral("$1 + $0.25"));
    QCOMPARE(money(0, 0, 0, 4).stakeAndFeeText(), QStringLiteral("free"));
    // Kind 1, no fee, four players: stake $2, maximum loss $4.
    QCOMPARE(money(1, 200, 0, 4).buyInText(), QStringLiteral("$2 ($4)"));
}

void TableTextsTest::fromTableValue()
{
    TableValue value;
    value.setSettlement(3);
    value.setBet(700);
    value.setBonusTable({40, 10, -20, -30});
    value.setFee(15);
    value.setRakePercent(3);
    value.setPlayers(4);
    const ValueColumnType v(value);
    QCOMPARE(v.kind, 3);
    QCOMPARE(v.bet, 700);
    QCOMPARE(v.bonus, (std::array<int, 4>{40, 10, -20, -30}));
    QCOMPARE(v.fee, 15);
    QCOMPARE(v.rakePercent, 3);
    QCOMPARE(v.players, 4);
    QCOMPARE(ValueColumnType(TableValue()), ValueColumnType());
}

void TableTextsTest::oddRecordsGetSaneTexts()
{
    // Six paying places but only four bonuses in the record: four texts.
    const auto six = money(3, 100, 0, 6, 0, {30, 10, -10, -30});
    QCOMPARE(six.placeBonusTexts().size(), 4);
    QCOMPARE(six.placeBonusTexts().last(), QStringLiteral("4th $-0.30"));
    // No seats (or a negative count from a broken record): no place texts.
    QVERIFY(money(3, 100, 0, 0, 0, {30, 10, -10, -30}).placeBonusTexts().isEmpty());
    QVERIFY(money(3, 100, 0, -1, 0, {30, 10, -10, -30}).placeBonusTexts().isEmpty());

    TableInfo info = table(0, 0, 20000, money(3, 100, 0, 0, 0, {30, 10, -10, -30}));
    info.capacity = TableCapacity(0, 0, 0);
    const QString tip = tableToolTip(info);
    QVERIFY(!tip.contains(QStringLiteral("Place bonus")));
    QVERIFY(tip.startsWith(QStringLiteral("Bamboo Grove\n0 of 0 players seated\n")));
}

void TableTextsTest::overflowIsAvoided()
{
    const auto v = money(1, 2000000000, 2000000000, 2000000000, 1);
    QCOMPARE(v.buyInTotal(), Q_INT64_C(4000000000));
    QVERIFY(v.maxWin() > 0);
    QVERIFY(!v.buyInText().isEmpty());
    // The player count less two must not wrap around for a broken record.
    const auto negative = money(1, 100, 0, std::numeric_limits<int>::min());
    QCOMPARE(negative.feedingPenalty(), (qint64(std::numeric_limits<int>::min()) - 2) * 100 / 2);
    QCOMPARE(negative.maxLoss(), 100 + (qint64(std::numeric_limits<int>::min()) - 2) * 100 / 2);
}

void TableTextsTest::valueTexts()
{
    QVERIFY(tableValueText(table(0, 0, 20000, money(0, 0, 0, 4))).isNull());
    QCOMPARE(tableValueText(table(0, 0, 20000, money(1, 100, 10, 4, 5))),
             QStringLiteral("buy-in: $1 + $0.10 max win: $3.80"));
    QCOMPARE(tableValueText(table(0, 0, 20000, money(2, 100, 0, 4))), QStringLiteral("buy-in: $1 max win: $4"));
    // A kind the money rules do not know: the buy-in text only.
    QCOMPARE(tableValueText(table(0, 0, 20000, money(5, 100, 0, 4))), QStringLiteral("buy-in: free"));
    QCOMPARE(tableRulesText(table(2, 2, 1000, money(0, 0, 0, 4))), QStringLiteral("Riichi full game"));
}

void TableTextsTest::toolTips()
{
    QCOMPARE(tableToolTip(table(0, 2, 20000, money(0, 0, 0, 4))),
             QStringLiteral("Bamboo Grove\n2 of 4 players seated\nClassic full game - 20 second(s)\nBuy-in: free"));
    QCOMPARE(tableToolTip(table(1, 0, 15999, money(1, 100, 10, 4, 5))),
             QStringLiteral("Bamboo Grove\n2 of 4 players seated\nInternational single hand - 15 second(s)\n"
                            "Buy-in: $1 ($2) + $0.10\nMax win: $3.80\nFeeding penalty: $1"));
    QCOMPARE(tableToolTip(table(2, 2, 30000, money(3, 1000, 0, 4, 10, {50, 0, -20, -30}))),
             QStringLiteral("Bamboo Grove\n2 of 4 players seated\nRiichi full game - 30 second(s)\n"
                            "Buy-in: $10 ($10.30)\nMax win: $36 ($36.45)\n"
                            "Place bonus: 1st $0.50, 2nd $0, 3rd $-0.20, 4th $-0.30"));
    // Placeholders in a server name stay as they are.
    TableInfo odd = table(0, 0, 1000, money(0, 0, 0, 4));
    odd.name = QStringLiteral("%1 %2 table");
    QVERIFY(tableToolTip(odd).startsWith(QStringLiteral("%1 %2 table\n2 of 4 players seated\n")));
}

QTEST_MAIN(TableTextsTest)
#include "tst_tabletexts.moc"
