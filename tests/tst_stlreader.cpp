#include <cstring>
#include <limits>

#include <QVector3D>
#include <QtTest>

#include "model/stlreader.h"
#include "tests/testsupport.h"

using TestSupport::asciiStl;
using TestSupport::binaryStl;
using TestSupport::boxFacets;
using Facet = STLReader::Facet;

namespace {

STLStruct triangle(QVector3D a, QVector3D b, QVector3D c)
{
    STLStruct record;
    record.ax = a.x(), record.ay = a.y(), record.az = a.z();
    record.bx = b.x(), record.by = b.y(), record.bz = b.z();
    record.cx = c.x(), record.cy = c.y(), record.cz = c.z();
    return record;
}

QVector3D vector(const STLReader::Vertex &vertex)
{
    return QVector3D(vertex.x, vertex.y, vertex.z);
}

QVector<float> bounds(const STLReader &reader)
{
    return {reader.getXMin(), reader.getXMax(), reader.getYMin(),
            reader.getYMax(), reader.getZMin(), reader.getZMax()};
}

bool sameFacets(const QVector<Facet> &actual, const QVector<Facet> &expected)
{
    return actual.size() == expected.size()
            && std::memcmp(actual.constData(), expected.constData(),
                           sizeof(Facet) * std::size_t(actual.size()))
            == 0;
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
    void normalisesMeasuresAndRecomputesNormals();
    void missingShortAndLyingFiles();
    void readsAsciiVariantsAlike();
    void dropsFacetCutByEndOfFile();
    void rejectsCorruptOrNonFiniteNumbers();
    void readsNumbersLikeTextStream();
    void readsLargeFilesExactly();
    void readsRealModels();

private:
    // A reader of `bytes` written to a file of that name.
    STLReader load(const QByteArray &bytes, const QString &name = QStringLiteral("model.stl"))
    {
        const QString path = m_folder.filePath(name);
        if (!TestSupport::writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return STLReader(path);
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
            // Carriage returns vanish, Unicode spaces separate, a BOM or UTF-16 is text.
            {"solid fac\ret", 0},
            {"solid\343\200\200facet\302\240", 0},
            {"\357\273\277facet", 0},
            {"solid \302facet", 1}, // a broken UTF-8 sequence is no space
            {utf16, 0},
            {binaryStl(randomRecords(300), -1, "\xFF\xFE"), 1}};
    for (const auto &item : cases)
        QCOMPARE(load(item.first).whichFileType(), item.second);
    // A run of more than 1 MB without white space ends the search (a text stream would go on).
    QCOMPARE(load(QByteArray(2000000, 'x') + " facet").whichFileType(), 1);
    // Binary records in an ASCII reading are no numbers.
    QVERIFY(!load(binaryStl(box, -1, "solid part FACET")).isValid());
}

void TestSTLReader::normalisesMeasuresAndRecomputesNormals()
{
    // Wrong normals in a binary file, zeros in an ASCII one; a 20 x 20 x 10 box either way.
    QVector<STLStruct> wrongNormals = boxFacets(10, -5, 3, 30, 15, 13);
    for (STLStruct &record : wrongNormals)
        record.nx = 1, record.ny = -1, record.nz = 0.5f;
    for (const QByteArray &bytes :
         {binaryStl(wrongNormals), asciiStl(boxFacets(10, -5, 3, 30, 15, 13))}) {
        STLReader box = load(bytes);
        QCOMPARE(box.getObjectTriangles(), 12.0f);
        QCOMPARE(bounds(box), QVector<float>({-10, 10, -10, 10, 0, 10}));
        const QVector<Facet> facets = box.getFacets();
        QCOMPARE(vector(facets.first().a()), QVector3D(-10, -10, 0));
        QCOMPARE(vector(facets.last().c()), QVector3D(10, -10, 10));
        double area = 0;
        double volume = 0;
        for (const Facet &facet : facets) {
            QCOMPARE(vector(facet.n()),
                     QVector3D::normal(vector(facet.a()), vector(facet.b()), vector(facet.c())));
            area += facet.getArea();
            volume += facet.getVolume();
        }
        QCOMPARE(area, 1600.0);
        QVERIFY(qAbs(volume - 4000.0) < 1e-3);
    }

    // Coinciding or collinear corners, and a facet too small for QVector3D::normal: no area
    // or no direction, and the null normal.
    const QVector<Facet> degenerate =
            load(binaryStl({triangle({1, 1, 1}, {1, 1, 1}, {1, 1, 1}),
                            triangle({0, 0, 0}, {1, 1, 1}, {2, 2, 2}),
                            triangle({0, 0, 0}, {1e-4f, 0, 0}, {0, 1e-4f, 0})}))
                    .getFacets();
    QCOMPARE(degenerate.size(), 3);
    QCOMPARE(degenerate.at(0).getArea() + degenerate.at(1).getArea(), 0.0f);
    for (const Facet &facet : degenerate)
        QCOMPARE(vector(facet.n()), QVector3D());
}

void TestSTLReader::missingShortAndLyingFiles()
{
    const QString missingPath = m_folder.filePath("no/such.part.stl");
    STLReader missing(missingPath);
    QVERIFY(missing.isValid());
    QVERIFY(missing.getFacets().isEmpty());
    QCOMPARE(missing.getModelName(), QStringLiteral("such"));

    QVERIFY(QDir(m_folder.path()).mkpath("folder.stl"));
    STLReader folder(m_folder.filePath("folder.stl"));
    QCOMPARE(folder.whichFileType(), 2);
    QVERIFY(!folder.isValid());

    // A count is only believed as far as the file holds whole records.
    const QVector<STLStruct> three = boxFacets(0, 0, 0, 1, 1, 1).mid(0, 3);
    QCOMPARE(load(binaryStl(three, 10) + QByteArray(20, '\x7f')).facets().size(), 3);
    QCOMPARE(load(binaryStl(three, 2)).facets().size(), 2);
    // Reserving from this count alone would ask for about 190 GB.
    STLReader liar = load(binaryStl({}, 4000000000LL));
    QVERIFY(liar.isValid());
    QVERIFY(liar.facets().isEmpty());
    QCOMPARE(bounds(liar), QVector<float>(6, 0.0f));
    QVERIFY(!load(binaryStl(three).left(83)).isValid());
}

void TestSTLReader::readsAsciiVariantsAlike()
{
    const QVector<STLStruct> box = boxFacets(-1.5f, 2.25f, 0.125f, 7, 9.5f, 4);
    const QVector<Facet> expected = load(binaryStl(box)).getFacets();
    const QByteArray text = asciiStl(box);
    const QList<QByteArray> variants = {
            // Unchecked keywords, odd and Unicode white space.
            QByteArray(text)
                    .replace("facet normal", "FACET\t\tNormal")
                    .replace("outer loop", "x y")
                    .replace(" ", "\xC2\xA0 \xE2\x80\x83")
                    .replace("\n", "\n\f\v"),
            // Carriage returns, even inside words.
            QByteArray(text)
                    .replace("\n", "\r\n")
                    .replace("1.5", "1\r.5")
                    .replace("  facet", "  fac\ret"),
            "\xEF\xBB\xBF" + text,
            "\xFF\xFE"
                    + QTextCodec::codecForName("UTF-16LE")->fromUnicode(QString::fromLatin1(text)),
            text.left(text.lastIndexOf("endsolid")),
            // Only the first solid counts.
            text + asciiStl(boxFacets(0, 0, 0, 100, 100, 100), "other")};
    for (int i = 0; i < variants.size(); ++i) {
        STLReader model = load(variants.at(i));
        QVERIFY2(model.whichFileType() == 0 && sameFacets(model.getFacets(), expected),
                 qPrintable(QString::number(i)));
    }
}

void TestSTLReader::dropsFacetCutByEndOfFile()
{
    const QByteArray text = asciiStl(boxFacets(-10, -20, -30, 10, 20, 30).mid(0, 3));
    const int lastFacet = text.lastIndexOf("facet normal");
    const int lastEndFacet = text.lastIndexOf("endfacet");
    for (int cut = lastFacet; cut <= lastEndFacet; ++cut) {
        STLReader model = load(text.left(cut));
        QVERIFY2(model.isValid() && model.facets().size() == 2,
                 qPrintable(QString::fromLatin1(text.mid(cut - 10, 10)) + "|"));
    }
    // Every word of the facet is there; only the keyword "endfacet" is cut short.
    QCOMPARE(load(text.left(lastEndFacet + 3)).facets().size(), 3);
    QCOMPARE(load(text.left(text.indexOf("facet") + 5)).facets().size(), 0);
}

void TestSTLReader::rejectsCorruptOrNonFiniteNumbers()
{
    const QVector<STLStruct> box = boxFacets(0, 0, 0, 10, 10, 10);
    const QByteArray text = asciiStl(box);
    const int target = text.indexOf("vertex 10 0 0") + 7;
    for (const char *bad : {"abc", "1.5.3", "1.e5", "0x10", "1,5", "1e999", "1e", "+-1", "infinity",
                            "nan", "-inf", "1e39"}) {
        STLReader model = load(QByteArray(text).replace(target, 2, bad));
        QVERIFY2(!model.isValid(), bad);
        QVERIFY(model.getFacets().isEmpty());
    }
    // A file normal is replaced anyway, so a "nan" there does no harm.
    QByteArray nanNormal = text;
    nanNormal.replace(text.indexOf("normal 0 0 0") + 7, 1, "nan");
    QVERIFY(load(nanNormal).isValid());

    for (const float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        QVector<STLStruct> records = box;
        records[5].by = bad;
        QVERIFY(!load(binaryStl(records)).isValid());
        records[5] = box[5];
        records[2].nx = bad; // the normal is recomputed
        QVERIFY(load(binaryStl(records)).isValid());
    }
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
    // The same numbers read as doubles, then rounded to floats.
    const QVector<STLStruct> expected = {
            triangle(QVector3D(1., .5, -.5), QVector3D(+1, 1E+2, -0.),
                     QVector3D(1.00000005960464477539062510, 1e-310, 1e-39)),
            triangle(QVector3D(longNumber.toDouble(), 3.4028234e38, -3.4028234e38),
                     QVector3D(0.1, 0.2, 0.3), QVector3D(123456789012., -1e-3, 7e+0))};
    QVERIFY(sameFacets(load(text).getFacets(), load(binaryStl(expected)).getFacets()));
}

void TestSTLReader::readsLargeFilesExactly()
{
    // More than one 4 MB block either way. Expected: the written records moved as
    // normalisation moves them, with the normal Qt computes from the moved corners.
    const QVector<STLStruct> records = randomRecords(170001);
    QVector3D low(records[0].ax, records[0].ay, records[0].az);
    QVector3D high = low;
    for (const STLStruct &record : records) {
        for (int i = 0; i < 9; ++i) {
            low[i % 3] = qMin(low[i % 3], (&record.ax)[i]);
            high[i % 3] = qMax(high[i % 3], (&record.ax)[i]);
        }
    }
    const QVector3D shift((low.x() + high.x()) * 0.5f, (low.y() + high.y()) * 0.5f, low.z());
    QVector<Facet> expected;
    for (STLStruct moved : records) {
        for (int i = 0; i < 9; ++i)
            (&moved.ax)[i] -= shift[i % 3];
        const QVector3D normal =
                QVector3D::normal({moved.ax, moved.ay, moved.az}, {moved.bx, moved.by, moved.bz},
                                  {moved.cx, moved.cy, moved.cz});
        moved.nx = normal.x(), moved.ny = normal.y(), moved.nz = normal.z();
        expected << Facet(moved);
    }
    STLReader binary = load(binaryStl(records));
    QVERIFY(sameFacets(binary.getFacets(), expected));
    QCOMPARE(binary.getZMax(), high.z() - low.z());

    // The ASCII form of part of the same records (9 digits give the floats back).
    const QVector<STLStruct> part = records.mid(0, 30000);
    STLReader ascii = load(asciiStl(part), QStringLiteral("ascii.stl"));
    QVERIFY(QFileInfo(ascii.getModelFilePath()).size() > 4 * 1024 * 1024);
    QVERIFY(sameFacets(ascii.getFacets(), load(binaryStl(part)).getFacets()));
}

void TestSTLReader::readsRealModels()
{
    // Files written by other programs, two of them broken (open, non-manifold).
    for (const auto &[name, type] : {std::pair{"3DBenchy_from3mf.stl", 1},
                                     {"prusaslicer_xl_gantry.stl", 1},
                                     {"prusa_i3_extruder-body.stl", 1},
                                     {"ghostkeeper_missing_triangle_hi.stl", 1},
                                     {"prusa_i3_z-axis-bottom_ascii.stl", 0},
                                     {"ghostkeeper_extra_surface_ascii.stl", 0}}) {
        QFile file(QStringLiteral(SHARED_MODELS_DIR "/") + name);
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("the shared models are not there");
        const QByteArray bytes = file.readAll();
        STLReader model(file.fileName());
        QVERIFY2(model.whichFileType() == type && model.isValid(), name);
        QCOMPARE(model.facets().size(),
                 type == 1 ? int(qFromLittleEndian<quint32>(bytes.constData() + 80))
                           : bytes.count("endfacet"));
        QVERIFY(qAbs(model.getXMin() + model.getXMax()) < 1e-3f);
        QVERIFY(qAbs(model.getYMin() + model.getYMax()) < 1e-3f);
        QCOMPARE(model.getZMin(), 0.0f);
        QVERIFY(model.getXMax() > 0 && model.getYMax() > 0 && model.getZMax() > 0);
    }
}

QTEST_GUILESS_MAIN(TestSTLReader)
#include "tst_stlreader.moc"
