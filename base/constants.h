#pragma once

#include <QString>
#include <QStringList>

// Application-wide names and working folders, set before main() runs; fixPaths() makes the
// folders absolute at start-up.
extern const QString APP_VERSION;
extern const QString PRINTER_MODEL_NAME;
extern const QString MSGBOX_HEADER;
extern const QString MSGBOX_ALERT;
extern const QString GRID_SVG;
extern const QString GRID_STL;
extern const QString BED_STL;
extern const QString GRID_PNG;
extern const QString LOGO_ICO;
extern const QString LOGO_PNG;
extern const QString LOGO_FULL;
extern QStringList GEN_PATH;
extern const QString DIR_SEP;
extern const QString TRNSLT_SUBFOLDER;
extern const QString SLICER_SUBFOLDER;
extern const QString STL_SUBFOLDER;
extern QString STL_PATH_LOCATION;
extern QString TRNSLT_WORKING_DIR;
extern QString SLICER_WORKING_DIR;
extern const QString LOG_FILE;
extern QString SETTINGS_PATH;
extern const QString SETTINGS_FILE_NAME;
extern const QString SETTINGS_PRINTER_SECTION;
extern const QString SETTINGS_PROGRAM_SECTION;
extern const QString SETTINGS_DEF_LANGUAGE;
extern const QString VEK_SECTION;
extern const QString VEK_UNDEF_STR;
extern const int VEK_UNDEF_INT;
extern const float VEK_UNDEF_FLT;

// Where a program whose executable lies in `executableDir` keeps its settings file and finds its
// translations. Run from a build folder (writable, no installed data folder beside it) both lie
// beside the executable, as they always have. An installed program (its data folder at
// ../share/kelvarome from bin/) reads the translations from there; it, and any program whose
// folder cannot be written, keeps the settings in the user's configuration folder
// (~/.config/kelvarome, created here), the same for the window and the tools.
struct ProgramFiles
{
    QString settingsPath;
    QString translationsDir; // ends in "/"
};
ProgramFiles programFiles(const QString &executableDir);

// Forms the working folders: translations and settings as programFiles() places them for this
// executable, sliced models and STL files in a product folder inside the first Documents
// location (or beside the executable when there is none). Creates nothing but the configuration
// folder when the settings go there. Safe to call again: each folder is formed from its name.
void fixPaths();
