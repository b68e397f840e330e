#include "ClaimImage.h"

namespace ClaimImage {

QString path(int kind, int mahjongType, int ruleset, const char* plainMahjong)
{
    const bool riichi = ruleset == 2;
    switch (kind) {
    case 1:
        return riichi ? QStringLiteral("textimages:claim-chii.png") : QStringLiteral("textimages:claim-chow.png");
    case 2:
        return riichi ? QStringLiteral("textimages:claim-pon.png") : QStringLiteral("textimages:claim-pong.png");
    case 8:
        return riichi ? QStringLiteral("textimages:claim-kan.png") : QStringLiteral("textimages:claim-kong.png");
    case 16:
        if (mahjongType == 2)
            return QStringLiteral("textimages:claim-ron.png");
        if (mahjongType == 3)
            return QStringLiteral("textimages:claim-tsumo.png");
        return QLatin1String(plainMahjong);
    case 128:
        return QStringLiteral("textimages:claim-riichi.png");
    default:
        return QString();
    }
}

} // namespace ClaimImage
