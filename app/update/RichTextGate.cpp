// The rich-text gate: a tokenizer that reads the HTML once, front to back,
// into lines of text runs and pictures; the text of all lines bounded at once
// as chat text is; then the document written from the lines with formats of
// our own.
#include "RichTextGate.h"

#include "BoundedText.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace RichTextGate {

namespace {

constexpr char32_t Replacement = 0xFFFD;

enum Style : quint8 { Bold = 1, Italic = 2, Underline = 4 };

enum class Kind : quint8 {
    Bold,
    Italic,
    Underline,
    Break,
    Picture,
    Block,     ///< a block of its own, with nothing of its look
    Heading,
    List,
    OrderedList,
    Item,
    Cell,      ///< a table cell: its content kept, apart from the next one's
    RawText,   ///< left out with its content, which is not markup
    Dropped,   ///< left out with its content
};

struct Element
{
    std::string_view name;
    Kind kind;
    int level = 0;
};

/// By name, for a binary search.
constexpr std::array<Element, 63> elements = {{
    {"address", Kind::Block}, {"applet", Kind::Dropped}, {"article", Kind::Block}, {"aside", Kind::Block},
    {"audio", Kind::Dropped}, {"b", Kind::Bold}, {"blockquote", Kind::Block}, {"body", Kind::Block},
    {"br", Kind::Break}, {"canvas", Kind::Dropped}, {"caption", Kind::Block}, {"center", Kind::Block},
    {"dd", Kind::Block}, {"details", Kind::Block}, {"div", Kind::Block}, {"dl", Kind::Block},
    {"dt", Kind::Block}, {"em", Kind::Italic}, {"fieldset", Kind::Block}, {"figcaption", Kind::Block},
    {"figure", Kind::Block}, {"footer", Kind::Block}, {"form", Kind::Block}, {"h1", Kind::Heading, 1},
    {"h2", Kind::Heading, 2}, {"h3", Kind::Heading, 3}, {"h4", Kind::Heading, 4}, {"h5", Kind::Heading, 5},
    {"h6", Kind::Heading, 6}, {"header", Kind::Block}, {"hr", Kind::Block},
    {"html", Kind::Block}, {"i", Kind::Italic}, {"iframe", Kind::RawText}, {"img", Kind::Picture},
    {"ins", Kind::Underline}, {"li", Kind::Item}, {"main", Kind::Block}, {"math", Kind::Dropped},
    {"nav", Kind::Block}, {"noembed", Kind::RawText}, {"noframes", Kind::RawText}, {"noscript", Kind::RawText},
    {"object", Kind::Dropped}, {"ol", Kind::OrderedList}, {"p", Kind::Block}, {"pre", Kind::Block},
    {"script", Kind::RawText}, {"section", Kind::Block}, {"select", Kind::Dropped}, {"strong", Kind::Bold},
    {"style", Kind::RawText}, {"summary", Kind::Block}, {"svg", Kind::Dropped}, {"table", Kind::Block},
    {"td", Kind::Cell}, {"template", Kind::RawText}, {"textarea", Kind::RawText}, {"th", Kind::Cell},
    {"title", Kind::RawText}, {"tr", Kind::Block}, {"u", Kind::Underline}, {"ul", Kind::List},
}};
static_assert(std::is_sorted(elements.begin(), elements.end(),
                             [](const Element& a, const Element& b) { return a.name < b.name; }));

/// The named character references a note uses; any other stays as written.
constexpr std::array<std::pair<std::string_view, char32_t>, 25> references = {{
    {"amp", '&'}, {"apos", '\''}, {"bull", 0x2022}, {"copy", 0xA9}, {"deg", 0xB0}, {"euro", 0x20AC},
    {"gt", '>'}, {"hellip", 0x2026}, {"laquo", 0xAB}, {"ldquo", 0x201C}, {"lsquo", 0x2018}, {"lt", '<'},
    {"mdash", 0x2014}, {"middot", 0xB7}, {"nbsp", 0xA0}, {"ndash", 0x2013}, {"pound", 0xA3}, {"quot", '"'},
    {"raquo", 0xBB}, {"rdquo", 0x201D}, {"reg", 0xAE}, {"rsquo", 0x2019}, {"times", 0xD7}, {"trade", 0x2122},
    {"yen", 0xA5},
}};
static_assert(std::is_sorted(references.begin(), references.end()));

/// Longer names are no name of the lists above.
constexpr int maxNameLength = 10;
/// Changes of format in one block (across its line breaks) and in the whole
/// document; past them the text goes on in the format it has. Each is a
/// fragment of its own, and a block's fragments cost its writing and layout
/// more than in proportion.
constexpr std::size_t maxRunsInBlock = 64;
constexpr std::size_t maxRuns = 1000;

const Element* elementNamed(std::string_view name)
{
    const auto found = std::lower_bound(elements.begin(), elements.end(), name,
                                        [](const Element& e, std::string_view n) { return e.name < n; });
    return found != elements.end() && found->name == name ? &*found : nullptr;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char lowerAscii(QChar c)
{
    return c.unicode() < 128 ? char(c.toLower().unicode()) : '?';
}

/// A text run or a picture in a line.
struct Run
{
    /// Of the run's text in the gathered text; a picture has none.
    qsizetype start = 0;
    qsizetype end = 0;
    quint8 style = 0;
    int picture = -1;
};

/// A block, or the line after a break inside the one before.
struct Line
{
    bool newBlock = true;
    int heading = 0;
    /// The list it is an item of, or -1.
    int list = -1;
    /// Lists around it.
    int depth = 0;
    /// Where it starts in the gathered text (its separator).
    qsizetype start = 0;
    std::size_t firstRun = 0;
};

struct ListInfo
{
    bool ordered = false;
    int depth = 0;
};

/// Reads HTML into lines of runs. The text of all lines is gathered into
/// one string, a space between two lines, so that it can be bounded at once.
class Reader
{
public:
    Reader(QStringView html, const Limits& limits)
        : html(html)
        , limits(limits)
        // What shownText() looks at, and one character more to tell it that
        // the text goes on.
        , textCap(4 * limits.maxShown + 5)
    {
    }

    void read();

    QString text;
    std::vector<Run> runs;
    std::vector<Line> lines;
    std::vector<ListInfo> lists;
    QStringList pictures;
    /// Set when reading stopped before the end of the HTML.
    bool stopped = false;

private:
    qsizetype tag(qsizetype at);
    qsizetype reference(qsizetype at);
    qsizetype skipRawText(qsizetype at, std::string_view name) const;
    void element(const Element& e, bool closing, QStringView source);
    void addChar(char32_t c);
    void addPicture(QStringView address);
    void put(char32_t c);
    bool startLine(bool newBlock);
    bool startContent();
    void blockBoundary();

    QStringView html;
    const Limits& limits;
    const qsizetype textCap;

    int bold = 0;
    int italic = 0;
    int underline = 0;
    int heading = 0;
    int dropped = 0;
    std::vector<int> openLists;
    int listOverflow = 0;
    bool pendingBlock = true;
    bool itemStart = false;
    bool pendingSpace = false;
    bool lineHasContent = false;
    /// Of the block being read.
    std::size_t blockFirstRun = 0;
};

void Reader::read()
{
    const qsizetype n = html.size();
    for (qsizetype i = 0; i < n && !stopped;) {
        const QChar c = html[i];
        if (c == u'<') {
            i = tag(i);
        } else if (c == u'&') {
            i = reference(i);
        } else if (c.isHighSurrogate() && i + 1 < n && html[i + 1].isLowSurrogate()) {
            addChar(QChar::surrogateToUcs4(c, html[i + 1]));
            i += 2;
        } else {
            addChar(c.isSurrogate() ? Replacement : c.unicode());
            ++i;
        }
    }
}

qsizetype Reader::tag(qsizetype at)
{
    const qsizetype n = html.size();
    qsizetype i = at + 1;
    const auto past = [&](QStringView end, qsizetype from) {
        const qsizetype found = html.indexOf(end, from);
        return found < 0 ? n : found + end.size();
    };
    if (i < n && html[i] == u'!')
        return html.sliced(i).startsWith(u"!--") ? past(u"-->", i + 3) : past(u">", i);
    if (i < n && html[i] == u'?')
        return past(u">", i);
    const bool closing = i < n && html[i] == u'/';
    if (closing)
        ++i;
    if (i >= n || !isLetter(html[i])) {
        if (closing)
            return past(u">", i);
        addChar('<');
        return at + 1;
    }
    std::array<char, maxNameLength> nameBuffer{};
    qsizetype length = 0;
    for (; i < n && !isSpace(html[i]) && html[i] != u'/' && html[i] != u'>'; ++i, ++length) {
        if (length < maxNameLength)
            nameBuffer[std::size_t(length)] = lowerAscii(html[i]);
    }
    const std::string_view name(nameBuffer.data(), std::size_t(std::min<qsizetype>(length, maxNameLength)));
    const Element* e = length <= maxNameLength ? elementNamed(name) : nullptr;
    QStringView source;
    bool selfClosing = false;
    for (;;) {
        const qsizetype gap = i;
        while (i < n && (isSpace(html[i]) || html[i] == u'/'))
            ++i;
        if (i >= n)
            return n; // a tag the text ends in is left out
        if (html[i] == u'>') {
            // A slash of its own, not the end of an unquoted value.
            selfClosing = i > gap && html[i - 1] == u'/';
            break;
        }
        const qsizetype nameStart = i;
        do
            ++i;
        while (i < n && !isSpace(html[i]) && html[i] != u'/' && html[i] != u'>' && html[i] != u'=');
        const QStringView attribute = html.sliced(nameStart, i - nameStart);
        while (i < n && isSpace(html[i]))
            ++i;
        if (i >= n || html[i] != u'=')
            continue;
        ++i;
        while (i < n && isSpace(html[i]))
            ++i;
        qsizetype valueStart = i;
        qsizetype valueEnd = i;
        if (i < n && (html[i] == u'"' || html[i] == u'\'')) {
            valueEnd = html.indexOf(html[i], i + 1);
            if (valueEnd < 0)
                return n;
            valueStart = i + 1;
            i = valueEnd + 1;
        } else {
            while (i < n && !isSpace(html[i]) && html[i] != u'>')
                ++i;
            valueEnd = i;
        }
        if (attribute.compare(u"src", Qt::CaseInsensitive) == 0)
            source = html.sliced(valueStart, valueEnd - valueStart);
    }
    ++i;
    if (!e)
        return i;
    if (e->kind == Kind::RawText && !closing)
        return skipRawText(i, e->name);
    // A self-closing <svg/> or <math/> has no content to leave out.
    if (e->kind == Kind::Dropped && selfClosing && !closing)
        return i;
    element(*e, closing, source);
    return i;
}

qsizetype Reader::skipRawText(qsizetype at, std::string_view name) const
{
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf(u"</", at); i >= 0; i = html.indexOf(u"</", i + 2)) {
        qsizetype k = 0;
        while (k < qsizetype(name.size()) && i + 2 + k < n && lowerAscii(html[i + 2 + k]) == name[std::size_t(k)])
            ++k;
        const qsizetype after = i + 2 + k;
        if (k == qsizetype(name.size()) && (after >= n || isSpace(html[after]) || html[after] == u'>'
                                            || html[after] == u'/')) {
            const qsizetype end = html.indexOf(u'>', after);
            return end < 0 ? n : end + 1;
        }
    }
    return n;
}

qsizetype Reader::reference(qsizetype at)
{
    const qsizetype n = html.size();
    qsizetype i = at + 1;
    if (i < n && html[i] == u'#') {
        ++i;
        const bool hex = i < n && (html[i] == u'x' || html[i] == u'X');
        if (hex)
            ++i;
        const qsizetype start = i;
        char32_t value = 0;
        for (; i < n; ++i) {
            const char d = lowerAscii(html[i]);
            const int digit = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
            if (digit < 0)
                break;
            value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
        }
        if (i == start) {
            addChar('&');
            return at + 1;
        }
        if (i < n && html[i] == u';')
            ++i;
        addChar(value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ? Replacement : value);
        return i;
    }
    std::array<char, 8> name{};
    qsizetype length = 0;
    while (i < n && length < qsizetype(name.size()) && html[i].unicode() < 128 && html[i].isLetterOrNumber())
        name[std::size_t(length++)] = char(html[i++].unicode());
    const std::string_view key(name.data(), std::size_t(length));
    const auto found = std::lower_bound(references.begin(), references.end(), key,
                                        [](const auto& r, std::string_view k) { return r.first < k; });
    if (i < n && html[i] == u';' && found != references.end() && found->first == key) {
        addChar(found->second);
        return i + 1;
    }
    addChar('&');
    return at + 1;
}

void Reader::element(const Element& e, bool closing, QStringView source)
{
    const auto count = [closing](int& open) { open = closing ? std::max(0, open - 1) : open + 1; };
    if (e.kind == Kind::Dropped) {
        count(dropped);
        return;
    }
    if (dropped > 0)
        return;
    switch (e.kind) {
    case Kind::Bold: count(bold); break;
    case Kind::Italic: count(italic); break;
    case Kind::Underline: count(underline); break;
    case Kind::Break:
        if (!closing)
            startLine(lines.empty() || pendingBlock);
        break;
    case Kind::Picture:
        if (!closing)
            addPicture(source);
        break;
    case Kind::Block: blockBoundary(); break;
    case Kind::Heading:
        blockBoundary();
        heading = closing ? 0 : e.level;
        break;
    case Kind::List:
    case Kind::OrderedList:
        blockBoundary();
        itemStart = false;
        if (closing) {
            if (listOverflow > 0)
                --listOverflow;
            else if (!openLists.empty())
                openLists.pop_back();
        } else if (int(openLists.size()) < limits.maxListDepth) {
            lists.push_back({e.kind == Kind::OrderedList, int(openLists.size()) + 1});
            openLists.push_back(int(lists.size()) - 1);
        } else {
            ++listOverflow;
        }
        break;
    case Kind::Item:
        blockBoundary();
        itemStart = !closing;
        break;
    case Kind::Cell:
        pendingSpace = lineHasContent;
        break;
    case Kind::RawText:
    case Kind::Dropped:
        break;
    }
}

void Reader::blockBoundary()
{
    pendingBlock = true;
    pendingSpace = false;
}

bool Reader::startLine(bool newBlock)
{
    if (int(lines.size()) >= limits.maxLines) {
        stopped = true;
        return false;
    }
    Line line;
    line.newBlock = newBlock;
    line.heading = newBlock || lines.empty() ? heading : lines.back().heading;
    line.depth = int(openLists.size());
    line.list = newBlock && itemStart && !openLists.empty() ? openLists.back() : -1;
    line.start = text.size();
    line.firstRun = runs.size();
    if (newBlock)
        blockFirstRun = runs.size();
    if (!lines.empty())
        text += u' ';
    lines.push_back(line);
    if (newBlock)
        itemStart = false;
    pendingBlock = false;
    pendingSpace = false;
    lineHasContent = false;
    return true;
}

bool Reader::startContent()
{
    if ((lines.empty() || pendingBlock) && !startLine(true))
        return false;
    if (pendingSpace) {
        pendingSpace = false;
        put(' ');
    }
    return true;
}

void Reader::addChar(char32_t c)
{
    if (dropped > 0 || stopped)
        return;
    // Runs of white space are one space, none at the start or end of a line;
    // line and paragraph separators too, so that a line breaks only where
    // the markup says.
    if ((c < 128 && isSpace(QChar(c))) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
        pendingSpace = pendingSpace || lineHasContent;
        return;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || !startContent())
        return;
    // An object replacement character stands for a picture in a document:
    // shown as the replacement character, as chat text shows it.
    put(c == QChar::ObjectReplacementCharacter ? Replacement : c);
}

void Reader::put(char32_t c)
{
    quint8 style = quint8((bold > 0 ? Bold : 0) | (italic > 0 ? Italic : 0) | (underline > 0 ? Underline : 0));
    // A line after a break starts a run of its own, in the format the block
    // goes on in once it has used up its changes.
    const std::size_t inBlock = runs.size() - blockFirstRun;
    if (inBlock > 0 && runs.back().picture < 0 && (inBlock >= maxRunsInBlock || runs.size() >= maxRuns))
        style = runs.back().style;
    if (runs.size() == lines.back().firstRun || runs.back().picture >= 0 || runs.back().style != style)
        runs.push_back({text.size(), text.size(), style, -1});
    if (QChar::requiresSurrogates(c)) {
        text += QChar(QChar::highSurrogate(c));
        text += QChar(QChar::lowSurrogate(c));
    } else {
        text += QChar(char16_t(c));
    }
    runs.back().end = text.size();
    lineHasContent = true;
    if (text.size() > textCap)
        stopped = true;
}

void Reader::addPicture(QStringView address)
{
    if (!address.startsWith(u"data:", Qt::CaseInsensitive) || pictures.size() >= limits.maxPictures
        || stopped || !startContent())
        return;
    runs.push_back({text.size(), text.size(), 0, int(pictures.size())});
    pictures.append(address.toString());
    lineHasContent = true;
}

/// Code units of the code point at i.
qsizetype pointLength(QStringView s, qsizetype i)
{
    return s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate() ? 2 : 1;
}

QTextCharFormat charFormat(int heading, quint8 style)
{
    QTextCharFormat format;
    if (heading > 0) {
        // The sizes of the headings of HTML, from xx-large down.
        format.setProperty(QTextFormat::FontSizeAdjustment, 3 - (heading - 1));
        format.setFontWeight(QFont::Bold);
    }
    if (style & Bold)
        format.setFontWeight(QFont::Bold);
    if (style & Italic)
        format.setFontItalic(true);
    if (style & Underline)
        format.setFontUnderline(true);
    return format;
}

QTextBlockFormat blockFormat(const Line& line)
{
    QTextBlockFormat format;
    if (line.heading > 0) {
        format.setHeadingLevel(line.heading);
        format.setTopMargin(8);
        format.setBottomMargin(4);
    } else if (line.list < 0) {
        format.setBottomMargin(line.depth > 0 ? 2 : 6);
    }
    if (line.list < 0 && line.depth > 0)
        format.setIndent(line.depth);
    return format;
}

QTextListFormat listFormat(const ListInfo& list)
{
    static constexpr QTextListFormat::Style bullets[] = {QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                                                         QTextListFormat::ListSquare};
    QTextListFormat format;
    format.setStyle(list.ordered ? QTextListFormat::ListDecimal : bullets[(list.depth - 1) % 3]);
    format.setIndent(list.depth);
    return format;
}

} // namespace

QStringList fill(QTextDocument& document, QStringView html, const Limits& limits)
{
    Reader reader(html, limits);
    reader.read();
    QString& text = reader.text;
    // Ends the text: kept unless the bound cut the text before it.
    text += u' ';
    const QString shown = xmpp::boundedText(text, limits.maxShown);
    const bool whole = shown.endsWith(u' ');
    // What is shown is the text with characters left out (and the elision
    // mark at the end): each character shown is found in the text in turn.
    const QStringView target = QStringView(shown).chopped(1);
    std::vector<bool> keep(std::size_t(text.size()), false);
    qsizetype matchedEnd = 0;
    for (qsizetype i = 0, j = 0; i < text.size() && j < target.size();) {
        const qsizetype a = pointLength(text, i);
        const qsizetype b = pointLength(target, j);
        if (QStringView(text).sliced(i, a) == target.sliced(j, b)) {
            std::fill_n(keep.begin() + i, a, true);
            j += b;
            matchedEnd = i + a;
        }
        i += a;
    }
    const qsizetype stop = whole ? text.size() : matchedEnd;

    QStringList pictures;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    std::vector<QTextList*> made(reader.lists.size(), nullptr);
    for (std::size_t l = 0; l < reader.lines.size() && reader.lines[l].start < stop; ++l) {
        const Line& line = reader.lines[l];
        if (!line.newBlock)
            cursor.insertText(QString(QChar::LineSeparator));
        else if (l == 0)
            cursor.setBlockFormat(blockFormat(line)), cursor.setBlockCharFormat(charFormat(line.heading, 0));
        else
            cursor.insertBlock(blockFormat(line), charFormat(line.heading, 0));
        if (line.newBlock && line.list >= 0) {
            QTextList*& list = made[std::size_t(line.list)];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(listFormat(reader.lists[std::size_t(line.list)]));
        }
        const std::size_t lastRun = l + 1 < reader.lines.size() ? reader.lines[l + 1].firstRun : reader.runs.size();
        for (std::size_t r = line.firstRun; r < lastRun && reader.runs[r].start < stop; ++r) {
            const Run& run = reader.runs[r];
            if (run.picture >= 0) {
                QTextImageFormat image;
                image.setName(pictureName(int(pictures.size())));
                pictures.append(reader.pictures[run.picture]);
                cursor.insertImage(image);
                continue;
            }
            QString kept;
            for (qsizetype k = run.start; k < std::min(run.end, stop); ++k) {
                if (keep[std::size_t(k)])
                    kept += text[k];
            }
            if (!kept.isEmpty())
                cursor.insertText(kept, charFormat(line.heading, run.style));
        }
    }
    if (!whole || reader.stopped)
        cursor.insertText(QString(xmpp::text::ElisionMark));
    cursor.endEditBlock();
    return pictures;
}

QString pictureName(int index)
{
    return QStringLiteral("picture:%1").arg(index);
}

int pictureIndex(const QUrl& name)
{
    bool ok = false;
    const int index = name.scheme() == QLatin1String("picture") ? name.path().toInt(&ok) : -1;
    return ok && index >= 0 ? index : -1;
}

} // namespace RichTextGate
