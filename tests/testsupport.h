#pragma once

#include <QString>
#include <QVector>

#include "model/stlreader.h"

namespace TestSupport {

// Binary STL bytes of the records, declaring `declaredCount` of them (when not negative).
QByteArray binaryStl(const QVector<STLStruct> &records, qint64 declaredCount = -1,
                     const QByteArray &header = QByteArray());
// ASCII STL text of the records; 9 significant digits give the floats back exactly.
QByteArray asciiStl(const QVector<STLStruct> &records, const QByteArray &name = "test");
// The twelve facets of the box with corners (x0, y0, z0) and (x1, y1, z1), facing outward: bottom,
// top, then the four side walls.
QVector<STLStruct> boxFacets(float x0, float y0, float z0, float x1, float y1, float z1);
// The facets turned inside out (their second and third corners swapped): the walls of a hole.
QVector<STLStruct> inverted(QVector<STLStruct> records);
// Writes the bytes to the file, making its folder; false when that fails.
bool writeFile(const QString &path, const QByteArray &bytes);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace TestSupport
