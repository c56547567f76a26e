#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace TestSupport {

QByteArray binaryStl(const QVector<STLStruct> &records, qint64 declaredCount,
                     const QByteArray &header)
{
    QByteArray bytes = header.left(80);
    bytes.append(QByteArray(80 - bytes.size(), ' '));
    const quint32 count = quint32(declaredCount < 0 ? records.size() : declaredCount);
    char countBytes[4];
    qToLittleEndian(count, countBytes);
    bytes.append(countBytes, 4);
    for (const STLStruct &record : records) {
        const float *values = &record.nx;
        for (int i = 0; i < 12; ++i) {
            char valueBytes[4];
            qToLittleEndian(values[i], valueBytes);
            bytes.append(valueBytes, 4);
        }
        bytes.append(2, '\0');
    }
    return bytes;
}

static STLStruct facet(float ax, float ay, float az, float bx, float by, float bz, float cx,
                       float cy, float cz)
{
    STLStruct record;
    record.ax = ax;
    record.ay = ay;
    record.az = az;
    record.bx = bx;
    record.by = by;
    record.bz = bz;
    record.cx = cx;
    record.cy = cy;
    record.cz = cz;
    return record;
}

QVector<STLStruct> boxFacets(float x0, float y0, float z0, float x1, float y1, float z1)
{
    return {
            // bottom (normal -z) and top (+z)
            facet(x0, y0, z0, x0, y1, z0, x1, y1, z0),
            facet(x0, y0, z0, x1, y1, z0, x1, y0, z0),
            facet(x0, y0, z1, x1, y0, z1, x1, y1, z1),
            facet(x0, y0, z1, x1, y1, z1, x0, y1, z1),
            // front (-y) and back (+y)
            facet(x0, y0, z0, x1, y0, z0, x1, y0, z1),
            facet(x0, y0, z0, x1, y0, z1, x0, y0, z1),
            facet(x0, y1, z0, x0, y1, z1, x1, y1, z1),
            facet(x0, y1, z0, x1, y1, z1, x1, y1, z0),
            // left (-x) and right (+x)
            facet(x0, y0, z0, x0, y0, z1, x0, y1, z1),
            facet(x0, y0, z0, x0, y1, z1, x0, y1, z0),
            facet(x1, y0, z0, x1, y1, z0, x1, y1, z1),
            facet(x1, y0, z0, x1, y1, z1, x1, y0, z1),
    };
}

QByteArray asciiStl(const QVector<STLStruct> &records, const QByteArray &name)
{
    QByteArray text = "solid " + name + "\n";
    auto number = [](float value) { return QByteArray::number(double(value), 'g', 9); };
    auto vertex = [&](const char *keyword, float x, float y, float z) -> QByteArray {
        return QByteArray(keyword) + ' ' + number(x) + ' ' + number(y) + ' ' + number(z) + '\n';
    };
    for (const STLStruct &r : records) {
        text += "  facet " + vertex("normal", r.nx, r.ny, r.nz);
        text += "    outer loop\n";
        text += "      " + vertex("vertex", r.ax, r.ay, r.az);
        text += "      " + vertex("vertex", r.bx, r.by, r.bz);
        text += "      " + vertex("vertex", r.cx, r.cy, r.cz);
        text += "    endloop\n  endfacet\n";
    }
    text += "endsolid " + name + "\n";
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace TestSupport
