// Typed cells, the shared ordering and the seat icons.
#include "CustomItem.h"
#include "CustomItemBase.h"
#include "ItemFactory.h"
#include "LobbyMetaTypes.h"
#include "LobbyRoles.h"
#include "RulesetGameTypePair.h"
#include "TableCapacity.h"
#include "TableCapacityDelegate.h"
#include "TableCapacityItem.h"
#include "TableCapacityPainter.h"
#include "TableCapacityWidget.h"
#include "TournamentRegisteredInfo.h"
#include "ValueColumnType.h"
#include "VariantLessThan.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTest>

#include <algorithm>
#include <limits>
#include <functional>
#include <memory>

class TypedItemsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void valueTypesAreRegisteredByName();
    void customItemPublishesValueAndText();
    void customItemWithoutFormatterThrows();
    void customItemInViewsMultiData();
    void plainItemsHaveNoTypedValue();
    void factoriesMakeReadOnlyItems();

    void intCellsSortByValueNotText();
    void rulesSortByTranslatedText();
    void buyInSortsByTotal();
    void tournamentPlayersOrder();
    void builtInTypesAndMixedTypes();
    void orderingIsStrictForSorting();
    void keysSortAsTheValues_data();
    void keysSortAsTheValues();

    void capacityOrderAndText();
    void capacityLayout_data();
    void capacityLayout();
    void capacityLayoutClipsAbsurdCounts();
    void seatsBeyondTheCellAreStillDrawn();
    void delegateFillsSelectedCell();
    void widgetSizeHint();
};

namespace {
// Non-transparent pixels of the image in columns [left, left + width).
int drawnPixels(const QImage& image, int left, int width)
{
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, image.width()); ++x)
            drawn += qAlpha(image.pixel(x, y)) != 0;
    return drawn;
}
}

void TypedItemsTest::initTestCase()
{
    // The seat images come from the resource search path, as in the program.
    QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(PARLOR_SOURCE_DIR "/resources/default")});
    QVERIFY(!QPixmap(QStringLiteral("resources:/cap-human.png")).isNull());
}

void TypedItemsTest::valueTypesAreRegisteredByName()
{
    registerLobbyMetaTypes();
    registerLobbyMetaTypes();
    for (const char* name : {"RulesetGameTypePair", "ValueColumnType", "TournamentRegisteredInfo", "TableCapacity"})
        QVERIFY2(QMetaType::fromName(name).isValid(), name);
    QCOMPARE(QMetaType::fromName("ValueColumnType"), QMetaType::fromType<ValueColumnType>());
}

void TypedItemsTest::customItemPublishesValueAndText()
{
    CustomItem<int> item(30000, [](const int& ms) { return QString::number(ms / 1000) + "s"; });
    QCOMPARE(item.data(Qt::DisplayRole).toString(), QStringLiteral("30s"));
    QCOMPARE(item.data(TypedValueRole), QVariant(30000));
    item.setData(7, Qt::UserRole);
    item.setToolTip(QStringLiteral("tip"));
    QCOMPARE(item.data(Qt::UserRole).toInt(), 7);
    QCOMPARE(item.data(Qt::ToolTipRole).toString(), QStringLiteral("tip"));

    item.setValue(5000, false);
    QCOMPARE(item.data(Qt::DisplayRole).toString(), QStringLiteral("5s"));
    QCOMPARE(item.data(TypedValueRole).toInt(), 5000);
}

void TypedItemsTest::customItemWithoutFormatterThrows()
{
    CustomItem<int> item(1, {});
    QVERIFY_THROWS_EXCEPTION(std::bad_function_call, item.data(Qt::DisplayRole));
    QCOMPARE(item.data(TypedValueRole).toInt(), 1);
}

void TypedItemsTest::customItemInViewsMultiData()
{
    // Views ask for several roles at once; the typed text must come through.
    QStandardItemModel model;
    model.appendRow(makeCustomItem<int>(15000, QStringLiteral("tip"), [](const int& v) { return QString::number(v); }));
    QVariant display;
    QVariant typed;
    QVariant tip;
    QModelRoleData roles[] = {QModelRoleData(Qt::DisplayRole), QModelRoleData(TypedValueRole),
                              QModelRoleData(Qt::ToolTipRole)};
    model.multiData(model.index(0, 0), roles);
    QCOMPARE(roles[0].data().toString(), QStringLiteral("15000"));
    QCOMPARE(roles[1].data().toInt(), 15000);
    QCOMPARE(roles[2].data().toString(), QStringLiteral("tip"));
}

void TypedItemsTest::plainItemsHaveNoTypedValue()
{
    std::unique_ptr<QStandardItem> item(makeItem(QStringLiteral("name"), QString(), Qt::AlignLeft));
    QVERIFY(!item->data(TypedValueRole).isValid());
}

void TypedItemsTest::factoriesMakeReadOnlyItems()
{
    std::unique_ptr<QStandardItem> text(makeItem(QStringLiteral("a"), QStringLiteral("t"), Qt::AlignHCenter));
    QVERIFY(!text->isEditable());
    QCOMPARE(text->textAlignment(), Qt::AlignHCenter);
    QCOMPARE(text->toolTip(), QStringLiteral("t"));

    std::unique_ptr<QStandardItem> number(makeItem(12, QString(), Qt::AlignRight));
    QCOMPARE(number->data(Qt::DisplayRole).typeId(), int(QMetaType::Int));

    std::unique_ptr<QStandardItem> real(makeItem(1.5, QString()));
    QCOMPARE(real->textAlignment(), Qt::AlignRight);
    QCOMPARE(real->data(Qt::DisplayRole).toDouble(), 1.5);

    std::unique_ptr<QStandardItem> typed(makeItem(3, QStringLiteral("x"), [](const int& v) { return QString::number(v); }));
    QVERIFY(!typed->isEditable());
    QCOMPARE(typed->textAlignment(), Qt::AlignLeft);

    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4));
    std::unique_ptr<QStandardItem> date(makeItem(when, QString(), [](const QDateTime& d) { return d.toString(); }));
    QCOMPARE(date->data(TypedValueRole).toDateTime(), when);
}

void TypedItemsTest::intCellsSortByValueNotText()
{
    QVERIFY(variantLessThan(QVariant(5000), QVariant(30000)));
    QVERIFY(!variantLessThan(QVariant(30000), QVariant(5000)));
    // As texts "30000" < "5000"; the ordering must not look at texts for ints.
    QStandardItemModel model;
    model.appendRow(makeItem(30000, QString(), [](const int& v) { return QString::number(v); }));
    model.appendRow(makeItem(5000, QString(), [](const int& v) { return QString::number(v); }));
    QVERIFY(variantLessThan(model.index(1, 0).data(TypedValueRole), model.index(0, 0).data(TypedValueRole)));
}

void TypedItemsTest::rulesSortByTranslatedText()
{
    const auto classicFull = QVariant::fromValue(RulesetGameTypePair{0, 2});
    const auto riichiSingle = QVariant::fromValue(RulesetGameTypePair{2, 0});
    const auto undefinedRules = QVariant::fromValue(RulesetGameTypePair{3, 0});
    QVERIFY(variantLessThan(classicFull, riichiSingle));
    QVERIFY(!variantLessThan(riichiSingle, classicFull));
    // "<undefined> single hand" sorts by its text: '<' comes before letters.
    QVERIFY(variantLessThan(undefinedRules, classicFull));
    QCOMPARE(RulesetGameTypePair{}.toString(), QStringLiteral("Classic single hand"));
}

void TypedItemsTest::buyInSortsByTotal()
{
    ValueColumnType cheap;
    cheap.kind = 1;
    cheap.bet = 100;
    cheap.fee = 10;
    ValueColumnType dear;
    dear.kind = 2;
    dear.bet = 90;
    dear.fee = 30;
    ValueColumnType free; // kind 0: total 0 whatever the bet
    free.bet = 100000;
    const auto c = QVariant::fromValue(cheap);
    const auto d = QVariant::fromValue(dear);
    const auto f = QVariant::fromValue(free);
    QVERIFY(variantLessThan(c, d));
    QVERIFY(!variantLessThan(d, c));
    QVERIFY(variantLessThan(f, c));
}

void TypedItemsTest::tournamentPlayersOrder()
{
    const auto p38 = QVariant::fromValue(TournamentRegisteredInfo{3, 8});
    const auto p56 = QVariant::fromValue(TournamentRegisteredInfo{5, 6});
    const auto p58 = QVariant::fromValue(TournamentRegisteredInfo{5, 8});
    QVERIFY(variantLessThan(p38, p56));
    QVERIFY(variantLessThan(p56, p58));
    QVERIFY(!variantLessThan(p56, p38));
    QVERIFY(!variantLessThan(p56, p56));
}

void TypedItemsTest::builtInTypesAndMixedTypes()
{
    QVERIFY(variantLessThan(QVariant(qint64(-5)), QVariant(qint64(3))));
    QVERIFY(variantLessThan(QVariant(1.5), QVariant(2.25)));
    QVERIFY(variantLessThan(QVariant(QDate(2020, 1, 1)), QVariant(QDate(2021, 1, 1))));
    QVERIFY(variantLessThan(QVariant(QDateTime(QDate(2020, 1, 1), QTime(9, 0))),
                            QVariant(QDateTime(QDate(2020, 1, 1), QTime(10, 0)))));
    QVERIFY(variantLessThan(QVariant(QStringLiteral("Apple")), QVariant(QStringLiteral("apple"))));
    // A registered value against another type falls back to text, where it is empty.
    QVERIFY(variantLessThan(QVariant::fromValue(RulesetGameTypePair{}), QVariant(QStringLiteral("x"))));
}

void TypedItemsTest::orderingIsStrictForSorting()
{
    const QVariant invalid;
    QVERIFY(!variantLessThan(invalid, invalid));
    QVERIFY(variantLessThan(invalid, QVariant(1)));
    QVERIFY(!variantLessThan(QVariant(1), invalid));

    // Sorting a mix with gaps must be well defined and stable in result.
    QList<QVariant> values{QVariant(3), invalid, QVariant(1), invalid, QVariant(2)};
    std::sort(values.begin(), values.end(), variantLessThan);
    QVERIFY(!values[0].isValid());
    QVERIFY(!values[1].isValid());
    QCOMPARE(values[2].toInt(), 1);
    QCOMPARE(values[4].toInt(), 3);
}

void TypedItemsTest::keysSortAsTheValues_data()
{
    QTest::addColumn<QString>("locale"); // the default locale
    QTest::addColumn<QVariantList>("values");

    const QString name = QStringLiteral("Sunday Cup of the Eastern Provinces, Open Division ");
    QVariantList texts;
    for (const char* text : {"", " ", "!", "10", "9", "a", "A", "apple", "Apple", "APPLE", "äpple", "Äpple", "zebra",
                             "Zebra", "éclair", "e\u0301clair", "eclair", "ß", "ss", "ﬃ", "ffi", "Ω", "ω", "中文", "日本",
                             "にほん", "ニホン", "Sunday Cup 12 of 64", "Sunday Cup 3 of 64", "😀", "\uFFFD"})
        texts << QString::fromUtf8(text);
    texts << name << name + "A" << name + "b" << name + "B";
    for (const char* locale : {"C", "en_US", "de_DE", "sv_SE", "ja_JP", "zh_CN"})
        QTest::newRow(locale) << locale << texts;
    constexpr int intMax = std::numeric_limits<int>::max(), intMin = std::numeric_limits<int>::min();
    constexpr qint64 longMax = std::numeric_limits<qint64>::max(), longMin = std::numeric_limits<qint64>::min();
    const auto list = [](auto... values) { return QVariantList{QVariant::fromValue(values)...}; };
    QTest::newRow("numbers") << "en_US" << list(longMin, qint64(-1), qint64(0), qint64(intMax) + 1, longMax);
    QTest::newRow("times") << "en_US" << list(QDateTime(), QDateTime::fromSecsSinceEpoch(-86400, Qt::UTC),
                                              QDateTime::fromSecsSinceEpoch(0, Qt::UTC), QDateTime::fromSecsSinceEpoch(1893456000));
    QTest::newRow("rules") << "de_DE" << list(RulesetGameTypePair{0, 2}, RulesetGameTypePair{2, 0}, RulesetGameTypePair{3, 0});
    QTest::newRow("seats") << "en_US" << list(TableCapacity(4, 2, 0), TableCapacity(3, 3, 0), TableCapacity(4, 2, 1),
                                              TableCapacity(4, 2, -1), TableCapacity(4, intMin, intMax), TableCapacity(intMax, 0, 0));
}

void TypedItemsTest::keysSortAsTheValues()
{
    QFETCH(QString, locale);
    QFETCH(QVariantList, values);
    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    const auto cell = [](const QVariant& v) -> QStandardItem* {
        const auto none = [](const auto&) { return QString(); };
        switch (v.typeId()) {
        case QMetaType::QString: return makeItem(v.toString(), QString(), Qt::AlignLeft);
        case QMetaType::LongLong: return makeCustomItem<qint64>(v.toLongLong(), QString(), none);
        case QMetaType::QDateTime: return makeItem(v.toDateTime(), QString(), none);
        }
        if (v.canConvert<RulesetGameTypePair>())
            return makeCustomItem(v.value<RulesetGameTypePair>(), QString(), none);
        auto* seats = new TableCapacityItem;
        seats->setData(v, Qt::DisplayRole);
        return seats;
    };
    // Each pair as the values compare: texts by Qt's locale-aware compare, seats by their painter, the rest by
    // the typed ordering.
    const auto order = [](const QVariant& a, const QVariant& b) {
        if (a.typeId() == QMetaType::QString)
            return a.toString().localeAwareCompare(b.toString());
        if (a.canConvert<TableCapacity>())
            return int(capacityLessThan(b.value<TableCapacity>(), a.value<TableCapacity>()))
                 - int(capacityLessThan(a.value<TableCapacity>(), b.value<TableCapacity>()));
        return int(variantLessThan(b, a)) - int(variantLessThan(a, b));
    };
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const QVariant& a : values) {
        for (const QVariant& b : values) {
            const std::unique_ptr<QStandardItem> left(cell(a)), right(cell(b));
            const SortKey& l = static_cast<const CustomItemBase*>(left.get())->sortKey();
            const SortKey& r = static_cast<const CustomItemBase*>(right.get())->sortKey();
            QVERIFY(l.comparable(r));
            QVERIFY2(sign(l.compare(r)) == sign(order(a, b)), qPrintable(a.toString() + " / " + b.toString()));
        }
    }
    QLocale::setDefault(before);
}

void TypedItemsTest::capacityOrderAndText()
{
    QVERIFY(capacityLessThan(TableCapacity(4, 2, 0), TableCapacity(4, 3, 0)));
    QVERIFY(capacityLessThan(TableCapacity(3, 3, 0), TableCapacity(4, 2, 0)));
    QVERIFY(capacityLessThan(TableCapacity(4, 2, 0), TableCapacity(4, 2, 1)));
    QVERIFY(!capacityLessThan(TableCapacity(4, 2, 1), TableCapacity(4, 2, 1)));
    QCOMPARE(capacityText(TableCapacity(4, 4, 1)), QStringLiteral("4 of 4 players seated"));
    QCOMPARE(capacitySizeHint(TableCapacity(0, 0, 0)), QSize(-1, 14));
    QCOMPARE(capacitySizeHint(TableCapacity(4, 0, 0)), QSize(59, 14));
    QCOMPARE(capacitySizeHint(TableCapacity(-1, 0, 0)), QSize(-16, 14));
    // A seat count from a broken record does not overflow the width.
    QCOMPARE(capacitySizeHint(TableCapacity(2000000000, 0, 0)), QSize(std::numeric_limits<int>::max(), 14));
}

using Icons = QList<std::tuple<int, int, int>>; // kind, x, y

void TypedItemsTest::capacityLayout_data()
{
    QTest::addColumn<TableCapacity>("capacity");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<Icons>("icons");

    const int E = SeatIcon::Empty, B = SeatIcon::Bot, P = SeatIcon::Person;
    QTest::newRow("left, one person") << TableCapacity(4, 1, 0) << QRect(0, 0, 100, 14) << int(Qt::AlignLeft)
                                      << Icons{{P, 45, 0}, {E, 30, 0}, {E, 15, 0}, {E, 0, 0}};
    // Right aligned: from the right one bot, then three people.
    QTest::newRow("right, full with bot") << TableCapacity(4, 4, 1) << QRect(0, 0, 100, 20)
                                          << int(Qt::AlignRight | Qt::AlignVCenter)
                                          << Icons{{B, 86, 3}, {P, 71, 3}, {P, 56, 3}, {P, 41, 3}};
    // More bots than taken seats: only taken seats show bots.
    QTest::newRow("bots beyond seated") << TableCapacity(4, 2, 3) << QRect(0, 0, 60, 14) << int(Qt::AlignLeft)
                                        << Icons{{B, 45, 0}, {B, 30, 0}, {E, 15, 0}, {E, 0, 0}};
    QTest::newRow("centred, bottom") << TableCapacity(2, 0, 0) << QRect(10, 0, 40, 30)
                                     << int(Qt::AlignHCenter | Qt::AlignBottom)
                                     << Icons{{E, 30, 16}, {E, 15, 16}};
    QTest::newRow("no seats") << TableCapacity(0, 0, 0) << QRect(0, 0, 60, 14) << int(Qt::AlignLeft) << Icons{};
    QTest::newRow("negative seats") << TableCapacity(-1, 3, 2) << QRect(0, 0, 60, 14) << int(Qt::AlignLeft)
                                    << Icons{};
}

void TypedItemsTest::capacityLayout()
{
    QFETCH(TableCapacity, capacity);
    QFETCH(QRect, rect);
    QFETCH(int, alignment);
    QFETCH(Icons, icons);
    Icons got;
    for (const SeatIcon& icon : layoutTableCapacity(capacity, rect, Qt::Alignment(alignment)))
        got.append({int(icon.kind), icon.x, icon.y});
    QCOMPARE(got, icons);
}

void TypedItemsTest::capacityLayoutClipsAbsurdCounts()
{
    // A capacity from a broken server must not cost a loop of a billion seats.
    const QRect cell(0, 0, 90, 14);
    const auto icons = layoutTableCapacity(TableCapacity(2000000000, 5, 1), cell, Qt::AlignRight);
    QVERIFY(icons.size() <= 7);
    QVERIFY(!icons.isEmpty());
    const auto left = layoutTableCapacity(TableCapacity(2000000000, 0, 0), cell, Qt::AlignLeft);
    QVERIFY(left.size() <= 7);

    QImage image(90, 14, QImage::Format_ARGB32);
    QPainter painter(&image);
    paintTableCapacity(TableCapacity(2000000000, 5, 1), &painter, cell, QPalette(), Qt::AlignRight);
}

void TypedItemsTest::delegateFillsSelectedCell()
{
    QStandardItemModel model;
    auto* item = new QStandardItem;
    item->setData(QVariant::fromValue(TableCapacity(0, 0, 0)), Qt::DisplayRole);
    model.appendRow(item);

    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 40, 20);
    option.state = QStyle::State_Selected;
    option.palette.setBrush(QPalette::Current, QPalette::Highlight, QColor(10, 20, 200));
    TableCapacityDelegate delegate;
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
    }
    QCOMPARE(image.pixelColor(20, 10), QColor(10, 20, 200));
    QCOMPARE(delegate.sizeHint(option, model.index(0, 0)), QSize(-1, 14));
}

void TypedItemsTest::seatsBeyondTheCellAreStillDrawn()
{
    // Four seats right aligned in a cell only two seats wide: the seats that
    // do not fit are drawn to the left of the cell, where the layout puts them.
    QImage image(120, 14, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paintTableCapacity(TableCapacity(4, 2, 1), &painter, QRect(60, 0, 30, 14), QPalette(),
                           Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int x : {76, 61, 46, 31})
        QVERIFY2(drawnPixels(image, x, 14) > 10, qPrintable(QString::number(x)));
    QCOMPARE(drawnPixels(image, 0, 31), 0);
    QCOMPARE(drawnPixels(image, 90, 30), 0);

    // A painter moved and clipped to the cell still gets every seat that can show.
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(60, 0);
        painter.setClipRect(QRect(-60, 0, 120, 14));
        paintTableCapacity(TableCapacity(2000000000, 3, 1), &painter, QRect(0, 0, 30, 14), QPalette(),
                           Qt::AlignRight);
    }
    QVERIFY(drawnPixels(image, 0, 8) > 0);
    QVERIFY(drawnPixels(image, 76, 14) > 10);
    QCOMPARE(drawnPixels(image, 91, 29), 0);
}

void TypedItemsTest::widgetSizeHint()
{
    TableCapacityWidget widget;
    QCOMPARE(widget.sizeHint(), QSize(-1, 14));
    widget.setCapacity(TableCapacity(3, 1, 0));
    QCOMPARE(widget.sizeHint(), QSize(44, 14));
    QCOMPARE(widget.capacity(), TableCapacity(3, 1, 0));
    widget.resize(widget.sizeHint());
    QImage image = widget.grab().toImage();
    // Left aligned: the person at x = 30, empty seats at 15 and 0.
    for (int x : {0, 15, 30})
        QVERIFY2(drawnPixels(image, x, 13) > 10, qPrintable(QString::number(x)));
}

QTEST_MAIN(TypedItemsTest)
#include "tst_typeditems.moc"
