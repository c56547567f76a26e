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
    return actual.size() == expected.size()
            && std::memcmp(actual.constData(), expected.constData(),
                           sizeof(Facet) * std::size_t(actual.size()))
            == 0;
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

// The type a text stream finds: "facet" among the first 50 words.
int textStreamType(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 2;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    for (int i = 0; i < 50; ++i) {
        QString word;
        stream >> word;
        if (word.toLower() == QLatin1String("facet"))
            return 0;
    }
    return 1;
}

// Pseudo-random facets spread over a few hundred millimetres.
QVector<STLStruct> randomRecords(int count)
{
    QRandomGenerator random(20240611);
    const auto point = [&random] {
        const auto coordinate = [&random] { return float(random.generateDouble() * 400 - 150); };
        return QVector3D(coordinate(), coordinate(), coordinate());
    };
    QVector<STLStruct> records(count);
    for (STLStruct &record : records)
        record = triangle(point(), point(), point());
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
    const QByteArray words49 = "solid " + QByteArray("w ").repeated(48);
    const QByteArray utf16 = "\xFF\xFE"
            + QTextCodec::codecForName("UTF-16LE")->fromUnicode(QStringLiteral("solid x facet"));
    const QList<QPair<QByteArray, int>> cases = {
            {asciiStl(box), 0},
            {binaryStl(box), 1},
            // "facet" in a binary header makes it ASCII.
            {binaryStl(box, -1, "solid part FACET"), 0},
            // "facet" must be among the first 50 words, a word read past the end included.
            {words49 + "facet", 0},
            {words49 + "w facet", 1},
            {"solid nothing\nendsolid nothing\n", 1},
            {"solid fac\ret", 0},
            {"solid\xE3\x80\x80"
             "facet\xC2\xA0",
             0},
            {"\xEF\xBB\xBF"
             "facet",
             0},
            {"solid \xC2"
             "facet",
             1},
            {utf16, 0},
            {binaryStl(randomRecords(300), -1, "\xFF\xFE"), 1}};
    for (const auto &item : cases) {
        const QString path = write("detect.stl", item.first);
        QCOMPARE(STLReader(path).whichFileType(), item.second);
        QCOMPARE(textStreamType(path), item.second);
    }
    // A run of more than 1 MB without white space ends the search (a text stream would go on).
    QCOMPARE(STLReader(write("detect.stl", QByteArray(2000000, 'x') + " facet")).whichFileType(),
             1);

    // An ASCII file read as binary is bounded by its size, not by the count its text spells.
    const QByteArray longName = "solid " + QByteArray("w ").repeated(60) + "\n";
    const QString lateFacetPath = write("late_facet.stl", longName + asciiStl(box).mid(11));
    STLReader lateFacet(lateFacetPath);
    QVERIFY(lateFacet.isValid());
    QCOMPARE(lateFacet.facets().size(), int((QFile(lateFacetPath).size() - 84) / 50));
    // Binary records in an ASCII reading are no numbers; a short text is no binary file.
    QVERIFY(!STLReader(write("facet_header.stl", binaryStl(box, -1, "solid part FACET")))
                     .isValid());
    QVERIFY(!STLReader(write("short.stl", "solid nothing\nendsolid nothing\n")).isValid());
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
    // A file normal is replaced anyway, so a "nan" there does no harm...
    QByteArray nanNormal = text;
    nanNormal.replace(text.indexOf("normal 0 0 0") + 7, 1, "nan");
    QVERIFY(STLReader(write("nan_normal.stl", nanNormal)).isValid());
    // ...but a word the stream would split is no number there either.
    QVERIFY(!STLReader(write("split_normal.stl", nanNormal.replace("nan", "infinity"))).isValid());
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

    // The corners read one float at a time, and the shift that centres them.
    QFile file(binaryPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDataStream stream(&file);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream.skipRawData(84);
    QVector<QVector3D> corners;
    while (!stream.atEnd()) {
        float values[12];
        for (float &value : values)
            stream >> value;
        stream.skipRawData(2);
        corners << QVector3D(values[3], values[4], values[5])
                << QVector3D(values[6], values[7], values[8])
                << QVector3D(values[9], values[10], values[11]);
    }
    QVector3D low = corners.first();
    QVector3D high = low;
    for (const QVector3D &corner : corners) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = qMin(low[axis], corner[axis]);
            high[axis] = qMax(high[axis], corner[axis]);
        }
    }
    const QVector3D shift((low.x() + high.x()) * 0.5f, (low.y() + high.y()) * 0.5f, low.z());
    const QVector<Facet> facets = binary.getFacets();
    QCOMPARE(facets.size() * 3, corners.size());
    for (int i = 0; i < facets.size(); ++i) {
        const QVector3D a = vector(facets.at(i).a());
        const QVector3D b = vector(facets.at(i).b());
        const QVector3D c = vector(facets.at(i).c());
        QVERIFY2(a == corners.at(3 * i) - shift && b == corners.at(3 * i + 1) - shift
                         && c == corners.at(3 * i + 2) - shift
                         && sameBits(facets.at(i).n(), toVertex(QVector3D::normal(a, b, c))),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(binary.getZMax(), high.z() - low.z());

    // The ASCII form of part of the same records (9 digits give the floats back).
    const QVector<STLStruct> part = records.mid(0, 30000);
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
