#pragma once

#include <vector>

#include <QString>

// The built-in databases: read-only INI files among the resources, one group per entry ("[id0]",
// "[id1]", ...) with the keys "brand", "model" and, for resins, "color" and "cost" (euro/kg).
extern const QString RESINS_DB;
extern const QString PROJECTORS_DB;

struct DatabaseEntry
{
    // brand + " " + model, then " " + color when the entry has a color; a missing brand or
    // model reads "UNDEFINED".
    QString text;
    bool hasColor = false;
    // Price in euro per kilogram; -1 when the entry has none or it is not a number >= 0.
    float cost = -1.0f;
};

// The entries of the database file at `path` (a resource path or any file) in the settings
// library's group order, which sorts the names as text (id0, id1, id10, id2, ...). Empty when the
// file cannot be read.
std::vector<DatabaseEntry> readDatabase(const QString &path);

// Sets the resin prices (COSTO_*) from the entries that have a cost: each one sets the price of
// every keyword its text contains, without regard to case ("standard" COSTO_FTD_SB, "industrial"
// COSTO_FTD_IB, "funtodo castable" COSTO_FTD_CB, "pentholac hs" COSTO_PTL_HS, "pentholac
// castable" COSTO_PTL_CB), so the last matching entry wins.
void updateResinPrices(const std::vector<DatabaseEntry> &entries);

// The text a list of these entries selects: SETTINGS_DEF_RESIN when some entry has a color (a
// resin database), else SETTINGS_DEF_PROJECTOR.
QString preferredEntry(const std::vector<DatabaseEntry> &entries);
