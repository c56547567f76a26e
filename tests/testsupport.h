#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include "model/stlreader.h"

namespace TestSupport {

// Binary STL bytes for the given records, with `declaredCount` written in the header
// (the real number of records when negative).
QByteArray binaryStl(const QVector<STLStruct> &records, qint64 declaredCount = -1,
                     const QByteArray &header = QByteArray());

// The twelve facets of an axis-aligned box with corners (x0, y0, z0) and (x1, y1, z1),
// corners counter-clockwise seen from outside.
QVector<STLStruct> boxFacets(float x0, float y0, float z0, float x1, float y1, float z1);

// ASCII STL text for the given records.
QByteArray asciiStl(const QVector<STLStruct> &records, const QByteArray &name = "test");

// Writes bytes to a file, creating its folder; fails the calling test on error.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace TestSupport
