#include <QFile>
#include <QImage>
#include <QSettings>
#include <QSvgRenderer>
#include <QtEndian>
#include <QtTest>

#include "model/stlreader.h"

static void initResources()
{
    Q_INIT_RESOURCE(gui);
}

// The built-in files the application addresses by resource path.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void everyResourceIsPresent();
    void shadersDeclareTheViewerInterface();
    void resinDatabaseReadsBack();
    void projectorAndTimesDatabasesReadBack();
    void modelsLoadAsBinaryStl_data();
    void modelsLoadAsBinaryStl();
    void picturesDecode();
    void soundsAreSmallPcmWaves();
};

void TestResources::everyResourceIsPresent()
{
    const QStringList paths = {":/lightingVertexShader.vsh",
                               ":/lightingFragmentShader.fsh",
                               ":/stl/bed.stl",
                               ":/stl/gridpattern.stl",
                               ":/img/grid.svg",
                               ":/img/grid.png",
                               ":/img/logo.ico",
                               ":/img/logo.png",
                               ":/img/logo_full.png",
                               ":/img/ImgCalibration.png",
                               ":/img/arrow_up.png",
                               ":/img/arrow_down.png",
                               ":/sounds/success.wav",
                               ":/sounds/error.wav",
                               ":/sounds/wait.wav",
                               ":/db/resins.cfg",
                               ":/db/projectors.cfg",
                               ":/db/times.cfg"};
    for (const QString &path : paths) {
        QFile file(path);
        QVERIFY2(file.exists(), qPrintable(path));
        QVERIFY2(file.size() > 0, qPrintable(path));
    }
}

void TestResources::shadersDeclareTheViewerInterface()
{
    QFile vertexFile(":/lightingVertexShader.vsh");
    QFile fragmentFile(":/lightingFragmentShader.fsh");
    QVERIFY(vertexFile.open(QIODevice::ReadOnly) && fragmentFile.open(QIODevice::ReadOnly));
    const QByteArray vertex = vertexFile.readAll();
    const QByteArray fragment = fragmentFile.readAll();
    QVERIFY(vertex.startsWith("#version 120\n") && fragment.startsWith("#version 120\n"));
    for (const char *declaration :
         {"uniform mat4 mvpMatrix;", "uniform mat4 mvMatrix;", "uniform mat3 normalMatrix;",
          "uniform vec3 lightPosition;", "attribute vec4 vertex;", "attribute vec3 normal;"})
        QVERIFY2(vertex.contains(declaration), declaration);
    for (const char *declaration :
         {"uniform vec4 ambientColor;", "uniform vec4 diffuseColor;", "uniform vec4 specularColor;",
          "uniform float ambientReflection;", "uniform float diffuseReflection;",
          "uniform float specularReflection;", "uniform float shininess;"})
        QVERIFY2(fragment.contains(declaration), declaration);
}

void TestResources::resinDatabaseReadsBack()
{
    struct Resin
    {
        const char *brand, *model, *color;
        float cost;
    };
    const QVector<Resin> expected = {{"FunToDo", "Standard Blend", "Black", 45},
                                     {"FunToDo", "Standard Blend", "Red", 45},
                                     {"FunToDo", "Industrial Blend", "Black", 55},
                                     {"FunToDo", "Industrial Blend", "Red", 55},
                                     {"FunToDo", "Castable Blend", "Red", 65},
                                     {"Pentholac", "HS", "Orange", 80},
                                     {"Pentholac", "HS", "Teal", 80},
                                     {"Pentholac", "HS", "Grey", 80},
                                     {"Pentholac", "Castable", "Orange", 100}};

    QSettings db(":/db/resins.cfg", QSettings::IniFormat);
    QCOMPARE(db.status(), QSettings::NoError);
    QVERIFY(db.childKeys().isEmpty()); // the comment lines must not turn into keys
    const QStringList groups = db.childGroups();
    QCOMPARE(groups.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(groups.at(i), QStringLiteral("id%1").arg(i));
        db.beginGroup(groups.at(i));
        QCOMPARE(db.childKeys(), QStringList({"brand", "color", "cost", "model"}));
        QCOMPARE(db.value("brand").toString(), QString(expected[i].brand));
        QCOMPARE(db.value("model").toString(), QString(expected[i].model));
        QCOMPARE(db.value("color").toString(), QString(expected[i].color));
        QCOMPARE(db.value("cost", -1.0).toFloat(), expected[i].cost);
        db.endGroup();
    }
}

void TestResources::projectorAndTimesDatabasesReadBack()
{
    QSettings projectors(":/db/projectors.cfg", QSettings::IniFormat);
    QCOMPARE(projectors.status(), QSettings::NoError);
    QVERIFY(projectors.childKeys().isEmpty());
    // The further projectors are kept as comments only.
    QCOMPARE(projectors.childGroups(), QStringList({"id0", "id1"}));
    QCOMPARE(projectors.value("id0/brand").toString(), QString("Acer"));
    QCOMPARE(projectors.value("id0/model").toString(), QString("P1500"));
    QCOMPARE(projectors.value("id0/lumen").toString(), QString("3000"));
    QCOMPARE(projectors.value("id0/resolution").toString(), QString("1920x1080"));
    QCOMPARE(projectors.value("id0/lampKW").toString(), QString("210W"));
    QCOMPARE(projectors.value("id1/brand").toString(), QString("Generic"));
    QCOMPARE(projectors.value("id1/model").toString(), QString("Custom"));
    // Commented-out entries after id1 must not leak keys into it.
    projectors.beginGroup("id1");
    QCOMPARE(projectors.childKeys(),
             QStringList({"brand", "lampKW", "lumen", "model", "resolution"}));
    projectors.endGroup();
    for (const char *key : {"id1/lumen", "id1/resolution", "id1/lampKW"}) {
        QVERIFY2(projectors.contains(key), key);
        QVERIFY2(projectors.value(key).toString().isEmpty(), key);
    }

    QSettings times(":/db/times.cfg", QSettings::IniFormat);
    QCOMPARE(times.status(), QSettings::NoError);
    QVERIFY(times.childKeys().isEmpty());
    QCOMPARE(times.childGroups(), QStringList({"id0", "id1", "id2"}));
    for (const QString &group : times.childGroups()) {
        times.beginGroup(group);
        QCOMPARE(times.childKeys(), QStringList({"distance", "projector", "resin", "time"}));
        for (const QString &key : times.childKeys())
            QVERIFY(times.value(key).toString().isEmpty());
        times.endGroup();
    }
}

void TestResources::modelsLoadAsBinaryStl_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<float>("side");
    QTest::addColumn<float>("height");
    QTest::newRow("bed") << ":/stl/bed.stl" << 110.0f << 5.0f;
    QTest::newRow("grid pattern") << ":/stl/gridpattern.stl" << 90.2f << 0.2f;
}

void TestResources::modelsLoadAsBinaryStl()
{
    QFETCH(QString, path);
    QFETCH(float, side);
    QFETCH(float, height);
    STLReader reader(path);
    QCOMPARE(reader.whichFileType(), 1);
    QVERIFY(reader.isValid());
    QVERIFY(reader.getObjectTriangles() > 0);
    QVERIFY(reader.getObjectTriangles() < 5000);
    QVERIFY(qAbs(reader.getXMax() - reader.getXMin() - side) < 1e-3f);
    QVERIFY(qAbs(reader.getYMax() - reader.getYMin() - side) < 1e-3f);
    QCOMPARE(reader.getZMin(), 0.0f);
    QVERIFY(qAbs(reader.getZMax() - height) < 1e-4f);
}

void TestResources::picturesDecode()
{
    QSvgRenderer grid(QStringLiteral(":/img/grid.svg"));
    QVERIFY(grid.isValid());
    QVERIFY(grid.elementExists("0"));
    // One user unit is one millimetre: the grid is 90.2 mm wide and high.
    const QRectF bounds = grid.boundsOnElement("0");
    QVERIFY(qAbs(bounds.width() - 90.2) < 1e-6 && qAbs(bounds.height() - 90.2) < 1e-6);

    const QVector<QPair<QString, QSize>> pictures = {{":/img/grid.png", QSize(902, 902)},
                                                     {":/img/logo_full.png", QSize(200, 47)},
                                                     {":/img/ImgCalibration.png", QSize(460, 300)},
                                                     {":/img/logo.png", QSize()},
                                                     {":/img/logo.ico", QSize()},
                                                     {":/img/arrow_up.png", QSize()},
                                                     {":/img/arrow_down.png", QSize()}};
    for (const auto &picture : pictures) {
        const QImage image(picture.first);
        QVERIFY2(!image.isNull(), qPrintable(picture.first));
        if (picture.second.isValid())
            QCOMPARE(image.size(), picture.second);
    }
}

void TestResources::soundsAreSmallPcmWaves()
{
    for (const char *path : {":/sounds/success.wav", ":/sounds/error.wav", ":/sounds/wait.wav"}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(44);
        QCOMPARE(head.size(), 44);
        QVERIFY2(head.startsWith("RIFF") && head.mid(8, 8) == "WAVEfmt ", path);
        const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 20), quint16(1)); // PCM
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 22), quint16(1)); // mono
        QCOMPARE(qFromLittleEndian<quint32>(bytes + 24), quint32(22050));
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 34), quint16(16));
        QVERIFY2(file.size() < 22050 * 2 + 44, path); // under a second
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
