#pragma once

#include <QByteArray>

#include "slicing/planesection.h"

// The text of one layer group, for the print document and for the preview document.
struct LayerText
{
    QByteArray print;
    QByteArray preview;
};

// Writes layer groups: the group opening with the layer id and plane height, the background
// rectangle, an element per outline (white or red for material, black for holes), the black
// insets of hollow layers and the group end.
class LayerFormatter
{
public:
    // `background` is the whole background rectangle element, the same on every layer.
    LayerFormatter(const QByteArray &background, bool hollow);

    void format(int id, double z, const PlaneSection::Layer &layer, LayerText &text) const;

private:
    void appendOutline(const QPolygonF &outline, bool isHole, LayerText &text) const;

    QByteArray m_background;
    bool m_hollow;
};
