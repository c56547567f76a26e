#include "model/modelfigures.h"

#include <algorithm>

#include "base/formatting.h"
#include "model/stlreader.h"

ModelFigures ModelFigures::of(const STLReader &model)
{
    ModelFigures figures;
    figures.length = model.getObjectLength();
    figures.width = model.getObjectWidth();
    figures.height = model.getObjectHeight();
    figures.area = model.getObjectArea();
    figures.volume = model.getObjectVolume();
    figures.mass = model.getObjectMass();
    figures.triangles = model.getObjectTriangles();
    figures.costFtdSb = model.getObjectCostFTD_SB();
    figures.costFtdIb = model.getObjectCostFTD_IB();
    figures.costFtdCb = model.getObjectCostFTD_CB();
    figures.costPtlHs = model.getObjectCostPTL_HS();
    figures.costPtlCb = model.getObjectCostPTL_CB();
    return figures;
}

ModelFigures ModelFigures::ofBed(const QList<const STLReader *> &models)
{
    ModelFigures bed;
    for (const STLReader *model : models) {
        const ModelFigures one = of(*model);
        bed.length = std::max(bed.length, one.length);
        bed.width = std::max(bed.width, one.width);
        bed.height = std::max(bed.height, one.height);
        bed.area += one.area;
        bed.volume += one.volume;
        bed.mass += one.mass;
        bed.triangles += one.triangles;
        bed.costFtdSb += one.costFtdSb;
        bed.costFtdIb += one.costFtdIb;
        bed.costFtdCb += one.costFtdCb;
        bed.costPtlHs += one.costPtlHs;
        bed.costPtlCb += one.costPtlCb;
    }
    return bed;
}

QString ModelFigures::lengthText() const
{
    return numberFormat(length, 2);
}

QString ModelFigures::widthText() const
{
    return numberFormat(width, 2);
}

QString ModelFigures::heightText() const
{
    return numberFormat(height, 2);
}

QString ModelFigures::areaText() const
{
    return numberFormat(area, 2);
}

QString ModelFigures::volumeText() const
{
    return numberFormat(volume, 2);
}

QString ModelFigures::massText() const
{
    return numberFormat(mass * 1000, 2);
}

QString ModelFigures::trianglesText() const
{
    return QString::number(double(triangles), 'g', 6);
}

QString ModelFigures::costText(const QString &resinName, bool bed) const
{
    const struct
    {
        const char *keyword;
        float cost;
    } keywords[] = {
            {"standard", costFtdSb},
            {"industrial", costFtdIb},
            {bed ? "castable" : "funtodo castable", costFtdCb},
            {"pentholac hs", costPtlHs},
            {"pentholac castable", costPtlCb},
    };
    QString text;
    for (const auto &keyword : keywords) {
        if (resinName.contains(QLatin1String(keyword.keyword), Qt::CaseInsensitive))
            text = numberFormat(keyword.cost, 2);
    }
    return text;
}

QStringList ModelFigures::logLines() const
{
    const auto value = [](float number, const char *unit) {
        return numberFormat(number, 2) + QStringLiteral(" [") + QString::fromUtf8(unit)
                + QLatin1Char(']');
    };
    return {QStringLiteral("Length: ") + value(length, "mm") + QStringLiteral(" Width: ")
                    + value(width, "mm") + QStringLiteral(" Height: ") + value(height, "mm"),
            QStringLiteral("Mass: ") + value(mass * 1000, "gr") + QStringLiteral(" Volume: ")
                    + value(volume, "cm³"),
            QStringLiteral("Cost SB: ") + value(costFtdSb, "€") + QStringLiteral(" Cost IB: ")
                    + value(costFtdIb, "€") + QStringLiteral(" Cost CB: ") + value(costFtdCb, "€")
                    + QStringLiteral(" Cost THS: ") + value(costPtlHs, "€")
                    + QStringLiteral(" Cost TCB: ") + value(costPtlCb, "€")};
}
