#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"
#include "persistence/TimingSnapshot.h"
#include "tracking/MemorySettings.h"
#include "tracking/OfflineTracker.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any input, as a timing document: reading must not crash, hang or exhaust memory. The quick
// reader of the common form must read what the full XML reader reads. Whatever is read must be
// writable and read back to the same document, and loading it into a store must give timings
// that save and load again, written straight from a snapshot just as through their dictionary.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const PropertyListResult read = PropertyList::parse(input);
    const PropertyListResult full = PropertyList::parseWithFullReader(input);
    if (read.ok() != full.ok())
        std::abort();
    if (!read.ok())
        return 0;

    QByteArray written;
    QByteArray writtenFromFull;
    QString error;
    if (!PropertyList::serialize(read.value, &written, &error)
        || !PropertyList::serialize(full.value, &writtenFromFull, &error) || written != writtenFromFull)
        std::abort();
    const PropertyListResult reread = PropertyList::parse(written);
    if (!reread.ok())
        std::abort();
    QByteArray rewritten;
    if (!PropertyList::serialize(reread.value, &rewritten, &error) || rewritten != written)
        std::abort();

    MemorySettings settings;
    OfflineTracker offline(settings);
    loadDictionary(offline.tracker(), read.value);
    QByteArray saved;
    QByteArray savedFromSnapshot;
    if (!PropertyList::serialize(QVariant::fromValue(wrappedDictionaryWithVersioning(offline.tracker())), &saved, &error)
        || !PropertyList::serialize(QVariant::fromValue(TimingSnapshot::of(offline.tracker())), &savedFromSnapshot, &error)
        || savedFromSnapshot != saved)
        std::abort();
    OfflineTracker reloaded(settings);
    if (!PropertyList::parse(saved).ok())
        std::abort();
    loadDictionary(reloaded.tracker(), PropertyList::parse(saved).value);
    if (reloaded.tracker().fullTimeSet().size() != offline.tracker().fullTimeSet().size())
        std::abort();
    return 0;
}
