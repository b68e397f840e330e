#include "LobbyMetaTypes.h"

#include "RulesetGameTypePair.h"
#include "TableCapacity.h"
#include "TournamentRegisteredInfo.h"
#include "ValueColumnType.h"

#include <QMetaType>

void registerLobbyMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<RulesetGameTypePair>("RulesetGameTypePair");
        qRegisterMetaType<ValueColumnType>("ValueColumnType");
        qRegisterMetaType<TournamentRegisteredInfo>("TournamentRegisteredInfo");
        qRegisterMetaType<TableCapacity>("TableCapacity");
        return true;
    }();
    Q_UNUSED(registered);
}
