#include "VersionList.h"

#include <QXmlStreamReader>

namespace {

QString attribute(const QXmlStreamReader& reader, QLatin1StringView name)
{
    return reader.attributes().value(name).toString();
}

[[noreturn]] void fail(const QXmlStreamReader& reader, const char* message)
{
    throw parse_error(reader.lineNumber(), QString::fromLatin1(message));
}

bool parsePart(const QString& text, quint16& result)
{
    if (text.isEmpty())
        return false;
    quint32 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        // Only the low 16 bits are kept, so the rest may be dropped as we go.
        value = (value * 10 + (c.unicode() - '0')) & 0xFFFFu;
    }
    result = static_cast<quint16>(value);
    return true;
}

}

const std::vector<os_entry_t>& VersionList::entries(const QString& base) const
{
    static const std::vector<os_entry_t> none;
    const auto it = platformIndex.constFind(base);
    return it == platformIndex.constEnd() ? none : platforms[*it].second;
}

parse_error::parse_error(qint64 line, const QString& message)
    : std::runtime_error(QStringLiteral("parse error near line %1 : %2").arg(line).arg(message).toStdString())
{
}

bool parseVersion(const QString& text, version_t& result)
{
    const QStringList parts = text.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 3)
        return false;
    version_t v;
    if (!parsePart(parts[0], v.major) || !parsePart(parts[1], v.minor) || !parsePart(parts[2], v.patch))
        return false;
    result = v;
    return true;
}

VersionList parseVersionList(QXmlStreamReader& reader)
{
    VersionList list;
    QString currentClient; // empty: outside any client
    QString currentBase;   // empty: outside any platform

    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView name = reader.name();
            if (name == QLatin1String("client")) {
                const QString id = attribute(reader, QLatin1String("id"));
                if (id.isEmpty())
                    fail(reader, "id attribute empty or missing");
                if (list.clients.contains(id))
                    fail(reader, "duplicate client id");
                const QString versionText = attribute(reader, QLatin1String("version"));
                if (versionText.isEmpty())
                    fail(reader, "version attribute empty or missing");
                client_entry_t entry;
                if (!parseVersion(versionText, entry.version))
                    fail(reader, "version attribute invalid");
                entry.url = attribute(reader, QLatin1String("url"));
                if (entry.url.isEmpty())
                    fail(reader, "url attribute empty or missing");
                entry.required = attribute(reader, QLatin1String("required")) == QLatin1String("true");
                list.clients.insert(id, entry);
                currentClient = id;
            } else if (name == QLatin1String("description")) {
                if (currentClient.isEmpty())
                    continue;
                const QString ref = attribute(reader, QLatin1String("clientdescriptionid"));
                QString text;
                if (!ref.isEmpty()) {
                    const auto it = list.descriptions.constFind(ref);
                    if (it == list.descriptions.constEnd())
                        fail(reader, "client description id not found");
                    text = *it;
                }
                // A child element inside a description is a reader error,
                // reported with the reader's own text after the loop.
                text += reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                QString& description = list.clients[currentClient].description;
                if (description.size() + text.size() > VersionList::maxDescriptionLength)
                    fail(reader, "client description too long");
                description += text;
            } else if (name == QLatin1String("clientdescription")) {
                const QString id = attribute(reader, QLatin1String("id"));
                if (id.isEmpty())
                    fail(reader, "id attribute empty or missing");
                if (list.descriptions.contains(id))
                    fail(reader, "duplicate client description id");
                list.descriptions.insert(id, reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
            } else if (name == QLatin1String("platform")) {
                const QString base = attribute(reader, QLatin1String("base"));
                if (base.isEmpty())
                    fail(reader, "base attribute empty or missing");
                currentBase = base;
            } else if (name == QLatin1String("os")) {
                if (currentBase.isEmpty())
                    continue;
                os_entry_t entry;
                entry.name = attribute(reader, QLatin1String("name"));
                if (entry.name.isEmpty())
                    fail(reader, "name attribute empty or missing");
                entry.clientid = attribute(reader, QLatin1String("clientid"));
                if (entry.clientid.isEmpty())
                    fail(reader, "clientId attribute empty or missing");
                if (!list.clients.contains(entry.clientid))
                    fail(reader, "client id not found");
                entry.version = attribute(reader, QLatin1String("version"));
                // Found through the index: a search of the whole list for
                // every entry would make a long list take quadratic time.
                auto it = list.platformIndex.constFind(currentBase);
                if (it == list.platformIndex.constEnd()) {
                    it = list.platformIndex.insert(currentBase, list.platforms.size());
                    list.platforms.emplace_back(currentBase, std::vector<os_entry_t>{});
                }
                list.platforms[*it].second.push_back(std::move(entry));
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("platform"))
                currentBase.clear();
            else if (reader.name() == QLatin1String("client"))
                currentClient.clear();
        }
    }
    if (reader.hasError())
        throw parse_error(reader.lineNumber(), reader.errorString());
    return list;
}
