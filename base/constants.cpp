#include "base/constants.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "base/formatting.h"

const QString APP_VERSION = QStringLiteral("1.1.0");
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

void fixPaths()
{
    QStringList documents = GEN_PATH;
    documents.removeDuplicates();

    QString base = QStringLiteral("%1%2").arg(toUnixFormat(QCoreApplication::applicationDirPath()),
                                              DIR_SEP);
    TRNSLT_WORKING_DIR = base + TRNSLT_SUBFOLDER;
    SETTINGS_PATH = base + SETTINGS_FILE_NAME;

    if (!documents.isEmpty())
        base = QStringLiteral("%1%2%3%4")
                       .arg(toUnixFormat(documents.first()), DIR_SEP, MSGBOX_HEADER, DIR_SEP);
    SLICER_WORKING_DIR = base + SLICER_SUBFOLDER;
    STL_PATH_LOCATION = base + STL_SUBFOLDER;
}
