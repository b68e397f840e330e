#pragma once

#include <QWidget>

#include <vector>

class QButtonGroup;
class QHBoxLayout;
class QPushButton;
class QShortcut;
class QToolButton;
class SelectorButton;
class TimeSpan;
struct TableInfo;

/// The strip of buttons that switches between the lobby and the open tables:
/// a "Lobby" button and one button per table, in the order the tables were
/// opened, scrolled sideways by two arrows when they do not fit. The shown
/// page's button is hidden (the lobby's always; a table's while it is the
/// only one). Unknown or duplicate table ids throw std::runtime_error and
/// leave the strip as it was. While a table is open, Ctrl+Tab and
/// Ctrl+Shift+Tab anywhere in the window go round the pages in the strip's
/// order, as a tab widget's keys do.
class TableSelector : public QWidget
{
    Q_OBJECT

public:
    explicit TableSelector(QWidget* parent = nullptr);
    ~TableSelector() override;

    void addTable(const TableInfo& info);
    /// Checks the table's button; -1 checks the Lobby button.
    void setActiveTable(qint32 tableId);
    /// The checked table; -1 for the lobby or when nothing is checked.
    qint32 activeTable() const;
    /// The table's button, or null.
    SelectorButton* button(qint32 tableId) const;
    QPushButton* lobbyButton() const { return lobby; }
    /// The x position of the strip inside its visible window (0 or less).
    int stripPosition() const;
    /// The first table in the strip, other than `except`, that waits for the
    /// user; -1 when none does.
    qint32 askingTable(qint32 except) const;

    QSize sizeHint() const override;

public Q_SLOTS:
    void removeTable(qint32 tableId);
    void onTableInfo(const TableInfo& info);
    /// Sets a table's countdown and whether it waits for the user; a table
    /// that starts to wait while another page is shown is scrolled into view.
    void onTableActivity(qint32 tableId, bool activity, const TimeSpan& ts);
    void scrollButtonClicked();

Q_SIGNALS:
    /// A button was clicked: the table id, -1 for the Lobby button.
    void tableClicked(int tableId);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    /// Whole names when the strip fits the selector with them, else short ones.
    void fitNames();
    void updateScrollButtons();
    void moveStrip(int x);
    /// Moves the strip as little as it takes to show the whole button.
    void scrollIntoView(const QWidget* button);
    /// Asks for the page `step` places after the shown one, round the strip.
    void cyclePages(int step);

    QWidget* scrollArea = nullptr;
    QWidget* buttons = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QToolButton* selectorLeft = nullptr;
    QToolButton* selectorRight = nullptr;
    QButtonGroup* group = nullptr;
    QPushButton* lobby = nullptr;
    std::vector<QShortcut*> pageKeys;
};
