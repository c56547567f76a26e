#include "slicing/layertext.h"

#include <QString>
#include <QTextStream>

#include "slicing/fixednumber.h"

namespace {

const char OUTLINE_START[] = "<polygon points=\"";
const char OUTLINE_END[] = ";\" transform=\"scale(-1, 1)\" />\n";
const char INSET_END[] = "\" style=\"stroke-width:0.5; fill:black\" transform=\"scale(-1, 1)\"  />";

QByteArray pointsOf(const QPolygonF &outline)
{
    QByteArray points;
    points.reserve(outline.size() * 24);
    for (const QPointF &point : outline)
        FixedNumber::appendPoint(points, point);
    return points;
}

} // namespace

LayerFormatter::LayerFormatter(const QByteArray &background, bool hollow)
    : m_background(background)
    , m_hollow(hollow)
{ }

void LayerFormatter::format(int id, double z, const PlaneSection::Layer &layer,
                            LayerText &text) const
{
    // The height in the text stream's own real-number format (6 significant digits, the shorter
    // of fixed and scientific); once per layer, so the stream's cost does not matter.
    QString opening;
    QTextStream stream(&opening, QIODevice::WriteOnly);
    stream << "<g id=\"" << id << "\" plane=\"" << z << "\">\n";
    stream.flush();

    text.print = opening.toLatin1() + m_background;
    text.preview = text.print;
    for (int i = 0; i < layer.outlines.size(); ++i)
        appendOutline(layer.outlines.at(i), layer.holes.at(i), text);
    text.print += "</g>\n";
    text.preview += "</g>\n";
}

void LayerFormatter::appendOutline(const QPolygonF &outline, bool isHole, LayerText &text) const
{
    const QByteArray points = pointsOf(outline);
    text.print += OUTLINE_START + points + "\" style=\"fill:" + (isHole ? "black" : "white")
            + OUTLINE_END;
    text.preview +=
            OUTLINE_START + points + "\" style=\"fill:" + (isHole ? "black" : "red") + OUTLINE_END;
    if (!m_hollow || isHole)
        return;
    for (const QPolygonF &inset : PlaneSection::hollowInsets(outline)) {
        const QByteArray element = OUTLINE_START + pointsOf(inset) + INSET_END;
        text.print += element;
        text.preview += element;
    }
}
