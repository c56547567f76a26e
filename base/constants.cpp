#include "base/constants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "base/formatting.h"

const QString APP_VERSION = QStringLiteral(KELVAROME_VERSION);
const QString PRINTER_MODEL_NAME = QStringLiteral("Tarvisomel");
const QString MSGBOX_HEADER = QStringLiteral("Kelvarome");
const QString MSGBOX_ALERT = QStringLiteral("Alert");
const QString GRID_SVG = QStringLiteral(":/img/grid.svg");
const QString GRID_STL = QStringLiteral(":/stl/gridpattern.stl");
const QString BED_STL = QStringLiteral(":/stl/bed.stl");
const QString GRID_PNG = QStringLiteral(":/img/grid.png");
const QString LOGO_ICO = QStringLiteral(":/img/logo.ico");
const QString LOGO_PNG = QStringLiteral(":/img/logo.png");
const QString LOGO_FULL = QStringLiteral(":/img/logo_full.png");
QStringList GEN_PATH = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
const QString DIR_SEP = toUnixFormat(QDir::separator());
const QString TRNSLT_SUBFOLDER = QStringLiteral("Localization/");
const QString SLICER_SUBFOLDER = QStringLiteral("SlicedModels/");
const QString STL_SUBFOLDER = QStringLiteral("STL-Files/");
QString STL_PATH_LOCATION = STL_SUBFOLDER;
QString TRNSLT_WORKING_DIR = QStringLiteral("%1").arg(TRNSLT_SUBFOLDER);
QString SLICER_WORKING_DIR = QStringLiteral("%1").arg(SLICER_SUBFOLDER);
const QString LOG_FILE = QStringLiteral("printing.log");
const QString SETTINGS_FILE_NAME = QStringLiteral("settings.ini");
QString SETTINGS_PATH = SETTINGS_FILE_NAME;
const QString SETTINGS_PRINTER_SECTION = QStringLiteral("PrintSettings");
const QString SETTINGS_PROGRAM_SECTION = QStringLiteral("ProgramSettings");
const QString SETTINGS_DEF_LANGUAGE = QStringLiteral("FirstRun");
const QString VEK_SECTION = QStringLiteral("SourceImage/");
const QString VEK_UNDEF_STR = QStringLiteral("UNDEFINED");
const int VEK_UNDEF_INT = -1;
const float VEK_UNDEF_FLT = -1.0f;

namespace {

// A real try: permission bits say little for root, a read-only mount or a special file system.
bool folderWritable(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.kelvarome-XXXXXX"));
    return probe.open();
}

} // namespace

ProgramFiles programFiles(const QString &executableDir)
{
    const QString beside = toUnixFormat(QDir::cleanPath(executableDir)) + DIR_SEP;
    const QString installedData = QDir::cleanPath(beside + QStringLiteral(KELVAROME_DATA_FROM_BIN))
            + DIR_SEP + TRNSLT_SUBFOLDER;
    const bool installed = QFileInfo(installedData).isDir();

    ProgramFiles files;
    files.translationsDir = installed ? installedData : beside + TRNSLT_SUBFOLDER;
    if (!installed && folderWritable(beside)) {
        files.settingsPath = beside + SETTINGS_FILE_NAME;
        return files;
    }
    // The window's AppConfigLocation, named here so that the tools, whose application names
    // differ, find the same file.
    const QString config =
            toUnixFormat(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            + DIR_SEP + QStringLiteral("kelvarome");
    QDir().mkpath(config);
    files.settingsPath = config + DIR_SEP + SETTINGS_FILE_NAME;
    return files;
}

void fixPaths()
{
    QStringList documents = GEN_PATH;
    documents.removeDuplicates();

    QString base = QStringLiteral("%1%2").arg(toUnixFormat(QCoreApplication::applicationDirPath()),
                                              DIR_SEP);
    const ProgramFiles files = programFiles(QCoreApplication::applicationDirPath());
    TRNSLT_WORKING_DIR = files.translationsDir;
    SETTINGS_PATH = files.settingsPath;

    if (!documents.isEmpty())
        base = QStringLiteral("%1%2%3%4")
                       .arg(toUnixFormat(documents.first()), DIR_SEP, MSGBOX_HEADER, DIR_SEP);
    SLICER_WORKING_DIR = base + SLICER_SUBFOLDER;
    STL_PATH_LOCATION = base + STL_SUBFOLDER;
}
