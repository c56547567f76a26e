#pragma once

#include <vector>

#include "settings/equipmentdatabase.h"

class QComboBox;
class QString;

// Appends the entries' texts to `list` (items already in it stay) and selects the one that
// preferredEntry() names; when the list has no such item, its current item stays.
void fillDbComboBox(const std::vector<DatabaseEntry> &entries, QComboBox *list);

// Makes the item reading exactly `text` (case-sensitive) current; without one nothing changes.
void selectListEntry(QComboBox *list, const QString &text);
