#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class STLReader;

// The figures the model page shows for one model or for the whole bed: the reader's measures in
// single precision, and the texts the page puts in its labels (also printed by
// kelvarome-slice --info).
struct ModelFigures
{
    float length = 0; // mm
    float width = 0;
    float height = 0;
    float area = 0; // cm²
    float volume = 0; // cm³
    float mass = 0; // kg
    float triangles = 0;
    float costFtdSb = 0; // euro, for each resin family
    float costFtdIb = 0;
    float costFtdCb = 0;
    float costPtlHs = 0;
    float costPtlCb = 0;

    static ModelFigures of(const STLReader &model);
    // The largest length, width and height of any one model (not the extent of the arrangement)
    // and the sums of the other figures.
    static ModelFigures ofBed(const QList<const STLReader *> &models);

    // Two decimals; the mass in grams; the triangle count in general format.
    QString lengthText() const;
    QString widthText() const;
    QString heightText() const;
    QString areaText() const;
    QString volumeText() const;
    QString massText() const;
    QString trianglesText() const;
    // The cost in the resin named as in the resin list: of the keywords the name contains, the
    // last in the list picks the price; empty when it contains none. For the bed, any
    // "castable" resin takes FunToDo's castable price unless a later keyword matches.
    QString costText(const QString &resinName, bool bed) const;
    // The measures as the print log records them, three lines.
    QStringList logLines() const;
};
