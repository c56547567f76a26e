#include "settings/equipmentdatabase.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QSettings>

#include "base/constants.h"
#include "base/resinprices.h"
#include "base/settingsvalues.h"

const QString RESINS_DB = QStringLiteral(":/db/resins.cfg");
const QString PROJECTORS_DB = QStringLiteral(":/db/projectors.cfg");

namespace {

const QString KEY_BRAND = QStringLiteral("brand");
const QString KEY_MODEL = QStringLiteral("model");
const QString KEY_COLOR = QStringLiteral("color");
const QString KEY_COST = QStringLiteral("cost");

// A cost that is not a usable price counts as none: it must not make a resin free.
float readCost(const QSettings &database)
{
    if (!database.contains(KEY_COST))
        return -1.0f;
    bool number = false;
    const float cost = database.value(KEY_COST).toFloat(&number);
    return number && std::isfinite(cost) && cost >= 0.0f ? cost : -1.0f;
}

} // namespace

std::vector<DatabaseEntry> readDatabase(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return {};
    QSettings database(path, QSettings::IniFormat);
    if (database.status() == QSettings::AccessError)
        return {};

    std::vector<DatabaseEntry> entries;
    for (const QString &group : database.childGroups()) {
        database.beginGroup(group);
        DatabaseEntry entry;
        entry.text = database.value(KEY_BRAND, VEK_UNDEF_STR).toString() + QLatin1Char(' ')
                + database.value(KEY_MODEL, VEK_UNDEF_STR).toString();
        const QString color = database.value(KEY_COLOR, VEK_UNDEF_STR).toString();
        if (color != VEK_UNDEF_STR) {
            entry.text += QLatin1Char(' ') + color;
            entry.hasColor = true;
        }
        entry.cost = readCost(database);
        database.endGroup();
        entries.push_back(entry);
    }
    return entries;
}

void updateResinPrices(const std::vector<DatabaseEntry> &entries)
{
    const std::pair<QString, float *> prices[] = {
            {QStringLiteral("standard"), &COSTO_FTD_SB},
            {QStringLiteral("industrial"), &COSTO_FTD_IB},
            {QStringLiteral("funtodo castable"), &COSTO_FTD_CB},
            {QStringLiteral("pentholac hs"), &COSTO_PTL_HS},
            {QStringLiteral("pentholac castable"), &COSTO_PTL_CB},
    };
    for (const DatabaseEntry &entry : entries) {
        if (entry.cost < 0.0f)
            continue;
        for (const auto &[keyword, price] : prices) {
            if (entry.text.contains(keyword, Qt::CaseInsensitive))
                *price = entry.cost;
        }
    }
}

QString preferredEntry(const std::vector<DatabaseEntry> &entries)
{
    const bool resins = std::any_of(entries.begin(), entries.end(),
                                    [](const DatabaseEntry &entry) { return entry.hasColor; });
    return resins ? SETTINGS_DEF_RESIN : SETTINGS_DEF_PROJECTOR;
}
