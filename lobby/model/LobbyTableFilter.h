#pragma once

#include "FilterMode.h"
#include "SortKeyCache.h"

#include <QLocale>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>

#include <set>

/// The user's lobby filters over a LobbyModel: empty and full tables,
/// rulesets, game types, free or money tables and words to search; sorts
/// every column by its typed value.
class LobbyTableFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LobbyTableFilter(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* model) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setEmptyTablesMode(int mode);
    void setFullTablesMode(int mode);
    /// (money tables wanted ? 2 : 0) | (free tables wanted ? 1 : 0).
    void setBuyInMask(int mode);
    void setRulesetFilterActive(bool on);
    void setGameTypeFilterActive(bool on);
    void addRuleset(int ruleset);
    void removeRuleset(int ruleset);
    void addGameType(int gameType);
    void removeGameType(int gameType);
    /// The words of the text, split at any blank (an ideographic space too);
    /// a row passes when every word occurs in the text of some column, in
    /// any case as the language shown folds it ("izmir" finds "İzmir") and
    /// in full or half width alike ("ｔｏｋｙｏ" finds "Tokyo", "リーチ" "ﾘｰﾁ").
    void setFreeText(const QString& text);

    int emptyTablesMode() const { return m_emptyTablesMode; }
    int fullTablesMode() const { return m_fullTablesMode; }
    int buyInMask() const { return m_buyInMask; }
    const QSet<QString>& words() const { return m_words; }

    /// A table row: selectable and enabled, never with children. Answered
    /// here: the lobby's tree view asks it of every row at every layout.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    /// By the cells' sort keys where both have one, else by their values.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    int m_emptyTablesMode = FilterExclude;
    int m_fullTablesMode = FilterAny;
    std::set<int> m_rulesets;
    int m_rulesetMode = FilterAny;
    std::set<int> m_gameTypes;
    int m_gameTypeMode = FilterAny;
    int m_buyInMask = FilterAny;
    QSet<QString> m_words;
    QStringList m_foldedWords;
    QLocale m_searchLocale;
    bool m_asciiFoldsPlainly = true;
    SortKeyCache m_keys;
};
