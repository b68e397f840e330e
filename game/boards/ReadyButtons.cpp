#include "ReadyButtons.h"

#include "TableInfo.h"
#include "ValueColumnType.h"

#include <QCoreApplication>
#include <QPushButton>

namespace ReadyButtons {

void apply(QPushButton* ready, QPushButton* leave, const TableInfo& table, bool endOfGame, const char* context)
{
    switch (table.gameType) {
    case 0:
        ready->setText(QCoreApplication::translate(context, "Ready"));
        leave->show();
        break;
    case 1:
        ready->setText(QCoreApplication::translate(context, "Next hand"));
        leave->hide();
        break;
    case 2:
        if (endOfGame) {
            ready->setText(QCoreApplication::translate(context, "Play (%1)")
                               .arg(ValueColumnType(table.value).stakeAndFeeText()));
            leave->show();
        } else {
            ready->setText(QCoreApplication::translate(context, "Next hand"));
            leave->hide();
        }
        break;
    default:
        break;
    }
}

} // namespace ReadyButtons
