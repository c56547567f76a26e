#include <array>
#include <cmath>
#include <random>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

#include "app/constants.h"
#include "slicing/fixednumber.h"
#include "slicing/paintingorder.h"
#include "slicing/segmentchainer.h"
#include "slicing/slicer.h"
#include "tests/referenceslicer.h"
#include "tests/testsupport.h"

namespace {

using Point3 = std::array<double, 3>;

// A mesh of shared corners, so that neighbouring facets share their corners bit for bit, as the
// benchmark models do.
struct Mesh
{
    QVector<Point3> vertices;
    QVector<std::array<int, 3>> triangles;

    // One corner per position on a 1e-6 lattice: the same position gives the same corner.
    int corner(double x, double y, double z)
    {
        const auto key = std::make_tuple(std::llround(x * 1e6), std::llround(y * 1e6),
                                         std::llround(z * 1e6));
        auto found = m_corners.find(key);
        if (found != m_corners.end())
            return found->second;
        vertices.append({x, y, z});
        m_corners.emplace(key, vertices.size() - 1);
        return vertices.size() - 1;
    }

private:
    std::map<std::tuple<qint64, qint64, qint64>, int> m_corners;
};

// A sphere of `around` x `bands` quads, poles on the axis, sitting on z = 0.
Mesh uvSphere(double radius, int around, int bands)
{
    Mesh mesh;
    auto ring = [&](int band, int step) { return 1 + (band - 1) * around + step % around; };
    mesh.vertices.append({0, 0, 0});
    for (int band = 1; band < bands; ++band) {
        const double phi = M_PI * band / bands;
        for (int step = 0; step < around; ++step) {
            const double theta = 2 * M_PI * step / around;
            mesh.vertices.append({radius * std::sin(phi) * std::cos(theta),
                                  radius * std::sin(phi) * std::sin(theta),
                                  radius - radius * std::cos(phi)});
        }
    }
    const int north = mesh.vertices.size();
    mesh.vertices.append({0, 0, 2 * radius});
    for (int step = 0; step < around; ++step)
        mesh.triangles.append({0, ring(1, step + 1), ring(1, step)});
    for (int band = 1; band < bands - 1; ++band) {
        for (int step = 0; step < around; ++step) {
            const int a = ring(band, step), b = ring(band, step + 1);
            const int c = ring(band + 1, step + 1), d = ring(band + 1, step);
            mesh.triangles.append({a, b, c});
            mesh.triangles.append({a, c, d});
        }
    }
    for (int step = 0; step < around; ++step)
        mesh.triangles.append({ring(bands - 1, step), ring(bands - 1, step + 1), north});
    return mesh;
}

// A torus lying flat on z = 0.
Mesh torus(double major, double minor, int around, int across)
{
    Mesh mesh;
    auto index = [&](int i, int j) { return (i % around) * across + j % across; };
    for (int i = 0; i < around; ++i) {
        const double u = 2 * M_PI * i / around;
        for (int j = 0; j < across; ++j) {
            const double v = 2 * M_PI * j / across;
            const double w = major + minor * std::cos(v);
            mesh.vertices.append({w * std::cos(u), w * std::sin(u), minor + minor * std::sin(v)});
        }
    }
    for (int i = 0; i < around; ++i) {
        for (int j = 0; j < across; ++j) {
            mesh.triangles.append({index(i, j), index(i + 1, j), index(i + 1, j + 1)});
            mesh.triangles.append({index(i, j), index(i + 1, j + 1), index(i, j + 1)});
        }
    }
    return mesh;
}

// A square plate with `cells` x `cells` round through holes, each cell a strip between its
// square outline and its hole polygon (`sides` a multiple of 8, so the corners are on both).
Mesh holedPlate(double size, double thickness, int cells, double holeRadius, int sides)
{
    Mesh mesh;
    const double pitch = size / cells;
    const double half = pitch / 2;
    QVector<QPointF> circle;
    QVector<QPointF> square;
    for (int k = 0; k < sides; ++k) {
        const double angle = 2 * M_PI * k / sides;
        const double c = std::cos(angle), s = std::sin(angle);
        const double m = std::max(std::abs(c), std::abs(s));
        circle.append({holeRadius * c, holeRadius * s});
        // Snapped, so that neighbouring cells compute the same shared points.
        square.append(
                {std::round(half * c / m * 1e12) / 1e12, std::round(half * s / m * 1e12) / 1e12});
    }
    for (int ci = 0; ci < cells; ++ci) {
        for (int cj = 0; cj < cells; ++cj) {
            const double cx = -size / 2 + half + ci * pitch;
            const double cy = -size / 2 + half + cj * pitch;
            for (int k = 0; k < sides; ++k) {
                const int k1 = (k + 1) % sides;
                auto at = [&](const QPointF &p, double z) {
                    return mesh.corner(cx + p.x(), cy + p.y(), z);
                };
                const int st0 = at(square[k], thickness), st1 = at(square[k1], thickness);
                const int ct0 = at(circle[k], thickness), ct1 = at(circle[k1], thickness);
                const int sb0 = at(square[k], 0), sb1 = at(square[k1], 0);
                const int cb0 = at(circle[k], 0), cb1 = at(circle[k1], 0);
                mesh.triangles << std::array<int, 3>{ct0, st0, st1}
                               << std::array<int, 3>{ct0, st1, ct1}
                               << std::array<int, 3>{cb0, sb1, sb0}
                               << std::array<int, 3>{cb0, cb1, sb1}
                               << std::array<int, 3>{cb0, ct0, ct1}
                               << std::array<int, 3>{cb0, ct1, cb1};
            }
        }
    }
    // The outer walls through every outline point on the plate's border, counter-clockwise.
    const double low = -size / 2, high = size / 2;
    auto along = [&](const Point3 &p) {
        if (std::abs(p[1] - low) < 1e-9)
            return p[0] - low;
        if (std::abs(p[0] - high) < 1e-9)
            return size + p[1] - low;
        if (std::abs(p[1] - high) < 1e-9)
            return 2 * size + high - p[0];
        return 3 * size + high - p[1];
    };
    QVector<Point3> border;
    for (const Point3 &p : qAsConst(mesh.vertices)) {
        if (p[2] == thickness
            && (std::abs(p[0] - low) < 1e-9 || std::abs(p[0] - high) < 1e-9
                || std::abs(p[1] - low) < 1e-9 || std::abs(p[1] - high) < 1e-9))
            border.append(p);
    }
    std::sort(border.begin(), border.end(),
              [&](const Point3 &a, const Point3 &b) { return along(a) < along(b); });
    for (int k = 0; k < border.size(); ++k) {
        const Point3 &a = border[k];
        const Point3 &b = border[(k + 1) % border.size()];
        const int a0 = mesh.corner(a[0], a[1], 0), b0 = mesh.corner(b[0], b[1], 0);
        const int a1 = mesh.corner(a[0], a[1], thickness), b1 = mesh.corner(b[0], b[1], thickness);
        mesh.triangles << std::array<int, 3>{a0, b0, b1} << std::array<int, 3>{a0, b1, a1};
    }
    return mesh;
}

QVector<STLStruct> facetsOf(const Mesh &mesh)
{
    QVector<STLStruct> facets;
    for (const std::array<int, 3> &triangle : mesh.triangles) {
        STLStruct facet;
        float *corner = &facet.ax;
        for (const int index : triangle) {
            for (const double coordinate : mesh.vertices[index])
                *corner++ = float(coordinate);
        }
        facets.append(facet);
    }
    return facets;
}

// The mesh turned by a random rotation (its corners stay shared).
Mesh rotated(Mesh mesh, std::mt19937 &random)
{
    std::normal_distribution<double> normal;
    double q[4];
    double length = 0;
    for (double &component : q) {
        component = normal(random);
        length += component * component;
    }
    for (double &component : q)
        component /= std::sqrt(length);
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    const double m[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                            {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                            {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
    for (Point3 &p : mesh.vertices) {
        const Point3 old = p;
        for (int row = 0; row < 3; ++row)
            p[row] = m[row][0] * old[0] + m[row][1] * old[1] + m[row][2] * old[2];
    }
    return mesh;
}

// Facets in random order, each starting at a random one of its corners (same orientation).
QVector<STLStruct> shuffled(QVector<STLStruct> facets, std::mt19937 &random)
{
    std::shuffle(facets.begin(), facets.end(), random);
    for (STLStruct &facet : facets) {
        for (int turns = int(random() % 3); turns > 0; --turns) {
            std::swap(facet.ax, facet.bx), std::swap(facet.ay, facet.by);
            std::swap(facet.az, facet.bz);
            std::swap(facet.bx, facet.cx), std::swap(facet.by, facet.cy);
            std::swap(facet.bz, facet.cz);
        }
    }
    return facets;
}

// Open edges: `count` facets taken out at random, and one duplicated.
QVector<STLStruct> opened(QVector<STLStruct> facets, int count, std::mt19937 &random)
{
    for (int i = 0; i < count && !facets.isEmpty(); ++i)
        facets.removeAt(int(random() % uint(facets.size())));
    facets.append(facets.at(int(random() % uint(facets.size()))));
    return facets;
}

// Terraces of boxes and a double pyramid whose heights all lie on the 0.25 grid: sliced at 250
// µm, planes run exactly through vertices, edges and horizontal faces.
QVector<STLStruct> terraces()
{
    QVector<STLStruct> facets = TestSupport::boxFacets(-10, -10, 0, 10, 10, 0.5f)
            + TestSupport::boxFacets(-6, -8, 0.5f, 6, 8, 1.25f)
            + TestSupport::boxFacets(-2, -2, 1.25f, 3, 2, 2)
            + TestSupport::boxFacets(4, 4, 0, 8, 8, 1.75f);
    const std::array<float, 3> top{7, -7, 2}, bottom{7, -7, 0};
    const std::array<std::array<float, 3>, 4> middle{
            {{5, -9, 1}, {9, -9, 1}, {9, -5, 1}, {5, -5, 1}}};
    for (int k = 0; k < 4; ++k) {
        const std::array<float, 3> &a = middle[size_t(k)];
        const std::array<float, 3> &b = middle[size_t((k + 1) % 4)];
        facets.append(
                STLStruct{0, 0, 0, a[0], a[1], a[2], b[0], b[1], b[2], top[0], top[1], top[2]});
        facets.append(STLStruct{0, 0, 0, b[0], b[1], b[2], a[0], a[1], a[2], bottom[0], bottom[1],
                                bottom[2]});
    }
    return facets;
}

// Where two files first differ, or an empty text when they hold the same bytes.
QString firstDifference(const QString &actualPath, const QString &expectedPath)
{
    QFile actual(actualPath);
    QFile expected(expectedPath);
    if (!actual.open(QIODevice::ReadOnly) || !expected.open(QIODevice::ReadOnly))
        return "cannot read " + actualPath + " or " + expectedPath;
    const qint64 chunk = 1 << 20;
    for (qint64 offset = 0;; offset += chunk) {
        const QByteArray a = actual.read(chunk);
        const QByteArray b = expected.read(chunk);
        if (a == b) {
            if (a.isEmpty())
                return QString();
            continue;
        }
        int at = 0;
        while (at < a.size() && at < b.size() && a[at] == b[at])
            ++at;
        return QStringLiteral("%1 differs from %2 at byte %3:\n  got      ...%4\n  expected ...%5")
                .arg(actualPath, expectedPath)
                .arg(offset + at)
                .arg(QString::fromLatin1(a.mid(qMax(0, at - 60), 120)),
                     QString::fromLatin1(b.mid(qMax(0, at - 60), 120)));
    }
}

} // namespace

// The fast slicer writes the same print and preview documents, byte for byte, as the plain
// computation kept in referenceslicer.cpp: on the real models, on small models like the
// benchmark's, and on randomised meshes; and its number writing and ordering steps agree with
// Qt and with the plain steps on random input.
class TestSlicerEquality : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void numbersAsQtWritesThem();
    void chainingAsTheGreedySearch();
    void paintingOrderAsTheWalk();
    void realModels();
    void benchmarkLikeModels();
    void randomisedMeshes();
    void planesThroughVerticesAndFaces();

private:
    // Slices the model with both, plain and hollow, and describes the first difference.
    QString differenceFromReference(const QString &model, int microns);
    QString modelFile(const QString &name, const QVector<STLStruct> &facets);

    QTemporaryDir m_dir;
};

QString TestSlicerEquality::modelFile(const QString &name, const QVector<STLStruct> &facets)
{
    const QString path = m_dir.filePath("models/" + name + ".stl");
    TestSupport::writeFile(path, TestSupport::binaryStl(facets));
    return path;
}

QString TestSlicerEquality::differenceFromReference(const QString &model, int microns)
{
    const QString work = m_dir.filePath("work");
    QDir(work).removeRecursively();
    QDir().mkpath(work + "/reference");
    ReferenceSlicer::Documents reference;
    const int planes =
            ReferenceSlicer::writeDocuments(model, microns, work + "/reference", true, reference);
    SLICER_WORKING_DIR = work + "/runs/";
    const QString where =
            QStringLiteral("%1 at %2 µm").arg(QFileInfo(model).fileName()).arg(microns);

    for (const bool hollow : {false, true}) {
        Slicer slicer(nullptr, model, microns, 0.1f, hollow);
        QString error;
        const bool sliced = slicer.engage(error);
        if (planes < 0)
            return sliced ? where + ": sliced, but the reference cannot read it" : QString();
        if (!sliced)
            return where + ": " + error;
        if (slicer.getPlaneCounter() != planes)
            return where
                    + QStringLiteral(": %1 planes, expected %2")
                              .arg(slicer.getPlaneCounter())
                              .arg(planes);
        const QString base = slicer.getOutputFolder() + QFileInfo(model).baseName();
        const QString print =
                firstDifference(base + ".svg", hollow ? reference.hollowPrint : reference.print);
        const QString preview = firstDifference(
                base + "_preview.svg", hollow ? reference.hollowPreview : reference.preview);
        if (!print.isEmpty() || !preview.isEmpty())
            return where + (hollow ? ", hollow: " : ": ") + print + preview;
    }
    QDir(work).removeRecursively();
    return QString();
}

void TestSlicerEquality::numbersAsQtWritesThem()
{
    std::mt19937 random(20261206);
    QVector<double> values = {0.0,
                              -0.0,
                              1e-300,
                              -1e-300,
                              4e-7,
                              -4e-7,
                              5e-7,
                              -5e-7,
                              0.0078125,
                              -0.0078125,
                              1.0078125,
                              0.9999995,
                              999999999.9999996,
                              1e9,
                              -1e9,
                              123456789.123456789,
                              1e20,
                              -3e30,
                              qInf(),
                              -qInf(),
                              qQNaN()};
    // Ties: odd multiples of 2^-7 .. 2^-20 have a 5 just after the sixth decimal or further on.
    for (int power = 7; power <= 20; ++power) {
        for (int i = 0; i < 200; ++i) {
            const double tie = std::ldexp(double(2 * (random() % 100000) + 1), -power);
            values << tie << -tie;
        }
    }
    std::uniform_real_distribution<double> unit(-1, 1);
    std::uniform_int_distribution<int> exponent(-12, 10);
    for (int i = 0; i < 100000; ++i) {
        const double v = unit(random) * std::pow(10.0, exponent(random));
        // Cut points are multiples of 1e-9, as the slicer truncates them.
        values << v << std::trunc(v * 1e9) / 1e9;
    }
    for (const double v : qAsConst(values)) {
        QByteArray text;
        FixedNumber::appendFixed6(text, v);
        QCOMPARE(text, QString::number(v, 'f', 6).toLatin1());
        QByteArray point;
        FixedNumber::appendPoint(point, QPointF(v, -v));
        QCOMPARE(point,
                 QString::number(v, 'f', 6).toLatin1() + ','
                         + QString::number(-v, 'f', 6).toLatin1() + ' ');
    }
}

void TestSlicerEquality::chainingAsTheGreedySearch()
{
    // Closed loops on a coarse grid, shifted by 0 to 3 quanta so that ends meet, nearly meet or
    // just fail to; some turned round, some duplicated, some dangling; shuffled.
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const double quantum = 1e-9 * (1 + round % 3) / 1.5;
        auto jitter = [&]() { return int(random() % 7 - 3) * quantum * (random() % 4 == 0); };
        auto gridPoint = [&]() {
            return QPointF(int(random() % 9) / 8.0 + jitter(), int(random() % 9) / 8.0 + jitter());
        };
        QList<SliceSegment> reference;
        const int loops = 1 + int(random() % 6);
        for (int loop = 0; loop < loops; ++loop) {
            QVector<QPointF> corners;
            for (int k = 3 + int(random() % 6); k > 0; --k)
                corners << gridPoint();
            for (int k = 0; k < corners.size(); ++k) {
                const QPointF p = corners[k] + QPointF(jitter(), jitter());
                const QPointF q = corners[(k + 1) % corners.size()];
                const QPointF n(loop, k);
                reference << (random() % 4 == 0 ? SliceSegment(q, p, n) : SliceSegment(p, q, n));
                if (random() % 10 == 0)
                    reference << reference.last();
            }
        }
        for (int k = int(random() % 3); k > 0; --k)
            reference << SliceSegment(gridPoint(), gridPoint(), QPointF(-1, k));
        std::shuffle(reference.begin(), reference.end(), random);

        std::vector<SliceSegment> fast(reference.begin(), reference.end());
        ReferenceSlicer::chainSegments(reference);
        SegmentChainer().chain(fast);
        for (int i = 0; i < reference.size(); ++i) {
            const SliceSegment &expected = reference.at(i);
            const SliceSegment &got = fast[size_t(i)];
            QVERIFY2(got.P() == expected.P() && got.Q() == expected.Q() && got.N() == expected.N(),
                     qPrintable(QStringLiteral("round %1, segment %2").arg(round).arg(i)));
        }
    }
}

void TestSlicerEquality::paintingOrderAsTheWalk()
{
    // Boxes with edges from a few values, so that nesting, shared edges and equal boxes abound;
    // and outlines of one point.
    std::mt19937 random(11);
    PaintingOrder order;
    for (int round = 0; round < 500; ++round) {
        QList<QPolygonF> outlines;
        for (int count = int(random() % 40); count > 0; --count) {
            const double x0 = int(random() % 8), y0 = int(random() % 8);
            const double x1 = x0 + int(random() % 8), y1 = y0 + int(random() % 8);
            outlines << QPolygonF({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
        }
        QList<bool> holes;
        for (int i = 0; i < outlines.size(); ++i)
            holes << (i % 2 == 0);
        QList<QPolygonF> expected = outlines;
        ReferenceSlicer::orderForPainting(expected, holes);
        QList<QPolygonF> got;
        for (const int i : order.of(outlines))
            got << outlines.at(i);
        QCOMPARE(got, expected);
    }
}

void TestSlicerEquality::realModels()
{
    const QStringList models = QDir(QStringLiteral(SHARED_MODELS_DIR)).entryList({"*.stl"});
    if (models.isEmpty())
        QSKIP("the shared models are not there");
    for (const QString &name : models) {
        for (const int microns : {50, 100}) {
            const QString difference =
                    differenceFromReference(QStringLiteral(SHARED_MODELS_DIR "/") + name, microns);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }
}

void TestSlicerEquality::benchmarkLikeModels()
{
    // The benchmark's sphere, torus and plate with holes, with fewer facets.
    const QList<QPair<QString, Mesh>> models = {
            {"sphere", uvSphere(20, 80, 41)},
            {"torus", torus(20, 8, 72, 28)},
            {"plate", holedPlate(24, 5, 6, 1, 16)},
    };
    for (const auto &model : models) {
        const QString path = modelFile(model.first, facetsOf(model.second));
        for (const int microns : {50, 100}) {
            const QString difference = differenceFromReference(path, microns);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }
}

void TestSlicerEquality::randomisedMeshes()
{
    std::mt19937 random(42);
    const QList<QPair<QString, Mesh>> models = {
            {"sphere", uvSphere(10, 36, 19)},
            {"torus", torus(12, 4, 36, 16)},
            {"plate", holedPlate(12, 3, 3, 1, 8)},
    };
    for (int round = 0; round < 3; ++round) {
        for (const auto &model : models) {
            const QVector<STLStruct> turned = facetsOf(rotated(model.second, random));
            const QString name = model.first + QString::number(round);
            const QString shuffledModel = modelFile(name + "_shuffled", shuffled(turned, random));
            const QString openModel = modelFile(name + "_open", opened(turned, 3, random));
            for (const QString &path : {shuffledModel, openModel}) {
                const int microns = round % 2 == 0 ? 50 : 100;
                const QString difference = differenceFromReference(path, microns);
                QVERIFY2(difference.isEmpty(), qPrintable(difference));
            }
        }
    }
}

void TestSlicerEquality::planesThroughVerticesAndFaces()
{
    std::mt19937 random(3);
    const QString ordered = modelFile("terraces", terraces());
    const QString mixed = modelFile("terraces_shuffled", shuffled(terraces(), random));
    for (const QString &path : {ordered, mixed}) {
        for (const int microns : {250, 500, 50}) {
            const QString difference = differenceFromReference(path, microns);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }
}

QTEST_MAIN(TestSlicerEquality)
#include "tst_slicerequality.moc"
