// The multi-select key list parser on any text: it accepts only the quoted form, and what it accepts
// written back in that form parses to the same keys.

#include "server/key_list.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto keys = ctb::server::parseKeyList(text);
    if (!keys)
        return 0;
    QStringList quoted;
    for (QString k : *keys)
        quoted << u'\'' + k.replace(u'\'', QStringLiteral("''")) + u'\'';
    const auto again = ctb::server::parseKeyList(quoted.join(u','));
    if (!again || *again != *keys)
        std::abort();
    return 0;
}
