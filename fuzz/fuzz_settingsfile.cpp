#include <cmath>

#include <QFileInfo>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "fuzz/fuzzsupport.h"
#include "settings/settingsstore.h"

namespace {

bool usableFolder(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) && QFileInfo(folder).isDir();
}

} // namespace

// Any bytes as settings.ini, loaded as at start-up: every value in force afterwards is usable
// (folders that exist, times and a scale factor in range), and saving one value keeps the rest.
KELVAROME_FUZZ_ENTRY(settingsfile)
{
    // Stored folders that do not exist give these; they must exist themselves.
    STL_PATH_LOCATION = fuzzScratchFolder();
    SLICER_WORKING_DIR = fuzzScratchFolder();
    SettingsStore store(writeScratchFile(QStringLiteral("settings.ini"), data, size));
    FUZZ_CHECK(store.load());

    FUZZ_CHECK(usableFolder(STL_PATH_LOCATION) && usableFolder(SLICER_WORKING_DIR));
    FUZZ_CHECK(std::isfinite(SETTINGS_GRID_FACTOR) && SETTINGS_GRID_FACTOR > 0.0f);
    FUZZ_CHECK(SETTINGS_PRE_TIME >= 0 && SETTINGS_POST_TIME >= 0);
    FUZZ_CHECK(SETTINGS_WAIT_TIME > 0 && SETTINGS_BASE_TIME > 0);

    const QString stlFolder = STL_PATH_LOCATION;
    const QString projector = SETTINGS_DEF_PROJECTOR;
    const QString language = SETTINGS_LANGUAGE;
    const float factor = SETTINGS_GRID_FACTOR;
    const int preTime = SETTINGS_PRE_TIME;
    const int baseTime = SETTINGS_BASE_TIME;
    const bool sounds = SETTINGS_SOUNDS_ON;
    const int frameTime = SETTINGS_WAIT_TIME == 1234 ? 4321 : 1234;
    FUZZ_CHECK(store.saveFrameTime(frameTime));
    FUZZ_CHECK(SETTINGS_WAIT_TIME == frameTime);
    FUZZ_CHECK(STL_PATH_LOCATION == stlFolder && SETTINGS_DEF_PROJECTOR == projector);
    FUZZ_CHECK(SETTINGS_LANGUAGE == language && SETTINGS_GRID_FACTOR == factor);
    FUZZ_CHECK(SETTINGS_PRE_TIME == preTime && SETTINGS_BASE_TIME == baseTime);
    FUZZ_CHECK(SETTINGS_SOUNDS_ON == sounds);
    return 0;
}
