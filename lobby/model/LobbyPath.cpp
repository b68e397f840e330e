#include "LobbyPath.h"

namespace LobbyPath {

bool covers(const QString& key, const QString& path)
{
    if (!path.startsWith(key))
        return false;
    if (path.size() == key.size())
        return true;
    if (key.isEmpty())
        return false;
    return key.endsWith(QLatin1Char('/')) || path.at(key.size()) == QLatin1Char('/');
}

QStringList coveringCandidates(const QString& path)
{
    QStringList candidates{path};
    for (int i = path.size() - 1; i >= 0; --i) {
        if (path.at(i) != QLatin1Char('/'))
            continue;
        if (i + 1 < path.size())
            candidates.append(path.left(i + 1));
        if (i > 0)
            candidates.append(path.left(i));
    }
    return candidates;
}

}
