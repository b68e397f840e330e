#pragma once

#include "TableCapacity.h"

#include <QWidget>

/// Shows one table's seats as a row of seat icons (the compact table cards).
class TableCapacityWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TableCapacityWidget(QWidget* parent = nullptr);

    const TableCapacity& capacity() const { return m_capacity; }
    void setCapacity(const TableCapacity& capacity);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TableCapacity m_capacity;
};
