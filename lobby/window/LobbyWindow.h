#pragma once

#include <QPointer>
#include <QSettings>
#include <QWidget>

class ChosenRow;
class LobbyTableFilter;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTimer;
class QTreeView;
class TableModel;

/// The lobby tab: rule, buy-in and game-type filters above the tree of
/// regular tables ("101/Regular"), the exclusion boxes and a free-text
/// search below it, and the Join and Watch buttons. Every filter choice but
/// the search text is kept under "lobby/" in the settings and restored when
/// the window is made. The window only asks for joins and watches; the main
/// window decides what to send.
class LobbyWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LobbyWindow(QWidget* parent = nullptr);
    ~LobbyWindow() override;

    /// Binds the window to the lobby table model (subscribes "101/Regular").
    void setModel(TableModel* model);

    /// The user's filter over the regular tables; the tree view's model.
    LobbyTableFilter* tableFilter() const { return filter; }
    QTreeView* treeView() const { return lobbyTreeView; }

Q_SIGNALS:
    /// The user asked to join the table (double-click or Join); it may be full.
    void joinTable(int tableId);
    /// The user asked to watch the table.
    void watchTable(qint32 tableId);

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void on_joinButton_clicked();
    void on_watchButton_clicked();
    void on_lobbyTreeView_doubleClicked(const QModelIndex& index);
    void on_freeBet_stateChanged(int state);
    void on_moneyBet_stateChanged(int state);
    void onClassicRulesChanged(int state);
    void onInternationalRulesChanged(int state);
    void onRiichiRulesChanged(int state);
    void onQuellmarkGamesChanged(int state);
    void onSittNGoGamesChanged(int state);
    void on_excludeEmptyTablesCheckBox_stateChanged(int state);
    void on_excludeFullTablesCheckBox_stateChanged(int state);
    void onFreeTextSearchChanged(const QString& text);
    /// The lobby gained its first money table (true) or lost its last one.
    void onHasMoneraryTablesChanged(bool newState);

private:
    void setupUi();
    void retranslateUi();
    void retranslate();
    /// Sizes every column but the name's to its header and values.
    void fitColumnsToHeaders();
    /// Measures the value columns a moment from now.
    void fitColumnsSoon();
    /// Widens a value column that a changed cell no longer fits.
    void growColumnsFor(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    /// The buy-in mask from both boxes; while the lobby has no money table
    /// (and so no visible buy-in boxes) every table passes.
    void applyBuyInMask();
    void rulesetChanged(const char* key, int ruleset, int state);
    void gameTypeChanged(const char* key, int gameType, int state);
    qint32 tableIdForIndex(const QModelIndex& index) const;

    LobbyTableFilter* filter;
    /// The table the player selected; Join and Watch act on it alone.
    ChosenRow* chosen = nullptr;
    /// Measures the value columns again once rows have come.
    QTimer* columnFit = nullptr;
    QSettings settings;
    QPointer<TableModel> tableModel;
    bool moneyTablesShown = true;

    QFrame* lobbyViewTopFrame = nullptr;
    QLabel* infoLabel = nullptr;
    QGroupBox* groupBox = nullptr;
    QCheckBox* riichiRules = nullptr;
    QCheckBox* internationalRules = nullptr;
    QCheckBox* classicRules = nullptr;
    QGroupBox* buyInGroup = nullptr;
    QCheckBox* freeBet = nullptr;
    QCheckBox* moneyBet = nullptr;
    QGroupBox* groupBox_3 = nullptr;
    QCheckBox* quellmarkGames = nullptr;
    QCheckBox* sitNGoGames = nullptr;
    QTreeView* lobbyTreeView = nullptr;
    QCheckBox* excludeFullTablesCheckBox = nullptr;
    QCheckBox* excludeEmptyTablesCheckBox = nullptr;
    QLabel* label = nullptr;
    QLineEdit* freeTextSearch = nullptr;
    QPushButton* joinButton = nullptr;
    QPushButton* watchButton = nullptr;
};
