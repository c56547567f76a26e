#pragma once

#include <string_view>

#include <QByteArray>
#include <QHash>
#include <QString>

// A job's layer document (print or preview) read one layer at a time. Opening only notes where
// each layer group lies in the file, so a document of tens of megabytes opens at once; a layer
// then becomes a small document of its own: the header, that one group and the end.
class LayerDocument
{
public:
    LayerDocument() = default;
    LayerDocument(const LayerDocument &) = delete;
    LayerDocument &operator=(const LayerDocument &) = delete;

    // False when the file cannot be read or holds no layer groups as the slicer writes them.
    bool open(const QString &path);
    bool isOpen() const { return !m_groups.isEmpty(); }
    bool contains(const QString &id) const { return m_groups.contains(id); }
    // A whole SVG document holding only the group with the id `id`; empty without such a group.
    QByteArray layer(const QString &id) const;

private:
    // Read whole: a mapped file would crash the program if someone cut it short meanwhile.
    QByteArray m_bytes;
    std::string_view m_header;
    QHash<QString, std::string_view> m_groups;
};

// Writes the red preview copy of the layer document at `documentPath` to `previewPath`: the same
// bytes with every "white" turned into "red". The copy appears whole or not at all, so a copy cut
// short by a crash or a full disk is never taken for a good one. On failure appends the reason to
// `error` and returns false.
bool writePreviewDocument(const QString &documentPath, const QString &previewPath, QString &error);
