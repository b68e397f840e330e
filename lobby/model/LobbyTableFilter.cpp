#include "LobbyTableFilter.h"

#include "LobbyRoles.h"
#include "RulesetGameTypePair.h"
#include "TableCapacity.h"
#include "TableCapacityPainter.h"
#include "TableModel.h"
#include "ValueColumnType.h"
#include "VariantLessThan.h"

#include <QDebug>
#include <QLocale>

#include <algorithm>

namespace {

/// Whether the text has only ASCII characters, whose case the search may
/// ignore in the plain way.
bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

/// The text as the search compares it: in its compatibility form (a
/// Japanese input method's full-width "ｔｏｋｙｏ" and "１" and the half-width
/// "ﾘｰﾁ" are the ordinary "tokyo", "1" and "リーチ"), in lower case as the
/// language shown writes it, then folded (a final sigma becomes a sigma).
/// Lower-casing keeps the dot of a capital dotted I as a combining dot over
/// the "i", which has a dot of its own: it goes, so "izmir" finds "İzmir".
QString foldedForSearch(const QString& text, const QLocale& locale)
{
    QString folded = locale.toLower(text.normalized(QString::NormalizationForm_KC)).toCaseFolded();
    const QChar dotAbove(0x0307);
    for (qsizetype at = folded.indexOf(dotAbove, 1); at > 0; at = folded.indexOf(dotAbove, at)) {
        const QChar before = folded.at(at - 1);
        if (before == QLatin1Char('i') || before == QLatin1Char('j'))
            folded.remove(at, 1);
        else
            ++at;
    }
    return folded;
}

} // namespace

LobbyTableFilter::LobbyTableFilter(QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_keys(this)
{
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
}

void LobbyTableFilter::setSourceModel(QAbstractItemModel* model)
{
    m_keys.attach(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void LobbyTableFilter::sort(int column, Qt::SortOrder order)
{
    m_keys.setColumn(column);
    QSortFilterProxyModel::sort(column, order);
}

Qt::ItemFlags LobbyTableFilter::flags(const QModelIndex& index) const
{
    // Asking the source models would cost a walk through two of them for
    // every row of a list of many thousands, at every layout of the view.
    if (!index.isValid())
        return QSortFilterProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void LobbyTableFilter::setEmptyTablesMode(int mode)
{
    m_emptyTablesMode = mode;
    invalidateFilter();
}

void LobbyTableFilter::setFullTablesMode(int mode)
{
    m_fullTablesMode = mode;
    invalidateFilter();
}

void LobbyTableFilter::setBuyInMask(int mode)
{
    m_buyInMask = mode;
    invalidateFilter();
}

void LobbyTableFilter::setRulesetFilterActive(bool on)
{
    m_rulesetMode = on ? FilterOnly : FilterAny;
    invalidateFilter();
}

void LobbyTableFilter::setGameTypeFilterActive(bool on)
{
    m_gameTypeMode = on ? FilterOnly : FilterAny;
    invalidateFilter();
}

void LobbyTableFilter::addRuleset(int ruleset)
{
    m_rulesets.insert(ruleset);
    invalidateFilter();
}

void LobbyTableFilter::removeRuleset(int ruleset)
{
    m_rulesets.erase(ruleset);
    invalidateFilter();
}

void LobbyTableFilter::addGameType(int gameType)
{
    m_gameTypes.insert(gameType);
    invalidateFilter();
}

void LobbyTableFilter::removeGameType(int gameType)
{
    m_gameTypes.erase(gameType);
    invalidateFilter();
}

void LobbyTableFilter::setFreeText(const QString& text)
{
    // An input method for Japanese or Chinese types an ideographic space
    // for the space bar: any blank separates the words.
    QSet<QString> words;
    for (const QString& word : text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.insert(word);
    m_words = words;
    const QLocale shown;
    m_foldedWords.clear();
    for (const QString& word : words)
        m_foldedWords.append(foldedForSearch(word, shown));
    // A Turkic language lower-cases the ASCII "I" to a dotless one.
    m_asciiFoldsPlainly = shown.language() != QLocale::Turkish && shown.language() != QLocale::Azerbaijani;
    m_searchLocale = shown;
    invalidateFilter();
}

bool LobbyTableFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QAbstractItemModel* source = sourceModel();
    if (!source)
        return false;

    const QVariant capacityData = source->index(sourceRow, TableModel::PlayersColumn, sourceParent).data(Qt::DisplayRole);
    if (capacityData.metaType() != QMetaType::fromType<TableCapacity>()) {
        qWarning() << "got other than TableCapacity variant:" << capacityData;
    } else {
        const auto capacity = capacityData.value<TableCapacity>();
        if (!filterModeAccepts(m_emptyTablesMode, capacity.seated() == 0))
            return false;
        if (!filterModeAccepts(m_fullTablesMode, capacity.seated() == capacity.capacity()))
            return false;
    }

    const QVariant rulesData = source->index(sourceRow, TableModel::RulesColumn, sourceParent).data(TypedValueRole);
    if (rulesData.metaType() != QMetaType::fromType<RulesetGameTypePair>()) {
        qWarning() << "got other than RulesetGameTypePair variant: " << rulesData;
    } else {
        const auto rules = rulesData.value<RulesetGameTypePair>();
        if (!filterModeAccepts(m_rulesetMode, m_rulesets.count(rules.ruleset) != 0))
            return false;
        if (!filterModeAccepts(m_gameTypeMode, m_gameTypes.count(rules.gameType) != 0))
            return false;
    }

    const QVariant valueData = source->index(sourceRow, TableModel::BuyInColumn, sourceParent).data(TypedValueRole);
    if (valueData.metaType() != QMetaType::fromType<ValueColumnType>()) {
        qWarning() << "got other than ValueColumnType variant: " << valueData;
    } else if (!filterModeAccepts(m_buyInMask, valueData.value<ValueColumnType>().isFree())) {
        return false;
    }

    if (m_foldedWords.isEmpty())
        return true;
    QSet<QString> found;
    const int columns = source->columnCount(sourceParent);
    for (int column = 0; column < columns && found.size() < m_foldedWords.size(); ++column) {
        QString text = source->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            continue;
        // Most cells are ASCII, already in their compatibility form: their
        // case is ignored without a folded copy.
        const bool plain = m_asciiFoldsPlainly && isAscii(text);
        if (!plain)
            text = foldedForSearch(text, m_searchLocale);
        for (const QString& word : m_foldedWords) {
            if (text.contains(word, plain ? Qt::CaseInsensitive : Qt::CaseSensitive))
                found.insert(word);
        }
    }
    return found.size() == m_foldedWords.size();
}

bool LobbyTableFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (const auto kept = m_keys.compare(left, right); kept && kept->keys)
        return *kept->keys < 0;
    const QVariant leftValue = left.data(TypedValueRole);
    const QVariant rightValue = right.data(TypedValueRole);
    if (leftValue.isValid() && rightValue.isValid())
        return variantLessThan(leftValue, rightValue);

    const QVariant leftDisplay = left.data(Qt::DisplayRole);
    const QVariant rightDisplay = right.data(Qt::DisplayRole);
    const QMetaType capacityType = QMetaType::fromType<TableCapacity>();
    if (leftDisplay.metaType() == capacityType && rightDisplay.metaType() == capacityType)
        return capacityLessThan(leftDisplay.value<TableCapacity>(), rightDisplay.value<TableCapacity>());

    return QSortFilterProxyModel::lessThan(left, right);
}
