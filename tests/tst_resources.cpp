#include <QFile>
#include <QImage>
#include <QSettings>
#include <QSvgRenderer>
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
    void everyResourceIsPresentAndDecodes();
    void databasesReadBackAsIni();
    void modelsLoadAsBinaryStl();
};

void TestResources::everyResourceIsPresentAndDecodes()
{
    for (const char *path : {":/lightingVertexShader.vsh", ":/lightingFragmentShader.fsh",
                             ":/db/resins.cfg", ":/db/projectors.cfg", ":/db/times.cfg",
                             ":/sounds/success.wav", ":/sounds/error.wav", ":/sounds/wait.wav"}) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, path);
        if (QByteArray(path).endsWith(".wav"))
            QVERIFY2(file.read(16).mid(8) == "WAVEfmt ", path);
    }
    for (const char *path :
         {":/img/grid.png", ":/img/logo.png", ":/img/logo_full.png", ":/img/logo.ico",
          ":/img/ImgCalibration.png", ":/img/arrow_up.png", ":/img/arrow_down.png"})
        QVERIFY2(!QImage(path).isNull(), path);

    // One user unit is one millimetre: the calibration grid is 90.2 mm square.
    QSvgRenderer grid(QStringLiteral(":/img/grid.svg"));
    QVERIFY(grid.isValid() && grid.elementExists("0"));
    QVERIFY(qAbs(grid.boundsOnElement("0").width() - 90.2) < 1e-6);
}

void TestResources::databasesReadBackAsIni()
{
    QSettings resins(":/db/resins.cfg", QSettings::IniFormat);
    QCOMPARE(resins.status(), QSettings::NoError);
    QVERIFY(resins.childKeys().isEmpty()); // comment lines must not turn into keys
    QCOMPARE(resins.childGroups().size(), 9);
    QCOMPARE(resins.value("id0/brand").toString(), QString("FunToDo"));
    QCOMPARE(resins.value("id0/model").toString(), QString("Standard Blend"));
    QCOMPARE(resins.value("id0/color").toString(), QString("Black"));
    QCOMPARE(resins.value("id0/cost").toFloat(), 45.0f);
    QCOMPARE(resins.value("id8/cost").toFloat(), 100.0f);

    // The projectors kept only as comments after id1 must not leak keys into it.
    QSettings projectors(":/db/projectors.cfg", QSettings::IniFormat);
    QCOMPARE(projectors.childGroups(), QStringList({"id0", "id1"}));
    QCOMPARE(projectors.value("id0/model").toString(), QString("P1500"));
    projectors.beginGroup("id1");
    QCOMPARE(projectors.childKeys(),
             QStringList({"brand", "lampKW", "lumen", "model", "resolution"}));
    QCOMPARE(projectors.value("lumen").toString(), QString());
    projectors.endGroup();

    QSettings times(":/db/times.cfg", QSettings::IniFormat);
    QCOMPARE(times.childGroups(), QStringList({"id0", "id1", "id2"}));
    QCOMPARE(times.value("id2/time").toString(), QString());
}

void TestResources::modelsLoadAsBinaryStl()
{
    for (const char *path : {":/stl/bed.stl", ":/stl/gridpattern.stl"}) {
        STLReader reader(path);
        QCOMPARE(reader.whichFileType(), 1);
        QVERIFY2(reader.isValid() && reader.getObjectTriangles() > 0, path);
        QCOMPARE(reader.getZMin(), 0.0f);
        QVERIFY(reader.getXMax() > 45.0f && reader.getYMax() > 45.0f);
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
