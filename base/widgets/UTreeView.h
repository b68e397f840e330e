#pragma once

#include <QTreeView>

#include <functional>

/// A tree view whose cell tooltips come from a callback taking the model and the row.
class UTreeView : public QTreeView
{
    Q_OBJECT

public:
    using ToolTipFunction = std::function<QString(QAbstractItemModel*, int)>;

    explicit UTreeView(QWidget* parent = nullptr);

    void setToolTipFunction(ToolTipFunction f);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    ToolTipFunction toolTipFunction;
};
