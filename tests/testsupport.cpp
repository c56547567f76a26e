#include "tests/testsupport.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace TestSupport {

QByteArray binaryStl(const QVector<STLStruct> &records, qint64 declaredCount,
                     const QByteArray &header)
{
    QByteArray bytes = header.leftJustified(80, ' ', true);
    QDataStream stream(&bytes, QIODevice::Append);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream << quint32(declaredCount < 0 ? records.size() : declaredCount);
    for (const STLStruct &record : records) {
        for (const float *value = &record.nx; value <= &record.cz; ++value)
            stream << *value;
        stream << quint16(0);
    }
    return bytes;
}

QByteArray asciiStl(const QVector<STLStruct> &records, const QByteArray &name)
{
    const auto line = [](const char *keyword, const float *xyz) -> QByteArray {
        QByteArray text = keyword;
        for (int i = 0; i < 3; ++i)
            text += ' ' + QByteArray::number(double(xyz[i]), 'g', 9);
        return text + '\n';
    };
    QByteArray text = "solid " + name + "\n";
    for (const STLStruct &r : records) {
        text += "  facet " + line("normal", &r.nx) + "    outer loop\n";
        for (const float *corner : {&r.ax, &r.bx, &r.cx})
            text += "      " + line("vertex", corner);
        text += "    endloop\n  endfacet\n";
    }
    return text + "endsolid " + name + "\n";
}

QVector<STLStruct> boxFacets(float x0, float y0, float z0, float x1, float y1, float z1)
{
    // Corner k of the box takes the high x, y, z where bits 0, 1, 2 of k are set.
    const int corners[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
                                {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
    QVector<STLStruct> facets;
    for (const auto &triangle : corners) {
        STLStruct facet;
        float *value = &facet.ax;
        for (const int k : triangle) {
            *value++ = k & 1 ? x1 : x0;
            *value++ = k & 2 ? y1 : y0;
            *value++ = k & 4 ? z1 : z0;
        }
        facets << facet;
    }
    return facets;
}

QVector<STLStruct> inverted(QVector<STLStruct> records)
{
    for (STLStruct &r : records)
        r = {r.nx, r.ny, r.nz, r.ax, r.ay, r.az, r.cx, r.cy, r.cz, r.bx, r.by, r.bz};
    return records;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.left(qMax(0, path.lastIndexOf('/'))));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

// Whether something can still be written there: a new file in a folder, the file itself opened
// for writing (appending nothing).
bool isWritable(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        QFile probe(path + "/probe-" + QUuid::createUuid().toString(QUuid::Id128));
        const bool made = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return made;
    }
    QFile file(path);
    return file.open(QIODevice::Append);
}

} // namespace

ReadOnly::ReadOnly(const QString &path)
    : m_path(path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return;
    m_mode = status.st_mode & 07777;
    ::chmod(QFile::encodeName(path).constData(), m_mode & ~0222u);
    if (isWritable(path))
        m_immutable = setImmutable(true);
    m_readOnly = !isWritable(path);
}

ReadOnly::~ReadOnly()
{
    if (m_immutable)
        setImmutable(false);
    if (m_mode != 0)
        ::chmod(QFile::encodeName(m_path).constData(), m_mode);
}

bool ReadOnly::setImmutable(bool on) const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    set = set && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return set;
}

SmallDisk::SmallDisk(const QString &folder, qint64 bytes)
    : m_folder(folder)
{
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted =
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData())
            == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

} // namespace TestSupport
