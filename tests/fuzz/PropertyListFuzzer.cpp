#include "persistence/PropertyList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any input: reading must not crash, hang or exhaust memory. Whatever is read must be
// writable, and what is written must read back to the same document.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const PropertyListResult read =
        PropertyList::parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!read.ok())
        return 0;

    QByteArray written;
    QString error;
    if (!PropertyList::serialize(read.value, &written, &error))
        std::abort();
    const PropertyListResult reread = PropertyList::parse(written);
    if (!reread.ok())
        std::abort();
    QByteArray rewritten;
    if (!PropertyList::serialize(reread.value, &rewritten, &error) || rewritten != written)
        std::abort();
    return 0;
}
