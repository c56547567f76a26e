#include <cmath>

#include "base/resinprices.h"
#include "fuzz/fuzzsupport.h"
#include "settings/equipmentdatabase.h"

// Any bytes as a resin or projector database: every entry has a text and either no price or a
// usable one, and the resin prices it sets stay usable.
KELVAROME_FUZZ_ENTRY(database)
{
    const std::vector<DatabaseEntry> entries =
            readDatabase(writeScratchFile(QStringLiteral("resins.cfg"), data, size));
    for (const DatabaseEntry &entry : entries) {
        FUZZ_CHECK(!entry.text.isEmpty());
        FUZZ_CHECK(entry.cost == -1.0f || (std::isfinite(entry.cost) && entry.cost >= 0.0f));
    }
    updateResinPrices(entries);
    for (const float price : {COSTO_FTD_SB, COSTO_FTD_IB, COSTO_FTD_CB, COSTO_PTL_HS, COSTO_PTL_CB})
        FUZZ_CHECK(std::isfinite(price) && price >= 0.0f);
    FUZZ_CHECK(!preferredEntry(entries).isEmpty());
    return 0;
}
