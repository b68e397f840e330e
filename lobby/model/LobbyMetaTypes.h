#pragma once

/// Registers the lobby's value types (RulesetGameTypePair, ValueColumnType,
/// TournamentRegisteredInfo, TableCapacity) with the meta-type system under
/// their own names, once per process; later calls do nothing.
void registerLobbyMetaTypes();
