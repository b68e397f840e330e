// Fuzzes the reader of the version list, the XML document the update check
// fetches over plain HTTP: anything on the path may answer it. Bad input must
// end in a parse_error, never in a crash, a hang or a huge allocation; a list
// that is accepted must hold only clients that the platform entries name.

#include "VersionList.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QXmlStreamReader reader(bytes);
    try {
        const VersionList list = parseVersionList(reader);
        for (const auto& [base, entries] : list.platforms) {
            if (entries.empty())
                std::abort();
            for (const os_entry_t& entry : entries) {
                if (!list.clients.contains(entry.clientid))
                    std::abort();
            }
            if (&list.entries(base) != &entries)
                std::abort();
        }
    } catch (const parse_error&) {
    }

    // The version text alone: three numbers or a refusal.
    version_t version;
    if (parseVersion(QString::fromUtf8(bytes.left(64)), version))
        (void)version;
    return 0;
}
