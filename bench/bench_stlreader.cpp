// Load time of STLReader against plain reading of the same file's bytes (and admesh when it is
// on PATH), for a large binary and a large ASCII STL generated in a temporary folder.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include "model/stlreader.h"

namespace {

constexpr int REPEATS = 3;

// Two triangles per cell of a wavy height field, so the numbers vary like a real model's.
QVector<STLStruct> heightField(int columns, int rows)
{
    const auto height = [](float x, float y) {
        return 5.0f + 3.0f * std::sin(x * 0.37f) * std::cos(y * 0.23f);
    };
    QVector<STLStruct> facets;
    facets.reserve(2 * columns * rows);
    const float step = 0.173f;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const float x0 = column * step, x1 = (column + 1) * step;
            const float y0 = row * step, y1 = (row + 1) * step;
            STLStruct first;
            first.ax = x0, first.ay = y0, first.az = height(x0, y0);
            first.bx = x1, first.by = y0, first.bz = height(x1, y0);
            first.cx = x1, first.cy = y1, first.cz = height(x1, y1);
            STLStruct second = first;
            second.bx = x1, second.by = y1, second.bz = height(x1, y1);
            second.cx = x0, second.cy = y1, second.cz = height(x0, y1);
            first.nz = second.nz = 1.0f;
            facets << first << second;
        }
    }
    return facets;
}

QByteArray binaryStl(const QVector<STLStruct> &facets)
{
    QByteArray bytes(80, ' ');
    char word[4];
    qToLittleEndian(quint32(facets.size()), word);
    bytes.append(word, 4);
    bytes.reserve(84 + 50 * facets.size());
    for (const STLStruct &facet : facets) {
        for (float value : {facet.nx, facet.ny, facet.nz, facet.ax, facet.ay, facet.az, facet.bx,
                            facet.by, facet.bz, facet.cx, facet.cy, facet.cz}) {
            qToLittleEndian(value, word);
            bytes.append(word, 4);
        }
        bytes.append(2, '\0');
    }
    return bytes;
}

QByteArray asciiStl(const QVector<STLStruct> &facets)
{
    QByteArray text = "solid bench\n";
    const auto vertex = [](const char *keyword, float x, float y, float z) -> QByteArray {
        return QByteArray(keyword) + ' ' + QByteArray::number(double(x), 'e', 6) + ' '
                + QByteArray::number(double(y), 'e', 6) + ' '
                + QByteArray::number(double(z), 'e', 6) + '\n';
    };
    for (const STLStruct &f : facets) {
        text += "  facet " + vertex("normal", f.nx, f.ny, f.nz) + "    outer loop\n";
        text += "      " + vertex("vertex", f.ax, f.ay, f.az);
        text += "      " + vertex("vertex", f.bx, f.by, f.bz);
        text += "      " + vertex("vertex", f.cx, f.cy, f.cz);
        text += "    endloop\n  endfacet\n";
    }
    return text + "endsolid bench\n";
}

// Best of a few runs, in milliseconds; the first run also warms the file cache.
double bestMilliseconds(const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < REPEATS; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

void report(const char *label, double milliseconds, double baseline)
{
    std::printf("  %-28s %9.1f ms %8.2f x readAll\n", label, milliseconds, milliseconds / baseline);
}

void measure(const char *title, const QString &path, int expectedFacets)
{
    std::printf("%s: %d facets, %lld bytes\n", title, expectedFacets,
                static_cast<long long>(QFile(path).size()));
    qint64 bytesRead = 0;
    const double readAll = bestMilliseconds([&] {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytesRead = file.readAll().size();
    });
    std::printf("  %-28s %9.1f ms (%lld bytes)\n", "QFile::readAll (baseline)", readAll,
                static_cast<long long>(bytesRead));

    int loadedFacets = -1;
    const double reader = bestMilliseconds([&] {
        STLReader model(path);
        loadedFacets = model.isValid() ? model.facets().size() : -1;
    });
    report("STLReader", reader, readAll);
    if (loadedFacets != expectedFacets)
        std::printf("  WARNING: STLReader loaded %d facets\n", loadedFacets);

    const QString admesh = QStandardPaths::findExecutable(QStringLiteral("admesh"));
    if (admesh.isEmpty()) {
        std::printf("  %-28s not found on PATH\n", "admesh");
        return;
    }
    const double admeshTime = bestMilliseconds([&] {
        QProcess process;
        process.start(admesh, {QStringLiteral("--no-check"), path});
        process.waitForFinished(-1);
    });
    report("admesh --no-check", admeshTime, readAll);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const QString binaryPath = folder.filePath(QStringLiteral("bench_binary.stl"));
    const QString asciiPath = folder.filePath(QStringLiteral("bench_ascii.stl"));
    const QVector<STLStruct> binaryFacets = heightField(1000, 500);
    const QVector<STLStruct> asciiFacets = heightField(250, 200);
    for (const auto &[path, bytes] : {std::make_pair(binaryPath, binaryStl(binaryFacets)),
                                      std::make_pair(asciiPath, asciiStl(asciiFacets))}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    measure("binary STL", binaryPath, binaryFacets.size());
    measure("ASCII STL", asciiPath, asciiFacets.size());
    return 0;
}
