#include <QCoreApplication>
#include <QtTest>

#include "app/constants.h"

class TestConstants : public QObject
{
    Q_OBJECT

private slots:
    void workingFoldersUnderDocuments();
    void workingFoldersWithoutDocuments();
    void formatting();
};

void TestConstants::workingFoldersUnderDocuments()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    GEN_PATH = QStringList{QStringLiteral("/home/user/Documents"),
                           QStringLiteral("/home/user/Documents"), QStringLiteral("/srv/other")};
    fixPaths();
    QCOMPARE(SETTINGS_PATH, exeDir + QStringLiteral("/settings.ini"));
    QCOMPARE(TRNSLT_WORKING_DIR, exeDir + QStringLiteral("/Localization/"));
    QCOMPARE(SLICER_WORKING_DIR, QStringLiteral("/home/user/Documents/Kelvarome/SlicedModels/"));
    QCOMPARE(STL_PATH_LOCATION, QStringLiteral("/home/user/Documents/Kelvarome/STL-Files/"));

    // Forming the folders again must not stack prefixes.
    fixPaths();
    QCOMPARE(SLICER_WORKING_DIR, QStringLiteral("/home/user/Documents/Kelvarome/SlicedModels/"));
    QCOMPARE(SETTINGS_PATH, exeDir + QStringLiteral("/settings.ini"));
}

void TestConstants::workingFoldersWithoutDocuments()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    GEN_PATH.clear();
    fixPaths();
    QCOMPARE(SETTINGS_PATH, exeDir + QStringLiteral("/settings.ini"));
    QCOMPARE(SLICER_WORKING_DIR, exeDir + QStringLiteral("/SlicedModels/"));
    QCOMPARE(STL_PATH_LOCATION, exeDir + QStringLiteral("/STL-Files/"));
}

void TestConstants::formatting()
{
    QCOMPARE(numberFormat(12.3456f, 2), QStringLiteral("12.35"));
    QCOMPARE(numberFormat(0.0f, 3), QStringLiteral("0.000"));
    QCOMPARE(numberFormat(-2.71828f, 3), QStringLiteral("-2.718"));
    QCOMPARE(numberFormat(1234567.0f, 1), QStringLiteral("1234567.0"));
    QCOMPARE(toUnixFormat(QStringLiteral("a/b")), QStringLiteral("a/b"));
    QCOMPARE(toUnixFormat(QChar('/')), QStringLiteral("/"));
    QCOMPARE(DIR_SEP, QStringLiteral("/"));
}

QTEST_GUILESS_MAIN(TestConstants)
#include "tst_constants.moc"
