#include <QCheckBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTranslator>
#include <QtTest>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "gui/settingswindow.h"
#include "tests/windowsupport.h"

using WindowSupport::TestWindow;

// The translations are complete, and switching languages re-labels both windows at run time.
// This program lies beside Localization/, as the application does.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void everyTextTranslated();
    void switchingLanguagesAndTooltips();
};

void TestTranslations::everyTextTranslated()
{
    // lupdate run over the sources into copies of the translation files: a text with no
    // translation, or one the sources no longer hold, fails.
    QTemporaryDir dir;
    QStringList copies;
    for (const char *language : {"de", "it"}) {
        const QString name = QStringLiteral("language_%1.ts").arg(language);
        QVERIFY(QFile::copy(SOURCE_DIR "/translations/" + name, dir.filePath(name)));
        copies << dir.filePath(name);
    }
    QProcess lupdate;
    lupdate.setWorkingDirectory(SOURCE_DIR);
    lupdate.start(LUPDATE_EXE,
                  QStringList{"-locations", "none", "-no-ui-lines"}
                          + QString(TRANSLATED_FOLDERS).split(' ') + QStringList{"-ts"} + copies);
    QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
    for (const QString &copy : copies) {
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const QRegularExpression unfinished(
                QStringLiteral("<source>([^<]*)</source>\\s*(<[^>]*>\\s*)*<translation "
                               "type=\"(unfinished|obsolete|vanished)\""));
        const QRegularExpressionMatch match = unfinished.match(text);
        QVERIFY2(!match.hasMatch(),
                 qPrintable(copy + ": " + match.captured(3) + " \"" + match.captured(1) + "\""));
    }
}

void TestTranslations::switchingLanguagesAndTooltips()
{
    TestWindow test;
    auto *menu = test.find<QMenu>("menuLanguage");
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << action->text();
    QCOMPARE(entries, QStringList({"English", "German", "Italian"}));
    QTranslator italian;
    QVERIFY(italian.load(TRNSLT_WORKING_DIR + "language_it.qm"));
    const QString loadStl = italian.translate("ModelPage", "Load STL");
    const QString save = italian.translate("SettingsWindow", "Save");
    QVERIFY(!loadStl.isEmpty() && loadStl != "Load STL");

    // Italian re-labels the window and the settings dialog and is stored.
    menu->actions().at(2)->trigger();
    QTRY_COMPARE(test.find<QPushButton>("btnLoadStl")->text(), loadStl);
    QCOMPARE(test.find<SettingsWindow>()->findChild<QPushButton *>("btnSaveSettings")->text(),
             save);
    QCOMPARE(SETTINGS_LANGUAGE, QStringLiteral("it"));
    QVERIFY(test.window->statusBar()->currentMessage().contains(
            QLocale("it").nativeLanguageName()));

    // Back to English, a language of the menu like the others.
    menu->actions().at(0)->trigger();
    QTRY_COMPARE(test.find<QPushButton>("btnLoadStl")->text(), QStringLiteral("Load STL"));
    QCOMPARE(SETTINGS_LANGUAGE, QStringLiteral("en"));

    // The tooltip switch of the dialog reaches the window as well as the dialog.
    auto *dialog = test.find<SettingsWindow>();
    auto *tooltips = dialog->findChild<QCheckBox *>("checkBoxToolTips");
    auto *sounds = dialog->findChild<QCheckBox *>("checkBoxSounds");
    for (const bool on : {false, true}) {
        tooltips->setChecked(on);
        QVERIFY(dialog->saveAllSettings());
        QCOMPARE(test.find("btnSlice")->toolTip().isEmpty(), !on);
        QCOMPARE(sounds->toolTip().isEmpty(), !on);
    }
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
