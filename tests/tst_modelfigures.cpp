#include <QtTest>

#include "model/modelfigures.h"
#include "model/stlreader.h"
#include "tests/testsupport.h"

// The model page's figures: single-precision sums in file order, texts rounded half away from
// zero, checked against values computed apart from this code (by hand, and by
// tests/model_figures.py for the shared models).
class TestModelFigures : public QObject
{
    Q_OBJECT

private slots:
    void boxesByHand();
    void sharedModelsAsComputedApart();
    void commandLineInfo();
};

void TestModelFigures::boxesByHand()
{
    QTemporaryDir dir;
    auto load = [&dir](const QString &name, const QVector<STLStruct> &facets) {
        TestSupport::writeFile(dir.filePath(name), TestSupport::binaryStl(facets));
        return std::make_unique<STLReader>(dir.filePath(name));
    };
    // A 10 mm cube, and the same with its winding inverted: the volume stays positive.
    QVector<STLStruct> inverted = TestSupport::boxFacets(0, 0, 0, 10, 10, 10);
    for (STLStruct &facet : inverted)
        std::swap(facet.bx, facet.cx), std::swap(facet.by, facet.cy), std::swap(facet.bz, facet.cz);
    for (const auto &cube : {load("cube.stl", TestSupport::boxFacets(0, 0, 0, 10, 10, 10)),
                             load("inverted.stl", inverted)}) {
        const ModelFigures figures = ModelFigures::of(*cube);
        QCOMPARE(QStringList({figures.lengthText(), figures.widthText(), figures.heightText(),
                              figures.areaText(), figures.volumeText(), figures.massText(),
                              figures.trianglesText()}),
                 QStringList({"10.00", "10.00", "10.00", "6.00", "1.00", "1.10", "12"}));
        QCOMPARE(figures.costText("FunToDo Standard Blend Black", false), QStringLiteral("0.05"));
    }

    // The bed: the tallest model's height, the sum of the volumes; the resin keywords, the last
    // one found winning; a name without one gives no cost.
    const auto low = load("low.stl", TestSupport::boxFacets(0, 0, 0, 10, 10, 10));
    const auto tall = load("tall.stl", TestSupport::boxFacets(0, 0, 0, 10, 10, 30));
    const ModelFigures bed = ModelFigures::ofBed({low.get(), tall.get()});
    QCOMPARE(bed.heightText() + " " + bed.volumeText() + " " + bed.trianglesText(),
             QStringLiteral("30.00 4.00 24"));
    QCOMPARE(bed.costText("standard pentholac hs", true), QStringLiteral("0.35")); // 4.4 g at 80
    QCOMPARE(bed.costText("Acme Castable", true), QStringLiteral("0.29"));
    QCOMPARE(bed.costText("Acme Castable", false), QString());
    QCOMPARE(ModelFigures::ofBed({}).massText(), QStringLiteral("0.00"));
}

void TestModelFigures::sharedModelsAsComputedApart()
{
    // Length, width, height, area, volume, mass in grams, cost at 45 euro per kilogram.
    const QList<QPair<QString, QString>> expected = {
            {"3DBenchy_from3mf.stl", "60.00 31.00 48.00 94.31 15.55 17.11 0.77"},
            {"ghostkeeper_extra_surface_ascii.stl", "40.00 40.00 40.00 88.22 21.72 23.89 1.08"},
            {"ghostkeeper_missing_triangle_hi.stl", "20.00 20.00 10.00 10.91 2.55 2.81 0.13"},
            {"prusa_i3_extruder-body.stl", "62.00 84.50 20.00 157.05 28.56 31.42 1.41"},
            {"prusa_i3_z-axis-bottom_ascii.stl", "50.00 108.00 36.00 198.87 47.60 52.36 2.36"},
            {"prusaslicer_xl_gantry.stl", "2027.50 126.17 159.44 4594.10 527.47 580.22 26.11"}};
    for (const auto &[name, figuresText] : expected) {
        const STLReader model(QStringLiteral(SHARED_MODELS_DIR "/") + name);
        if (model.facets().isEmpty())
            QSKIP("the shared models are not there");
        const ModelFigures figures = ModelFigures::of(model);
        QCOMPARE(QStringList({figures.lengthText(), figures.widthText(), figures.heightText(),
                              figures.areaText(), figures.volumeText(), figures.massText(),
                              figures.costText("Standard", false)})
                         .join(' '),
                 figuresText);
    }
}

void TestModelFigures::commandLineInfo()
{
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("cube.stl"),
                           TestSupport::binaryStl(TestSupport::boxFacets(0, 0, 0, 10, 10, 10)));
    QProcess tool;
    tool.start(KELVAROME_SLICE_EXE, {"--info", dir.filePath("cube.stl")});
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(tool.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.mid(0, 9),
             QStringList({"model: cube", "length: 10.00 mm", "width: 10.00 mm", "height: 10.00 mm",
                          "area: 6.00 cm²", "volume: 1.00 cm³", "mass: 1.10 gr", "triangles: 12",
                          "cost FunToDo Standard Blend Black: 0.05 €"}));
    QCOMPARE(lines.at(16), QStringLiteral("cost Pentholac Castable Orange: 0.11 €"));

    tool.start(KELVAROME_SLICE_EXE, {"--info", dir.filePath("gone.stl")});
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(tool.readAllStandardError().contains("gone.stl cannot be read"));
}

QTEST_GUILESS_MAIN(TestModelFigures)
#include "tst_modelfigures.moc"
