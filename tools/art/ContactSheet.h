#pragma once

#include <QString>

/// Draws every tile face on every face sheet and every back picture of every
/// back sheet at table scale (and faces once more at twice that), the way
/// the table cuts and renders them, into one picture for a person to look at.
class ContactSheet
{
public:
    /// resourceDir is the default resource tree (resources/default).
    static bool write(const QString& resourceDir, const QString& out);
};
