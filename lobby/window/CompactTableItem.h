#pragma once

#include "TableInfo.h"

#include <QFrame>

class QFormLayout;
class QLabel;
class TableCapacityWidget;

/// One card of the compact table view: the table's name, rules, time limit,
/// buy-in, maximum win and seats. The style sheet marks the current card
/// through the `selected` property.
class CompactTableItem : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected)

public:
    CompactTableItem(qint32 tableId, QWidget* parent);
    ~CompactTableItem() override;

    qint32 tableId() const { return id; }
    /// Shows the table; the record is kept for a language change.
    void setTableInfo(const TableInfo& info);
    const TableInfo& tableInfo() const { return shown; }
    bool isSelected() const { return selected; }
    /// Marks or unmarks the card and lets the style sheet look at it again.
    void setSelected(bool selected);

    QLabel* tableNameLabel() const { return tableName; }
    QLabel* rulesValue() const { return tableRulesGametype; }
    QLabel* speedValue() const { return tableSpeed; }
    QLabel* buyInValue() const { return buyIn; }
    QLabel* maxWinValue() const { return maxWin; }
    TableCapacityWidget* playersValue() const { return playersWidget; }

Q_SIGNALS:
    /// The card was clicked (any button).
    void clicked();
    /// The card was double-clicked (any button).
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();

    qint32 id;
    bool selected = false;
    TableInfo shown;

    QLabel* tableName = nullptr;
    QLabel* rulesLabel = nullptr;
    QLabel* tableRulesGametype = nullptr;
    QLabel* speedLabel = nullptr;
    QLabel* tableSpeed = nullptr;
    QLabel* buyInLabel = nullptr;
    QLabel* buyIn = nullptr;
    QLabel* maxWinLabel = nullptr;
    QLabel* maxWin = nullptr;
    QLabel* playersLabel = nullptr;
    TableCapacityWidget* playersWidget = nullptr;
};
