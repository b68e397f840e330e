#include "RulesetGameTypePair.h"

#include "TableTexts.h"

QString RulesetGameTypePair::toString() const
{
    return rulesetText(ruleset) + gameTypeSuffix(gameType);
}
