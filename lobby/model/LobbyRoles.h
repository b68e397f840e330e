#pragma once

#include <Qt>

/// Item data roles shared by the lobby, tournament and ranking models.
namespace LobbyRoles {
/// The cell's typed sort value, a QVariant of the value's own type.
inline constexpr int TypedValueRole = Qt::UserRole + 100;
/// The lobby path of a table row, on the row's first cell.
inline constexpr int LobbyPathRole = Qt::UserRole + 1;
/// The id of the row's table or tournament, on every cell.
inline constexpr int IdRole = Qt::UserRole;
}

using LobbyRoles::LobbyPathRole;
using LobbyRoles::TypedValueRole;
