#include <cmath>
#include <cstring>
#include <limits>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QTextStream>
#include <QVector3D>
#include <QtEndian>

#include "model/stlreader.h"
#include "tests/testsupport.h"

using TestSupport::asciiStl;
using TestSupport::binaryStl;
using TestSupport::boxFacets;
using Facet = STLReader::Facet;
using Vertex = STLReader::Vertex;

namespace {

STLStruct triangle(QVector3D a, QVector3D b, QVector3D c)
{
    STLStruct record;
    record.ax = a.x(), record.ay = a.y(), record.az = a.z();
    record.bx = b.x(), record.by = b.y(), record.bz = b.z();
    record.cx = c.x(), record.cy = c.y(), record.cz = c.z();
    return record;
}

QVector3D vector(const Vertex &vertex)
{
    return QVector3D(vertex.x, vertex.y, vertex.z);
}

Vertex toVertex(const QVector3D &vector)
{
    return {vector.x(), vector.y(), vector.z()};
}

bool sameBits(const Vertex &left, const Vertex &right)
{
    return std::memcmp(&left, &right, sizeof(Vertex)) == 0;
}

bool sameFacets(const QVector<Facet> &actual, const QVector<Facet> &expected)
{
    if (actual.size() != expected.size()) {
        qWarning("%d facets instead of %d", actual.size(), expected.size());
        return false;
    }
    for (int i = 0; i < actual.size(); ++i) {
        const Facet &left = actual.at(i);
        const Facet &right = expected.at(i);
        if (!sameBits(left.n(), right.n()) || !sameBits(left.a(), right.a())
            || !sameBits(left.b(), right.b()) || !sameBits(left.c(), right.c())) {
            qWarning("facet %d differs:\n%s%s", i, qPrintable(left.printFacet()),
                     qPrintable(right.printFacet()));
            return false;
        }
    }
    return true;
}

// The records of a well-formed ASCII STL read word by word with a text stream.
QVector<STLStruct> textStreamRecords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream stream(&file);
    QString word;
    while (word.toLower() != QLatin1String("facet") && !stream.atEnd())
        stream >> word;
    QVector<STLStruct> records;
    while (word == QLatin1String("facet")) {
        STLStruct r;
        stream >> word >> r.nx >> r.ny >> r.nz >> word >> word;
        stream >> word >> r.ax >> r.ay >> r.az >> word >> r.bx >> r.by >> r.bz;
        stream >> word >> r.cx >> r.cy >> r.cz >> word >> word >> word;
        records << r;
    }
    return records;
}

// Pseudo-random facets spread over a few hundred millimetres.
QVector<STLStruct> randomRecords(int count)
{
    QRandomGenerator random(20240611);
    QVector<STLStruct> records(count);
    for (STLStruct &record : records) {
        for (float *value :
             {&record.nx, &record.ny, &record.nz, &record.ax, &record.ay, &record.az, &record.bx,
              &record.by, &record.bz, &record.cx, &record.cy, &record.cz})
            *value = float(random.generateDouble() * 400.0 - 150.0);
    }
    return records;
}

} // namespace

class TestSTLReader : public QObject
{
    Q_OBJECT

private slots:
    void detectsFileType();
    void normalisesAndRecomputesNormals();
    void measuresAndPrintsFacets();
    void boundsBinaryCountByFileSize();
    void handlesMissingAndUnopenableFiles();
    void readsAsciiVariantsAlike();
    void dropsFacetCutByEndOfFile();
    void rejectsCorruptOrNonFiniteNumbers();
    void readsNumbersLikeTextStream();
    void readsLargeFilesExactly();
    void readsRealModels_data();
    void readsRealModels();

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_folder.filePath(name);
        if (!TestSupport::writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QTemporaryDir m_folder;
};

void TestSTLReader::detectsFileType()
{
    const QVector<STLStruct> box = boxFacets(0, 0, 0, 10, 10, 10);
    QCOMPARE(STLReader(write("box_ascii.stl", asciiStl(box))).whichFileType(), 0);
    QCOMPARE(STLReader(write("box_binary.stl", binaryStl(box))).whichFileType(), 1);

    // "facet" in a binary header makes it ASCII; its binary records are then no numbers.
    STLReader facetHeader(write("facet_header.stl", binaryStl(box, -1, "solid part FACET")));
    QCOMPARE(facetHeader.whichFileType(), 0);
    QVERIFY(!facetHeader.isValid());
    QVERIFY(facetHeader.getFacets().isEmpty());

    // Without "facet" among the first 50 words an ASCII file is read as binary, bounded by size.
    const QByteArray longName = "solid " + QByteArray("w ").repeated(60) + "\n";
    const QString lateFacetPath = write("late_facet.stl", longName + asciiStl(box).mid(11));
    STLReader lateFacet(lateFacetPath);
    QCOMPARE(lateFacet.whichFileType(), 1);
    QVERIFY(lateFacet.isValid());
    QCOMPARE(lateFacet.facets().size(), int((QFile(lateFacetPath).size() - 84) / 50));

    // A short text without "facet" is binary too, and too short for the facet count.
    STLReader shortText(write("short.stl", "solid nothing\nendsolid nothing\n"));
    QCOMPARE(shortText.whichFileType(), 1);
    QVERIFY(!shortText.isValid());
}

void TestSTLReader::normalisesAndRecomputesNormals()
{
    QVector<STLStruct> wrongNormals = boxFacets(10, -5, 3, 30, 15, 13);
    for (STLStruct &record : wrongNormals)
        record.nx = 1, record.ny = -1, record.nz = 0.5f;
    const QVector<STLStruct> zeroNormals = boxFacets(10, -5, 3, 30, 15, 13);
    for (const QString &path : {write("wrong_normals.stl", binaryStl(wrongNormals)),
                                write("zero_normals.stl", asciiStl(zeroNormals))}) {
        STLReader box(path);
        QVERIFY(box.isValid());
        QCOMPARE(box.getObjectTriangles(), 12.0f);
        QCOMPARE(box.getXMin(), -10.0f);
        QCOMPARE(box.getXMax(), 10.0f);
        QCOMPARE(box.getYMin(), -10.0f);
        QCOMPARE(box.getYMax(), 10.0f);
        QCOMPARE(box.getZMin(), 0.0f);
        QCOMPARE(box.getZMax(), 10.0f);
        const QVector<Facet> facets = box.getFacets();
        QCOMPARE(vector(facets.first().a()), QVector3D(-10, -10, 0));
        QCOMPARE(vector(facets.last().c()), QVector3D(10, -10, 10));
        for (const Facet &facet : facets) {
            const QVector3D normal = vector(facet.n());
            QCOMPARE(normal,
                     QVector3D::normal(vector(facet.a()), vector(facet.b()), vector(facet.c())));
            QVERIFY(qFuzzyCompare(normal.length(), 1.0f));
            const QVector3D centroid =
                    (vector(facet.a()) + vector(facet.b()) + vector(facet.c())) / 3.0f;
            QVERIFY(QVector3D::dotProduct(normal, centroid - QVector3D(0, 0, 5)) > 0);
        }
    }

    // Unround bounds still end up symmetric within rounding.
    STLReader sliver(write(
            "sliver.stl",
            binaryStl({triangle({0.1f, 0.3f, -2.7f}, {0.7f, 0.9f, -1.1f}, {0.2f, 1.3f, 5.3f})})));
    QVERIFY(qAbs(sliver.getXMin() + sliver.getXMax()) < 1e-6f);
    QVERIFY(qAbs(sliver.getYMin() + sliver.getYMax()) < 1e-6f);
    QCOMPARE(sliver.getZMin(), 0.0f);
    QCOMPARE(sliver.getZMax(), 8.0f);
}

void TestSTLReader::measuresAndPrintsFacets()
{
    STLReader box(write("measure_box.stl", binaryStl(boxFacets(-3, 2, 1, 17, 22, 11))));
    double area = 0;
    double volume = 0;
    for (const Facet &facet : box.getFacets()) {
        area += facet.getArea();
        volume += facet.getVolume();
    }
    QCOMPARE(area, 1600.0);
    QVERIFY(qAbs(volume - 4000.0) < 1e-3);

    QCOMPARE(Facet(triangle({0, 0, 0}, {3, 0, 0}, {0, 4, 0})).getArea(), 6.0f);

    // Coinciding or collinear corners, and a facet too small for QVector3D::normal: no area
    // or no direction, and the null normal.
    STLReader degenerate(write("degenerate.stl",
                               binaryStl({triangle({1, 1, 1}, {1, 1, 1}, {1, 1, 1}),
                                          triangle({0, 0, 0}, {1, 1, 1}, {2, 2, 2}),
                                          triangle({0, 0, 0}, {1e-4f, 0, 0}, {0, 1e-4f, 0})})));
    QVERIFY(degenerate.isValid());
    const QVector<Facet> facets = degenerate.getFacets();
    QCOMPARE(facets.at(0).getArea(), 0.0f);
    QCOMPARE(facets.at(1).getArea(), 0.0f);
    for (const Facet &facet : facets)
        QCOMPARE(vector(facet.n()), QVector3D());

    STLStruct record = triangle({1, 2, 3}, {4.5f, 5, 6}, {-7, 8, 9.25f});
    record.nz = 1;
    QCOMPARE(Facet(record).printFacet(),
             QStringLiteral("Facet {\n\tN) Vertex<x:0 y:0 z:1>  \n\tA) Vertex<x:1 y:2 z:3>  "
                            "\n\tB) Vertex<x:4.5 y:5 z:6>  \n\tC) Vertex<x:-7 y:8 z:9.25>\n}\n"));
    QCOMPARE(Facet().a().printVertex(), QStringLiteral("Vertex<x:0 y:0 z:0>"));
}

void TestSTLReader::boundsBinaryCountByFileSize()
{
    const QVector<STLStruct> three = boxFacets(0, 0, 0, 1, 1, 1).mid(0, 3);
    QCOMPARE(STLReader(write("promises_ten.stl", binaryStl(three, 10))).facets().size(), 3);
    QCOMPARE(STLReader(write("half_record.stl", binaryStl(three, 10) + QByteArray(20, '\x7f')))
                     .facets()
                     .size(),
             3);
    QCOMPARE(STLReader(write("promises_two.stl", binaryStl(three, 2))).facets().size(), 2);

    // Reserving from this count alone would ask for about 190 GB.
    STLReader liar(write("liar.stl", binaryStl({}, 4000000000LL)));
    QVERIFY(liar.isValid());
    QCOMPARE(liar.getObjectTriangles(), 0.0f);
    QCOMPARE(liar.getXMax(), 0.0f);

    QVERIFY(!STLReader(write("short_binary.stl", binaryStl(three).left(83))).isValid());
    QVERIFY(!STLReader(write("empty.stl", QByteArray())).isValid());
}

void TestSTLReader::handlesMissingAndUnopenableFiles()
{
    const QString missingPath = m_folder.filePath("no/such.part.stl");
    STLReader missing(missingPath);
    QVERIFY(missing.isValid());
    QVERIFY(missing.getFacets().isEmpty());
    QCOMPARE(missing.getZMax(), 0.0f);
    QCOMPARE(missing.getModelName(), QStringLiteral("such"));
    QCOMPARE(missing.getModelFilePath(), missingPath);

    QVERIFY(QDir(m_folder.path()).mkpath("folder.stl"));
    STLReader folder(m_folder.filePath("folder.stl"));
    QCOMPARE(folder.whichFileType(), 2);
    QVERIFY(!folder.isValid());
    QVERIFY(folder.getFacets().isEmpty());
}

void TestSTLReader::readsAsciiVariantsAlike()
{
    const QVector<STLStruct> box = boxFacets(-1.5f, 2.25f, 0.125f, 7, 9.5f, 4);
    const QVector<Facet> expected = STLReader(write("variants.stl", binaryStl(box))).getFacets();
    const QByteArray text = asciiStl(box);

    QByteArray oddSpacing = text;
    oddSpacing.replace("facet normal", "FACET\t\tNormal")
            .replace("outer loop", "x y")
            .replace(" ", "\xC2\xA0 \xE2\x80\x83")
            .replace("\n", "\n\f\v");
    QByteArray carriageReturns = text;
    carriageReturns.replace("\n", "\r\n").replace("1.5", "1\r.5").replace("  facet", "  fac\ret");
    QByteArray utf16 = "\xFF\xFE";
    utf16 += QTextCodec::codecForName("UTF-16LE")->fromUnicode(QString::fromLatin1(text));
    const QByteArray secondSolid = text + asciiStl(boxFacets(0, 0, 0, 100, 100, 100), "other");

    const QList<QPair<QString, QByteArray>> variants = {
            {"spacing", oddSpacing},
            {"crlf", carriageReturns},
            {"bom", "\xEF\xBB\xBF" + text},
            {"utf16", utf16},
            {"no_endsolid", text.left(text.lastIndexOf("endsolid"))},
            {"second_solid", secondSolid}};
    for (const auto &variant : variants) {
        STLReader model(write(variant.first + ".stl", variant.second));
        QVERIFY2(model.whichFileType() == 0, qPrintable(variant.first));
        QVERIFY2(sameFacets(model.getFacets(), expected), qPrintable(variant.first));
    }
}

void TestSTLReader::dropsFacetCutByEndOfFile()
{
    const QByteArray text = asciiStl(boxFacets(-10, -20, -30, 10, 20, 30).mid(0, 3));
    const int lastFacet = text.lastIndexOf("facet normal");
    const int lastEndFacet = text.lastIndexOf("endfacet");
    for (int cut = lastFacet; cut <= lastEndFacet; ++cut) {
        STLReader model(write("cut.stl", text.left(cut)));
        QVERIFY2(model.isValid() && model.facets().size() == 2,
                 qPrintable(QString::fromLatin1(text.mid(cut - 10, 10)) + "|"));
    }
    // Every word of the facet is there; only the keyword "endfacet" is cut short.
    QCOMPARE(STLReader(write("cut.stl", text.left(lastEndFacet + 3))).facets().size(), 3);
    QCOMPARE(STLReader(write("cut.stl", text.left(text.indexOf("facet") + 5))).facets().size(), 0);
}

void TestSTLReader::rejectsCorruptOrNonFiniteNumbers()
{
    const QVector<STLStruct> box = boxFacets(0, 0, 0, 10, 10, 10);
    const QByteArray text = asciiStl(box);
    const int target = text.indexOf("vertex 10 0 0") + 7;
    for (const char *bad : {"abc", "1.5.3", "1.e5", "0x10", "1,5", "1e999", "1e", "+-1", "infinity",
                            "nan", "-inf", "1e39"}) {
        QByteArray corrupt = text;
        corrupt.replace(target, 2, bad);
        STLReader model(write("corrupt.stl", corrupt));
        QVERIFY2(!model.isValid(), bad);
        QVERIFY(model.getFacets().isEmpty());
        QCOMPARE(model.getXMax(), 0.0f);
    }
    // A file normal is replaced anyway, so a "nan" there does no harm.
    QByteArray nanNormal = text;
    nanNormal.replace(text.indexOf("normal 0 0 0") + 7, 1, "nan");
    QVERIFY(STLReader(write("nan_normal.stl", nanNormal)).isValid());
    // A cut-off last facet is dropped even when the cut leaves no number.
    QVERIFY(STLReader(write("cut_sign.stl", text.left(text.lastIndexOf("vertex") + 7) + "-"))
                    .isValid());

    for (const float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        QVector<STLStruct> records = box;
        records[5].by = bad;
        QVERIFY(!STLReader(write("bad_binary.stl", binaryStl(records))).isValid());
    }
    QVector<STLStruct> badNormal = box;
    badNormal[2].nx = std::numeric_limits<float>::quiet_NaN();
    QVERIFY(STLReader(write("nan_normal_binary.stl", binaryStl(badNormal))).isValid());
}

void TestSTLReader::readsNumbersLikeTextStream()
{
    // Forms a text stream reads whole, including its double-then-float rounding
    // (1.00000005960464477539062510 becomes 1, not the next float up), numbers of more than
    // 124 characters, sub-normal values and Unicode white space.
    const QByteArray longNumber = "2." + QByteArray(140, '7');
    const QByteArray text = "solid numbers\n facet normal nan -INF +0.5\n outer loop\n"
                            "  vertex 1. .5 -.5\n  vertex +1 1E+2 -0\n"
                            "  vertex 1.00000005960464477539062510 1e-310 1e-39\n"
                            " endloop\n endfacet\n facet normal 0 0 1 outer loop vertex "
            + longNumber
            + "\xE2\x80\x80 3.4028234e38\xC2\xA0-3.4028234e38 vertex 0.1 0.2 0.3 vertex "
              "123456789012 -1e-3 7e+0 endloop endfacet endsolid\n";
    const QString asciiPath = write("numbers.stl", text);
    const QVector<STLStruct> reference = textStreamRecords(asciiPath);
    QCOMPARE(reference.size(), 2);
    QCOMPARE(reference.first().cx, 1.0f);
    STLReader ascii(asciiPath);
    STLReader binary(write("numbers_binary.stl", binaryStl(reference)));
    QVERIFY(ascii.isValid());
    QVERIFY(sameFacets(ascii.getFacets(), binary.getFacets()));
}

void TestSTLReader::readsLargeFilesExactly()
{
    // More than one 4 MB block either way.
    const QVector<STLStruct> records = randomRecords(170001);
    const QString binaryPath = write("large.stl", binaryStl(records));
    STLReader binary(binaryPath);
    QVERIFY(binary.isValid());

    QFile file(binaryPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDataStream stream(&file);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream.skipRawData(80);
    quint32 count = 0;
    stream >> count;
    QVector<STLStruct> raw(static_cast<int>(count));
    float low[3] = {INFINITY, INFINITY, INFINITY};
    float high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (STLStruct &r : raw) {
        stream >> r.nx >> r.ny >> r.nz >> r.ax >> r.ay >> r.az >> r.bx >> r.by >> r.bz >> r.cx
                >> r.cy >> r.cz;
        stream.skipRawData(2);
        for (const QVector3D &corner : {QVector3D(r.ax, r.ay, r.az), QVector3D(r.bx, r.by, r.bz),
                                        QVector3D(r.cx, r.cy, r.cz)}) {
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = qMin(low[axis], corner[axis]);
                high[axis] = qMax(high[axis], corner[axis]);
            }
        }
    }
    const QVector3D shift((low[0] + high[0]) * 0.5f, (low[1] + high[1]) * 0.5f, low[2]);
    const QVector<Facet> facets = binary.getFacets();
    QCOMPARE(facets.size(), raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const STLStruct &r = raw.at(i);
        const Facet &facet = facets.at(i);
        const QVector3D a = vector(facet.a());
        const QVector3D b = vector(facet.b());
        const QVector3D c = vector(facet.c());
        const bool same = a == QVector3D(r.ax, r.ay, r.az) - shift
                && b == QVector3D(r.bx, r.by, r.bz) - shift
                && c == QVector3D(r.cx, r.cy, r.cz) - shift
                && sameBits(facet.n(), toVertex(QVector3D::normal(a, b, c)));
        QVERIFY2(same, qPrintable(QString::number(i)));
    }
    QCOMPARE(binary.getZMax(), high[2] - low[2]);

    // The ASCII form of part of the same records (9 digits give the floats back).
    const QVector<STLStruct> part = records.mid(0, 20000);
    STLReader ascii(write("large_ascii.stl", asciiStl(part)));
    QVERIFY(QFileInfo(ascii.getModelFilePath()).size() > 4 * 1024 * 1024);
    QVERIFY(sameFacets(ascii.getFacets(),
                       STLReader(write("large_part.stl", binaryStl(part))).getFacets()));
}

void TestSTLReader::readsRealModels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    for (const char *name : {"3DBenchy_from3mf.stl", "prusaslicer_xl_gantry.stl",
                             "prusa_i3_extruder-body.stl", "ghostkeeper_missing_triangle_hi.stl"})
        QTest::newRow(name) << QString::fromLatin1(name) << 1;
    for (const char *name :
         {"prusa_i3_z-axis-bottom_ascii.stl", "ghostkeeper_extra_surface_ascii.stl"})
        QTest::newRow(name) << QString::fromLatin1(name) << 0;
}

void TestSTLReader::readsRealModels()
{
    QFETCH(QString, name);
    QFETCH(int, type);
    const QString path = QStringLiteral(SHARED_MODELS_DIR) + '/' + name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QSKIP("shared model missing");
    const QByteArray bytes = file.readAll();
    const int expectedFacets = type == 1 ? int(qFromLittleEndian<quint32>(bytes.constData() + 80))
                                         : bytes.count("endfacet");

    STLReader model(path);
    QCOMPARE(model.whichFileType(), type);
    QVERIFY(model.isValid());
    const QVector<Facet> facets = model.getFacets();
    QCOMPARE(facets.size(), expectedFacets);
    QVERIFY(qAbs(model.getXMin() + model.getXMax()) < 1e-3f);
    QVERIFY(qAbs(model.getYMin() + model.getYMax()) < 1e-3f);
    QCOMPARE(model.getZMin(), 0.0f);
    QVERIFY(model.getXMax() > 0 && model.getXMax() < 1100);
    QVERIFY(model.getYMax() > 0 && model.getZMax() > 0 && model.getZMax() < 1000);
    for (const Facet &facet : facets) {
        for (const Vertex &corner : {facet.a(), facet.b(), facet.c()}) {
            QVERIFY(corner.x >= model.getXMin() && corner.x <= model.getXMax());
            QVERIFY(corner.z >= model.getZMin() && corner.z <= model.getZMax());
        }
        const float length = vector(facet.n()).length();
        QVERIFY(length == 0 || qAbs(length - 1) < 1e-5f);
    }
}

QTEST_GUILESS_MAIN(TestSTLReader)
#include "tst_stlreader.moc"
