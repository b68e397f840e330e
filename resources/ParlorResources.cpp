#include "ParlorResources.h"

QStringList ParlorResources::compiledTrees()
{
    return {QString::fromLatin1(editionTree), QString::fromLatin1(defaultTree)};
}
