#include <limits>
#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "base/constants.h"
#include "base/resinprices.h"
#include "base/settingsvalues.h"
#include "gui/databaselist.h"
#include "gui/settingswindow.h"
#include "settings/equipmentdatabase.h"
#include "settings/settingsstore.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"

using WindowSupport::RecordingDialogs;

namespace {

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The file's lines by group ("[Name]"), each group's lines sorted.
QMap<QString, QStringList> iniGroups(const QString &path)
{
    QMap<QString, QStringList> groups;
    QString group;
    for (const QString &line : fileText(path).split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('['))
            group = line;
        else
            groups[group] << line;
    }
    for (QStringList &lines : groups)
        lines.sort();
    return groups;
}

QStringList texts(const std::vector<DatabaseEntry> &entries)
{
    QStringList result;
    for (const DatabaseEntry &entry : entries)
        result << entry.text;
    return result;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void init();
    void firstRunCreatesTheFileAndReadsIt();
    void handEditedFileFallsBackValueByValue();
    void savesWriteAndReadBack();
    void databases();
    void dialogSavesOnlyRealChangesAndAsksBeforeLosingThem();

private:
    void resetValues();
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString folder(const QString &name) const
    {
        QDir(m_dir->path()).mkpath(name);
        return path(name) + '/';
    }
    // A settings path that can be neither read nor created: its folder is a file.
    QString unusablePath() const
    {
        TestSupport::writeFile(path("notAFolder"), "x");
        return path("notAFolder/settings.ini");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

// Every test starts from the built-in values, its folders in a temporary folder of its own.
void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    resetValues();
}

void TestSettings::resetValues()
{
    STL_PATH_LOCATION = folder("STL-Files");
    SLICER_WORKING_DIR = folder("SlicedModels");
    SETTINGS_DEF_PROJECTOR = "Generic Custom";
    SETTINGS_DEF_RESIN = "FunToDo Standard Blend Black";
    SETTINGS_SOUNDS_ON = SETTINGS_TOOLTIPS_ON = false;
    SETTINGS_LANGUAGE = "English";
    SETTINGS_GRID_FACTOR = SETTINGS_BUILTIN_GRID_FACTOR;
    SETTINGS_PRE_TIME = SETTINGS_BUILTIN_PRE_TIME;
    SETTINGS_WAIT_TIME = SETTINGS_BUILTIN_WAIT_TIME;
    SETTINGS_POST_TIME = SETTINGS_BUILTIN_POST_TIME;
    SETTINGS_BASE_TIME = SETTINGS_BUILTIN_BASE_TIME;
}

void TestSettings::firstRunCreatesTheFileAndReadsIt()
{
    SettingsStore nowhere(unusablePath());
    QSignalSpy nowhereLoaded(&nowhere, &SettingsStore::sgnLoaded);
    QVERIFY(!nowhere.load());
    QVERIFY(nowhereLoaded.isEmpty() && !SETTINGS_TOOLTIPS_ON);

    SettingsStore store(path("settings.ini"));
    QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
    QVERIFY(store.load());
    QCOMPARE(loaded.size(), 1);
    QVERIFY(SETTINGS_TOOLTIPS_ON && !SETTINGS_SOUNDS_ON);
    QCOMPARE(SETTINGS_LANGUAGE, "FirstRun");
    QCOMPARE(SETTINGS_GRID_FACTOR, 4.0f);

    const QMap<QString, QStringList> groups = iniGroups(store.path());
    QCOMPARE(groups.keys(), (QStringList{"[PrintSettings]", "[ProgramSettings]"}));
    QCOMPARE(groups["[PrintSettings]"],
             (QStringList{"audio_enabled=false", "def_projector=Generic Custom",
                          "def_resin=FunToDo Standard Blend Black",
                          "path_slicedmodels=" + SLICER_WORKING_DIR,
                          "path_stl=" + STL_PATH_LOCATION, "tooltips_enabled=true"}));
    QStringList program = groups["[ProgramSettings]"];
    QVERIFY(program.takeAt(2).startsWith("grid_scale_factor=@Variant("));
    QCOMPARE(
            program,
            (QStringList{"base_exposure_time=6000", "frame_exposure_time=6000", "language=FirstRun",
                         "post_movement_time=1500", "pre_movement_time=500"}));
}

void TestSettings::handEditedFileFallsBackValueByValue()
{
    // Missing keys keep what is in force (the bools read false); unusable values give the
    // built-in ones; the file stays as it is.
    SETTINGS_DEF_RESIN = "Pentholac HS Teal";
    SETTINGS_SOUNDS_ON = true;
    SETTINGS_BASE_TIME = 7000;
    const QString other = folder("Other");
    const QString edited = QString("[PrintSettings]\npath_stl=%1\npath_slicedmodels=%2/\n"
                                   "def_projector=Acer P1500\ntooltips_enabled=true\n"
                                   "[ProgramSettings]\nlanguage=Italiano\ngrid_scale_factor=abc\n"
                                   "pre_movement_time=fast\nframe_exposure_time=-200\n"
                                   "post_movement_time=0\n")
                                   .arg(other.chopped(1), path("Gone"));
    QVERIFY(TestSupport::writeFile(path("edited.ini"), edited.toUtf8()));
    QVERIFY(SettingsStore(path("edited.ini")).load());
    QCOMPARE(STL_PATH_LOCATION, other);
    QCOMPARE(SLICER_WORKING_DIR, path("SlicedModels/"));
    QCOMPARE(SETTINGS_DEF_PROJECTOR, "Acer P1500");
    QCOMPARE(SETTINGS_DEF_RESIN, "Pentholac HS Teal");
    QVERIFY(!SETTINGS_SOUNDS_ON && SETTINGS_TOOLTIPS_ON);
    QCOMPARE(SETTINGS_LANGUAGE, "Italiano");
    QCOMPARE(SETTINGS_GRID_FACTOR, 4.0f);
    QCOMPARE(std::tuple(SETTINGS_PRE_TIME, SETTINGS_WAIT_TIME, SETTINGS_POST_TIME,
                        SETTINGS_BASE_TIME),
             std::tuple(500, 6000, 0, 7000));
    QCOMPARE(fileText(path("edited.ini")), edited);

    // The scale factor must be a finite positive number.
    const std::pair<QByteArray, float> factors[] = {{"0", 4.0f},   {"-2.5", 4.0f}, {"nan", 4.0f},
                                                    {"inf", 4.0f}, {"", 4.0f},     {"4.5", 4.5f}};
    for (const auto &[text, expected] : factors) {
        const QString file = path("scale" + QString::fromLatin1(text) + ".ini");
        QVERIFY(TestSupport::writeFile(file, "[ProgramSettings]\ngrid_scale_factor=" + text));
        SETTINGS_GRID_FACTOR = 7.0f;
        QVERIFY(SettingsStore(file).load());
        QVERIFY2(SETTINGS_GRID_FACTOR == expected, text.constData());
    }
}

void TestSettings::savesWriteAndReadBack()
{
    SettingsStore store(path("settings.ini"));
    QVERIFY(store.load());
    QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
    QVERIFY(store.saveScaleFactor(4.1f) && store.saveFrameTime(8000) && store.savePreMovementTime(0)
            && store.savePostMovementTime(2500) && store.saveBaseWaitTime(9000)
            && store.savePreferredLanguage("Deutsch"));
    QCOMPARE(loaded.size(), 6);
    QCOMPARE(SETTINGS_GRID_FACTOR, 4.1f);
    QCOMPARE(SETTINGS_LANGUAGE, "Deutsch");
    QCOMPARE(std::tuple(SETTINGS_PRE_TIME, SETTINGS_WAIT_TIME, SETTINGS_POST_TIME,
                        SETTINGS_BASE_TIME),
             std::tuple(0, 8000, 2500, 9000));
    const QString text = fileText(store.path());
    QVERIFY(text.contains("grid_scale_factor_readable=4.1\n"));

    // Values that would not be usable are refused and leave the file as it is.
    QVERIFY(!store.saveScaleFactor(0.0f));
    QVERIFY(!store.saveScaleFactor(std::numeric_limits<float>::quiet_NaN()));
    QVERIFY(!store.saveFrameTime(0) && !store.saveBaseWaitTime(-1));
    QVERIFY(!store.savePreMovementTime(-500));
    QCOMPARE(fileText(store.path()), text);

    // Free keys: written at once, no reload.
    QVERIFY(store.saveParameter("add_base", true, "ProgramSettings"));
    QCOMPARE(store.readParameter("add_base", "ProgramSettings", false).toBool(), true);
    QCOMPARE(store.readParameter("missing", "ProgramSettings", 42).toInt(), 42);
    QCOMPARE(loaded.size(), 6);

    const QString other = folder("Other");
    QVERIFY(store.saveAll({other, SLICER_WORKING_DIR, "Acer P1500", "Pentholac HS Grey", true,
                           false, 1000, 3000}));
    QCOMPARE(loaded.size(), 7);

    // A restart reads everything back, the float scale factor included.
    resetValues();
    QVERIFY(SettingsStore(store.path()).load());
    QCOMPARE(SETTINGS_GRID_FACTOR, 4.1f);
    QCOMPARE(STL_PATH_LOCATION, other);
    QCOMPARE(SETTINGS_DEF_PROJECTOR, "Acer P1500");
    QCOMPARE(SETTINGS_DEF_RESIN, "Pentholac HS Grey");
    QVERIFY(SETTINGS_SOUNDS_ON && !SETTINGS_TOOLTIPS_ON);
    QCOMPARE(std::tuple(SETTINGS_PRE_TIME, SETTINGS_WAIT_TIME, SETTINGS_POST_TIME,
                        SETTINGS_BASE_TIME),
             std::tuple(1000, 8000, 3000, 9000));

    // A file that cannot be written says so.
    SettingsStore nowhere(unusablePath());
    QVERIFY(!nowhere.saveFrameTime(7000));
    QVERIFY(!nowhere.saveParameter("add_base", true, "ProgramSettings"));
    QCOMPARE(SETTINGS_WAIT_TIME, 8000);
}

void TestSettings::databases()
{
    const std::vector<DatabaseEntry> projectors = readDatabase(PROJECTORS_DB);
    QCOMPARE(texts(projectors), (QStringList{"Acer P1500", "Generic Custom"}));
    const std::vector<DatabaseEntry> resins = readDatabase(RESINS_DB);
    QCOMPARE(texts(resins),
             (QStringList{"FunToDo Standard Blend Black", "FunToDo Standard Blend Red",
                          "FunToDo Industrial Blend Black", "FunToDo Industrial Blend Red",
                          "FunToDo Castable Blend Red", "Pentholac HS Orange", "Pentholac HS Teal",
                          "Pentholac HS Grey", "Pentholac Castable Orange"}));
    COSTO_FTD_SB = COSTO_FTD_IB = COSTO_FTD_CB = COSTO_PTL_HS = COSTO_PTL_CB = 0.0f;
    updateResinPrices(resins);
    QCOMPARE((QVector<float>{COSTO_FTD_SB, COSTO_FTD_IB, COSTO_FTD_CB, COSTO_PTL_HS, COSTO_PTL_CB}),
             (QVector<float>{45, 55, 65, 80, 100}));

    // Each list selects its stored choice; one that names no entry leaves the first item.
    SETTINGS_DEF_RESIN = "Pentholac HS Teal";
    SETTINGS_DEF_PROJECTOR = "Optoma DX325";
    QComboBox resinList, projectorList;
    fillDbComboBox(resins, &resinList);
    fillDbComboBox(projectors, &projectorList);
    QCOMPARE(resinList.currentText(), "Pentholac HS Teal");
    QCOMPARE(projectorList.currentText(), "Acer P1500");

    // Group names sort as text; the last matching entry sets the price; a cost that is not a
    // price sets none.
    QVERIFY(TestSupport::writeFile(path("resins.cfg"),
                                   "# Test resins\n"
                                   "[id0]\nbrand=Pentholac\nmodel=HS\ncolor=Teal\ncost=90\n"
                                   "[id1]\nbrand=Pentholac\nmodel=HS\ncolor=Grey\ncost=80\n"
                                   "[id10]\nbrand=FunToDo\nmodel=Standard\ncolor=Red\ncost=abc\n"
                                   "[id2]\nmodel=Castable\ncolor=Red\ncost=-3\n"));
    const std::vector<DatabaseEntry> own = readDatabase(path("resins.cfg"));
    QCOMPARE(texts(own),
             (QStringList{"Pentholac HS Teal", "Pentholac HS Grey", "FunToDo Standard Red",
                          "UNDEFINED Castable Red"}));
    COSTO_FTD_SB = 1.0f;
    updateResinPrices(own);
    QCOMPARE(COSTO_PTL_HS, 80.0f);
    QCOMPARE(COSTO_FTD_SB, 1.0f);

    // Entries without a colour make no resin database; items already listed stay.
    QVERIFY(TestSupport::writeFile(path("plain.cfg"),
                                   "[id0]\nbrand=Acme\nmodel=Clear\ncost=12\n"
                                   "[id1]\nbrand=Generic\nmodel=Custom\n"));
    SETTINGS_DEF_PROJECTOR = "Generic Custom";
    QComboBox list;
    list.addItem("Kept");
    fillDbComboBox(readDatabase(path("plain.cfg")), &list);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.currentIndex(), 2);
    QVERIFY(readDatabase(path("missing.cfg")).empty());
}

void TestSettings::dialogSavesOnlyRealChangesAndAsksBeforeLosingThem()
{
    SettingsStore store(path("settings.ini"));
    QVERIFY(store.load());
    RecordingDialogs dialogs;
    SettingsWindow window(store, dialogs, nullptr);
    QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
    QSignalSpy shown(&window, &SettingsWindow::sgnShowToolTips);
    QSignalSpy hidden(&window, &SettingsWindow::sgnHideToolTips);
    auto *projectors = window.findChild<QComboBox *>("cboProjectors");
    auto *sounds = window.findChild<QCheckBox *>("checkBoxSounds");
    auto *save = window.findChild<QPushButton *>("btnSaveSettings");
    auto *chooseStl = window.findChild<QPushButton *>("btnStlArchive");
    QCOMPARE(projectors->count(), 2);
    QCOMPARE(projectors->currentText(), "Generic Custom");

    // Toggling twice, or choosing the folder already set (the chooser gives it back without its
    // final "/"), is no change: Save does nothing.
    sounds->click();
    sounds->click();
    dialogs.chosenPaths = QStringList{STL_PATH_LOCATION.chopped(1)};
    chooseStl->click();
    QCOMPARE(dialogs.choosers, QStringList{"Select .stl archive folder in " + STL_PATH_LOCATION});
    QVERIFY(!window.isDirty());
    save->click();
    QVERIFY(loaded.isEmpty() && shown.isEmpty());

    // A projector change stays a change whatever other controls do afterwards.
    projectors->setCurrentText("Acer P1500");
    sounds->click();
    sounds->click();
    QVERIFY(window.isDirty());
    save->click();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(SETTINGS_DEF_PROJECTOR, "Acer P1500");
    QVERIFY(!window.isDirty());
    QCOMPARE(shown.size(), 1);

    // Another folder is a change, saved with "/" at its end; cancelling keeps the one shown.
    const QString other = folder("Other");
    dialogs.chosenPaths = QStringList{other.chopped(1)};
    chooseStl->click();
    chooseStl->click();
    window.findChild<QCheckBox *>("checkBoxToolTips")->click();
    save->click();
    QCOMPARE(STL_PATH_LOCATION, other);
    QVERIFY(!SETTINGS_TOOLTIPS_ON);
    QCOMPARE(hidden.size(), 1);

    // Saves made elsewhere show in the form, which stays clean.
    QVERIFY(store.savePostMovementTime(2000));
    QCOMPARE(window.formValues().postMovementMs, 2000);
    QVERIFY(!window.isDirty());

    // Nothing changed: Close closes without a question.
    const QString stored = fileText(store.path());
    auto *close = window.findChild<QPushButton *>("btnCloseSettings");
    window.show();
    close->click();
    QVERIFY(!window.isVisible() && dialogs.shown.isEmpty());

    // No keeps the dialog open with its changes; Escape asks the same.
    window.show();
    projectors->setCurrentText("Generic Custom");
    sounds->click();
    dialogs.answers = {QMessageBox::No};
    close->click();
    QVERIFY(window.isVisible() && window.isDirty());
    QCOMPARE(dialogs.shown,
             QStringList{"Question Alert: Are you sure you want to quit without saving?"});
    QCOMPARE(dialogs.defaultButtons, {QMessageBox::No});

    // Yes gives the changes up, the projector included: nothing is written.
    dialogs.answers = {QMessageBox::Yes};
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible() && !window.isDirty());
    QCOMPARE(dialogs.shown.size(), 2);
    QCOMPARE(projectors->currentText(), "Acer P1500");
    QVERIFY(!window.formValues().sounds);
    QCOMPARE(fileText(store.path()), stored);

    // A file that cannot be written is reported and the change stays unsaved.
    SettingsStore nowhere(unusablePath());
    SettingsWindow stranded(nowhere, dialogs, nullptr);
    stranded.findChild<QCheckBox *>("checkBoxSounds")->click();
    stranded.findChild<QPushButton *>("btnSaveSettings")->click();
    QCOMPARE(dialogs.shown.last(),
             "Warning Kelvarome: The settings could not be saved in " + nowhere.path() + ".");
    QVERIFY(stranded.isDirty());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
