#include "gui/databaselist.h"

#include <QComboBox>

void fillDbComboBox(const std::vector<DatabaseEntry> &entries, QComboBox *list)
{
    for (const DatabaseEntry &entry : entries)
        list->addItem(entry.text);
    selectListEntry(list, preferredEntry(entries));
}

void selectListEntry(QComboBox *list, const QString &text)
{
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        list->setCurrentIndex(index);
}
