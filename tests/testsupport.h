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

// Makes a file or folder unwritable for as long as the object lives. The tests run as root too,
// which write permissions do not stop: there the immutable attribute is set. isReadOnly() is
// false where neither works (a file system without the attribute, no right to set it).
class ReadOnly
{
public:
    explicit ReadOnly(const QString &path);
    ~ReadOnly();
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;

    bool isReadOnly() const { return m_readOnly; }

private:
    bool setImmutable(bool on) const;

    QString m_path;
    uint m_mode = 0;
    bool m_immutable = false;
    bool m_readOnly = false;
};

// A small tmpfs disk mounted on a folder (made if missing) for as long as the object lives;
// isMounted() is false where this process may not mount.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace TestSupport
