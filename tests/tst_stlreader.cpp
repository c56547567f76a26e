#include <cstring>
#include <limits>

#include <QVector3D>
#include <QtTest>

#include "model/stlreader.h"
#include "tests/testsupport.h"

using namespace TestSupport;

class TestSTLReader : public QObject
{
    Q_OBJECT

private slots:
    void detectsTypeAndRefusesHostileFiles();
    void readsTextAsAStreamWould();
    void readsLargeAndRealFilesExactly();

private:
    // Bit for bit, so that -0 against 0 or a changed NaN is seen.
    static bool sameFacets(const QVector<STLReader::Facet> &actual,
                           const QVector<STLReader::Facet> &expected)
    {
        return actual.size() == expected.size()
                && !std::memcmp(actual.constData(), expected.constData(),
                                sizeof(STLReader::Facet) * size_t(actual.size()));
    }
    STLReader load(const QByteArray &bytes, const QString &name = "model.stl")
    {
        writeFile(m_folder.filePath(name), bytes);
        return STLReader(m_folder.filePath(name));
    }
    // Whether the text reads as the records written in binary do.
    bool readsAs(const QByteArray &text, const QVector<STLStruct> &records)
    {
        const STLReader model = load(text);
        return model.whichFileType() == 0
                && sameFacets(model.facets(), load(binaryStl(records), "b.stl").facets());
    }

    QTemporaryDir m_folder;
};

void TestSTLReader::detectsTypeAndRefusesHostileFiles()
{
    // "facet" in a binary header makes it ASCII; it must be among the first 50 words, a word
    // read past the end included. A broken UTF-8 sequence is no space, and a word of over 1 MB
    // ends the search. (Text detected as such is in readsTextAsAStreamWould.)
    const QVector<STLStruct> box = boxFacets(0, 0, 0, 10, 10, 10);
    const QByteArray words49 = "solid " + QByteArray("w ").repeated(48);
    QCOMPARE(load(binaryStl(box, -1, "solid part FACET")).whichFileType(), 0);
    QCOMPARE(load(words49 + "facet").whichFileType(), 0);
    for (const QByteArray &bytes :
         QList<QByteArray>{"solid nothing\nendsolid nothing\n", words49 + "w facet",
                           binaryStl(box, -1, "\xFF\xFE"), "solid \302facet",
                           QByteArray(2000000, 'x') + " facet"})
        QCOMPARE(load(bytes).whichFileType(), 1);

    const STLReader missing(m_folder.filePath("no/such.stl"));
    QVERIFY(missing.isValid() && missing.facets().isEmpty() && missing.errorString().isEmpty());
    QVERIFY(QDir(m_folder.path()).mkpath("folder.stl"));
    const STLReader folder(m_folder.filePath("folder.stl"));
    QVERIFY(folder.whichFileType() == 2 && !folder.isValid() && !folder.errorString().isEmpty());
    // A count is believed only as far as the file holds whole records (reserving for 4e9 facets
    // would ask for about 190 GB).
    QCOMPARE(load(binaryStl(box, 20) + QByteArray(20, '\x7f')).facets().size(), 12);
    QCOMPARE(load(binaryStl(box, 2)).facets().size(), 2);
    const STLReader liar = load(binaryStl({}, 4000000000LL));
    QVERIFY(liar.isValid() && liar.facets().isEmpty());

    // Words a text stream would split or refuse, even in place of a normal; non-finite or
    // overflowing corners; a model too tall to be moved onto z = 0; binary records read as text; a
    // header cut short: nothing is read, and the reader says why.
    const QByteArray text = asciiStl(box);
    QList<QByteArray> broken = {binaryStl(boxFacets(0, 0, -3e38f, 1, 1, 3e38f)),
                                binaryStl(box, -1, "solid part FACET"), binaryStl(box).left(83)};
    for (const QByteArray &bad :
         QList<QByteArray>{"abc", "1.5.3", "1.e5", "0x10", "1,5", "1e999", "1e", "+-1", "infinity",
                           "1." + QByteArray(130, '0') + "e5"})
        broken << QByteArray(text).replace(text.indexOf("normal 0") + 7, 1, bad);
    for (const char *bad : {"nan", "-inf", "1e39"})
        broken << QByteArray(text).replace(text.indexOf("vertex 10 0 0") + 7, 2, bad);
    QVector<STLStruct> nanNormal = box, nanCorner = box, infiniteCorner = box;
    nanNormal[2].nx = nanCorner[5].by = std::numeric_limits<float>::quiet_NaN();
    infiniteCorner[5].by = std::numeric_limits<float>::infinity();
    QVERIFY(load(binaryStl(nanNormal)).isValid()); // the file's normals are not used
    broken << binaryStl(nanCorner) << binaryStl(infiniteCorner);
    for (int i = 0; i < broken.size(); ++i) {
        const STLReader model = load(broken.at(i));
        QVERIFY2(!model.isValid() && model.facets().isEmpty() && !model.errorString().isEmpty(),
                 qPrintable(QString::number(i)));
    }
}

void TestSTLReader::readsTextAsAStreamWould()
{
    // Numbers a text stream reads whole, with its double-then-float rounding (the first x is 1,
    // not the float above), numbers of over 124 characters, sub-normal values, Unicode spaces.
    const QByteArray longNumber = "2." + QByteArray(140, '7');
    const QByteArray numbers = "solid n\n facet normal nan -INF +0.5\n outer loop\n vertex "
                               "1.00000005960464477539062510 .5 -.5\n vertex +1 1E+2 -0\n"
                               " vertex 1. 1e-310 1e-39\n endloop\n endfacet\n facet normal 0 0 1 "
                               "outer loop vertex "
            + longNumber
            + "\xE2\x80\x80 3.4028234e38\xC2\xA0-3.4028234e38 vertex 0.1 0.2 0.3 vertex "
              "123456789012 -1e-3 7e+0 endloop endfacet endsolid\n";
    QVERIFY(readsAs(numbers,
                    {{0, 0, 0, 1, .5, -.5, 1, 1E+2, -0., 1, 1e-310, 1e-39},
                     {0, 0, 0, float(longNumber.toDouble()), 3.4028234e38, -3.4028234e38, 0.1, 0.2,
                      0.3, 123456789012., -1e-3, 7}}));

    // Unchecked keywords in any case, carriage returns even inside words, odd and Unicode white
    // space (no other between words); a byte order mark, UTF-16; no "endsolid"; a second solid,
    // which does not count.
    const QVector<STLStruct> box = boxFacets(-1.5f, 2.25f, 0.125f, 7, 9.5f, 4);
    const QByteArray text = asciiStl(box);
    const QByteArray utf16 = QTextCodec::codecForName("UTF-16")->fromUnicode(QString(text));
    for (const QByteArray &variant :
         QList<QByteArray>{QByteArray(text)
                                   .replace("facet normal", "FA\rCET\t\tNormal")
                                   .replace("outer loop", "x y")
                                   .replace("1.5", "1\r.5")
                                   .replace("\n", "\r\n\f\v")
                                   .replace(" ", "\xE3\x80\x80"),
                           "\xEF\xBB\xBF" + text, utf16, text.left(text.lastIndexOf("endsolid")),
                           text + asciiStl(boxFacets(0, 0, 0, 100, 100, 100), "other")})
        QVERIFY(readsAs(variant, box));

    // A file cut inside its last facet loses that one only, unless only "endfacet" is cut short.
    const QByteArray three = asciiStl(box.mid(0, 3));
    for (int end = three.lastIndexOf("facet normal"); end <= three.lastIndexOf("endfacet"); ++end)
        QVERIFY2(readsAs(three.left(end), box.mid(0, 2)), qPrintable(QString::number(end)));
    QVERIFY(readsAs(three.left(three.lastIndexOf("endfacet") + 3), box.mid(0, 3)));
    QVERIFY(readsAs(three.left(three.indexOf("facet") + 5), {}));
}

void TestSTLReader::readsLargeAndRealFilesExactly()
{
    // More than one 4 MB block either way, with garbage normals, a facet too small for a
    // direction (its normal is null) and one spanning the whole box.
    QRandomGenerator random(20240611);
    QVector<STLStruct> records(170001);
    for (STLStruct &record : records) {
        for (float *value = &record.nx; value <= &record.cz; ++value)
            *value = float(random.generateDouble() * 400 - 150);
    }
    records[1] = {0, 0, 0, 50, 50, -150, 50.0001f, 50, -150, 50, 50.0001f, -150};
    records[2] = {0, 0, 0, -150, -150, -150, 250, 250, 250, 0, 0, 0};
    // Centred in x and y, resting on z = 0, with the normals Qt computes.
    QVector<STLReader::Facet> expected;
    for (STLStruct moved : records) {
        for (float *corner : {&moved.ax, &moved.bx, &moved.cx})
            corner[0] -= 50, corner[1] -= 50, corner[2] += 150;
        const QVector3D normal =
                QVector3D::normal({moved.ax, moved.ay, moved.az}, {moved.bx, moved.by, moved.bz},
                                  {moved.cx, moved.cy, moved.cz});
        moved.nx = normal.x(), moved.ny = normal.y(), moved.nz = normal.z();
        expected << STLReader::Facet(moved);
    }
    const STLReader binary = load(binaryStl(records));
    QVERIFY(sameFacets(binary.facets(), expected));
    QVERIFY(binary.getZMax() == 400 && binary.getXMin() == -200 && binary.facets()[1].n().z == 0);
    const STLReader ascii = load(asciiStl(records.mid(0, 30000)), "ascii.stl");
    QVERIFY(sameFacets(ascii.facets(), expected.mid(0, 30000)));

    // Files written by other programs, two of them broken (open, non-manifold).
    const QDir shared(SHARED_MODELS_DIR);
    if (shared.entryList({"*.stl"}).isEmpty())
        QSKIP("the shared models are not there");
    for (const QString &name : shared.entryList({"*.stl"})) {
        QFile file(shared.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const bool isAscii = name.endsWith("_ascii.stl");
        const STLReader model(file.fileName());
        QVERIFY2(model.whichFileType() == (isAscii ? 0 : 1) && model.isValid(), qPrintable(name));
        QCOMPARE(model.facets().size(),
                 isAscii ? bytes.count("endfacet")
                         : int(qFromLittleEndian<quint32>(bytes.constData() + 80)));
    }
}

QTEST_GUILESS_MAIN(TestSTLReader)
#include "tst_stlreader.moc"
