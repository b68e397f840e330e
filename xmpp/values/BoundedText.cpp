// The bound on other users' text, shared by the readers and the panes.
#include "BoundedText.h"

#include <QList>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace xmpp {

using namespace text;

namespace {

bool isCombiningMark(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

/// Zero-width material that draws on the character before it: marks, and
/// format characters, which may stand between marks without a width of
/// their own and so must not start a new count.
bool drawsOnThePrevious(char32_t c)
{
    return isCombiningMark(c) || QChar::category(c) == QChar::Other_Format;
}

bool isLineBreak(char32_t c)
{
    return c == '\r' || c == '\n' || c == 0x2028 || c == 0x2029;
}

/// The script a character opens a run of in the layout, or -1 for one that
/// takes the run it stands in. The East Asian scripts share their fonts and
/// alternate in every Japanese line at no extra cost.
int runScript(char32_t c)
{
    switch (const QChar::Script script = QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Inherited:
    case QChar::Script_Unknown:
        return -1;
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return QChar::Script_Han;
    default:
        return script;
    }
}

/// Scripts written without spaces, whose line breaks the layout looks up
/// word by word.
bool breaksByDictionary(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
        return true;
    default:
        return false;
    }
}

} // namespace

QString boundedText(const QString& text, qsizetype maxLength, int maxRows)
{
    // Printable ASCII, the common case, is one cluster and one unit a
    // character: the bound is a plain cut. A character after the cut that
    // is no such letter might join the last one kept, so the look reaches
    // one past it.
    const qsizetype checked = qMin(text.size(), maxLength + 1);
    const QChar* letters = text.constData();
    if (std::all_of(letters, letters + checked, [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; }))
        return text.size() <= maxLength ? text : text.left(maxLength) + ElisionMark;
    // Each kept character costs the layout at least one unit, and what a
    // cluster leaves out is at most its own length again: nothing further
    // on can be shown.
    qsizetype headLength = qMin(text.size(), 4 * maxLength + 4);
    if (headLength < text.size() && text.at(headLength - 1).isHighSurrogate())
        --headLength;
    const QString head = text.left(headLength);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, head);
    QString shown;
    shown.reserve(qMin(head.size(), maxLength) + 1);
    qsizetype budget = maxLength;
    int rows = 1;
    int script = -1;
    // The characters drawn together on one place: a grapheme cluster with
    // the clusters of marks and format characters that follow it.
    int clusterLength = 0;
    int clusterMarks = 0;
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end > start; start = end, end = clusters.toNextBoundary()) {
        const QStringView cluster = QStringView(head).sliced(start, end - start);
        const char32_t first = cluster.toUcs4().value(0);
        if (!drawsOnThePrevious(first)) {
            clusterLength = 0;
            clusterMarks = 0;
        }
        if (isLineBreak(first) && ++rows > maxRows)
            return shown + ElisionMark;
        QString kept;
        qsizetype cost = 0;
        for (const char32_t code : cluster.toUcs4()) {
            if (++clusterLength > MaxClusterLength
                || (clusterLength > 1 && drawsOnThePrevious(code) && ++clusterMarks > MaxClusterMarks))
                break;
            // An object replacement would make the layout look for an
            // object behind every one of them.
            kept += QString::fromUcs4(code == 0xFFFC ? U"\uFFFD" : &code, 1);
            const int run = runScript(code);
            // What the layout of 2,000 Latin letters costs, wide characters
            // (and replacement characters) cost it at half as many, a
            // script broken by dictionary and tabs (each up to a stop) at
            // a quarter.
            if (breaksByDictionary(code) || code == '\t')
                cost += DictionaryCost;
            else if (run == QChar::Script_Han || code == 0xFFFC || code == 0xFFFD)
                cost += WideCost;
            else
                cost += code > 0xFFFF ? 2 : 1;
            if (run >= 0 && run != script) {
                cost += script >= 0 ? ScriptChangeCost : 0;
                script = run;
            }
        }
        if (cost > budget)
            return shown + ElisionMark;
        budget -= cost;
        shown += kept;
    }
    if (head.size() < text.size())
        shown += ElisionMark;
    return shown;
}

} // namespace xmpp
