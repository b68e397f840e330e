#pragma once

#include <QStringList>

#include <string>

/// Base64 of the SHA-1 digest of the given hardware address texts, fed in
/// order with nothing between them.
std::string machineIdFromAddresses(const QStringList& hardwareAddresses);
/// The identifier of this computer from all its network interfaces, in the
/// order the system lists them.
std::string makeMachineId();
/// The process-wide identifier, computed on first use.
const std::string& machineId();
