#pragma once

#include "ClientVersion.h"

#include <QHash>
#include <QMap>
#include <QString>

#include <stdexcept>
#include <utility>
#include <vector>

class QXmlStreamReader;

/// One client of the version list.
struct client_entry_t
{
    version_t version;
    QString url;
    /// Shown as HTML by the update dialog.
    QString description;
    bool required = false;
};

/// One operating system under a platform base, naming the client for it.
struct os_entry_t
{
    QString name;
    /// Empty: any version of the operating system.
    QString version;
    QString clientid;
};

/// The parsed version list.
struct VersionList
{
    /// The longest description one client may collect (in characters):
    /// references to a shared description must not multiply a small
    /// document into gigabytes.
    static constexpr qsizetype maxDescriptionLength = 1 << 20;

    QMap<QString, client_entry_t> clients;
    QMap<QString, QString> descriptions;
    /// Base name to its entries in document order, bases in first-seen order.
    std::vector<std::pair<QString, std::vector<os_entry_t>>> platforms;
    /// Base name to its index in platforms.
    QHash<QString, std::size_t> platformIndex;

    /// The entries of a base in document order (empty when the base is unknown).
    const std::vector<os_entry_t>& entries(const QString& base) const;
};

/// A fault in the version list: "parse error near line N : message".
class parse_error : public std::runtime_error
{
public:
    parse_error(qint64 line, const QString& message);
};

/// Reads the whole stream in time linear in its size; throws parse_error on
/// the first fault.
VersionList parseVersionList(QXmlStreamReader& reader);

/// Reads "a.b.c" (three decimal unsigned numbers, each kept in 16 bits).
/// Returns false for any other text.
bool parseVersion(const QString& text, version_t& result);
