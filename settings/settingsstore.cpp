#include "settings/settingsstore.h"

#include <cmath>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "base/constants.h"
#include "base/formatting.h"
#include "base/settingsvalues.h"

namespace {

const QString KEY_PATH_STL = QStringLiteral("path_stl");
const QString KEY_PATH_SLICED = QStringLiteral("path_slicedmodels");
const QString KEY_PROJECTOR = QStringLiteral("def_projector");
const QString KEY_RESIN = QStringLiteral("def_resin");
const QString KEY_SOUNDS = QStringLiteral("audio_enabled");
const QString KEY_TOOLTIPS = QStringLiteral("tooltips_enabled");
const QString KEY_LANGUAGE = QStringLiteral("language");
const QString KEY_GRID_FACTOR = QStringLiteral("grid_scale_factor");
const QString KEY_GRID_FACTOR_TEXT = QStringLiteral("grid_scale_factor_readable");
const QString KEY_PRE_TIME = QStringLiteral("pre_movement_time");
const QString KEY_WAIT_TIME = QStringLiteral("frame_exposure_time");
const QString KEY_POST_TIME = QStringLiteral("post_movement_time");
const QString KEY_BASE_TIME = QStringLiteral("base_exposure_time");

// Movement waits may be left out; an exposure of 0 ms would cure nothing.
constexpr int MIN_MOVEMENT_TIME = 0;
constexpr int MIN_EXPOSURE_TIME = 1;

QString printKey(const QString &key)
{
    return SETTINGS_PRINTER_SECTION + QLatin1Char('/') + key;
}

QString programKey(const QString &key)
{
    return SETTINGS_PROGRAM_SECTION + QLatin1Char('/') + key;
}

bool usableScaleFactor(float factor)
{
    return std::isfinite(factor) && factor > 0.0f;
}

// Reading a key parses only the one section it sorts under, so in a file holding a section twice
// (edited by hand) a key could read one value now and another once a save has parsed every
// section and written them back merged. Parsing them all first: the last value of a key wins.
const QSettings &wholeFile(const QSettings &settings)
{
    settings.allKeys();
    return settings;
}

void readText(const QSettings &settings, const QString &key, QString &value)
{
    const QString stored = settings.value(key, VEK_UNDEF_STR).toString();
    if (stored != VEK_UNDEF_STR)
        value = stored;
}

// Readers append file names to the folders, so a stored folder always ends with "/".
void readFolder(const QSettings &settings, const QString &key, const QString &builtIn,
                QString &value)
{
    QString stored = settings.value(key, VEK_UNDEF_STR).toString();
    if (stored == VEK_UNDEF_STR)
        return;
    stored = toUnixFormat(stored);
    if (!stored.isEmpty() && !stored.endsWith(QLatin1Char('/')))
        stored += QLatin1Char('/');
    value = !stored.isEmpty() && QFileInfo(stored).isDir() ? stored : builtIn;
}

void readTime(const QSettings &settings, const QString &key, int builtIn, int minimum, int &value)
{
    if (!settings.contains(key))
        return;
    bool number = false;
    const int stored = settings.value(key).toInt(&number);
    value = number && stored >= minimum ? stored : builtIn;
}

} // namespace

bool SettingsDialogValues::operator==(const SettingsDialogValues &other) const
{
    return stlFolder == other.stlFolder && slicedFolder == other.slicedFolder
            && projector == other.projector && resin == other.resin && sounds == other.sounds
            && tooltips == other.tooltips && preMovementMs == other.preMovementMs
            && postMovementMs == other.postMovementMs;
}

SettingsStore::SettingsStore(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_builtInStlFolder(STL_PATH_LOCATION)
    , m_builtInSlicedFolder(SLICER_WORKING_DIR)
{ }

bool SettingsStore::load()
{
    const QFileInfo file(m_path);
    if (!file.exists()) {
        if (!createWithFirstRunValues())
            return false;
    } else if (!file.isFile() || !file.isReadable()) {
        return false;
    }
    // A settings object reads the file as it is now, edits made by hand included.
    readValues(wholeFile(QSettings(m_path, QSettings::IniFormat)));
    emit sgnLoaded();
    return true;
}

bool SettingsStore::write(std::initializer_list<std::pair<QString, QVariant>> values) const
{
    // A fresh settings object for every write: their status never clears once an error is met.
    QSettings settings(m_path, QSettings::IniFormat);
    std::vector<std::pair<QString, QVariant>> previous;
    for (const auto &[key, value] : values) {
        previous.emplace_back(key, settings.value(key));
        settings.setValue(key, value);
    }
    settings.sync();
    // A format error comes from reading a file edited by hand; what could be read was written back.
    if (settings.status() != QSettings::AccessError)
        return true;
    // The settings objects of one file share the changes not yet written: left there, they would
    // be read as in force and reach the file with the next save.
    for (const auto &[key, value] : previous) {
        if (value.isValid())
            settings.setValue(key, value);
        else
            settings.remove(key);
    }
    return false;
}

bool SettingsStore::createWithFirstRunValues()
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();

    const bool written = write({
            {printKey(KEY_PATH_STL), STL_PATH_LOCATION},
            {printKey(KEY_PATH_SLICED), SLICER_WORKING_DIR},
            {printKey(KEY_PROJECTOR), SETTINGS_DEF_PROJECTOR},
            {printKey(KEY_RESIN), SETTINGS_DEF_RESIN},
            {printKey(KEY_SOUNDS), false},
            {printKey(KEY_TOOLTIPS), true},
            {programKey(KEY_LANGUAGE), SETTINGS_DEF_LANGUAGE},
            {programKey(KEY_GRID_FACTOR), SETTINGS_GRID_FACTOR},
            {programKey(KEY_PRE_TIME), SETTINGS_PRE_TIME},
            {programKey(KEY_WAIT_TIME), SETTINGS_WAIT_TIME},
            {programKey(KEY_POST_TIME), SETTINGS_POST_TIME},
            {programKey(KEY_BASE_TIME), SETTINGS_BASE_TIME},
    });
    // An empty file would pass for one whose keys were all removed.
    if (!written)
        file.remove();
    return written;
}

void SettingsStore::readValues(const QSettings &settings)
{
    readFolder(settings, printKey(KEY_PATH_STL), m_builtInStlFolder, STL_PATH_LOCATION);
    readFolder(settings, printKey(KEY_PATH_SLICED), m_builtInSlicedFolder, SLICER_WORKING_DIR);
    readText(settings, printKey(KEY_PROJECTOR), SETTINGS_DEF_PROJECTOR);
    readText(settings, printKey(KEY_RESIN), SETTINGS_DEF_RESIN);
    SETTINGS_SOUNDS_ON = settings.value(printKey(KEY_SOUNDS)).toBool();
    SETTINGS_TOOLTIPS_ON = settings.value(printKey(KEY_TOOLTIPS)).toBool();

    readText(settings, programKey(KEY_LANGUAGE), SETTINGS_LANGUAGE);
    if (settings.contains(programKey(KEY_GRID_FACTOR))) {
        bool number = false;
        const float factor = settings.value(programKey(KEY_GRID_FACTOR)).toFloat(&number);
        SETTINGS_GRID_FACTOR =
                number && usableScaleFactor(factor) ? factor : SETTINGS_BUILTIN_GRID_FACTOR;
    }
    readTime(settings, programKey(KEY_PRE_TIME), SETTINGS_BUILTIN_PRE_TIME, MIN_MOVEMENT_TIME,
             SETTINGS_PRE_TIME);
    readTime(settings, programKey(KEY_WAIT_TIME), SETTINGS_BUILTIN_WAIT_TIME, MIN_EXPOSURE_TIME,
             SETTINGS_WAIT_TIME);
    readTime(settings, programKey(KEY_POST_TIME), SETTINGS_BUILTIN_POST_TIME, MIN_MOVEMENT_TIME,
             SETTINGS_POST_TIME);
    readTime(settings, programKey(KEY_BASE_TIME), SETTINGS_BUILTIN_BASE_TIME, MIN_EXPOSURE_TIME,
             SETTINGS_BASE_TIME);
}

bool SettingsStore::writeAndLoad(std::initializer_list<std::pair<QString, QVariant>> values)
{
    // A file that cannot be written keeps the values in force as they are.
    return write(values) && load();
}

bool SettingsStore::saveAll(const SettingsDialogValues &values)
{
    if (values.preMovementMs < MIN_MOVEMENT_TIME || values.postMovementMs < MIN_MOVEMENT_TIME)
        return false;
    return writeAndLoad({
            {printKey(KEY_PATH_STL), values.stlFolder},
            {printKey(KEY_PATH_SLICED), values.slicedFolder},
            {printKey(KEY_PROJECTOR), values.projector},
            {printKey(KEY_RESIN), values.resin},
            {printKey(KEY_SOUNDS), values.sounds},
            {printKey(KEY_TOOLTIPS), values.tooltips},
            {programKey(KEY_PRE_TIME), values.preMovementMs},
            {programKey(KEY_POST_TIME), values.postMovementMs},
    });
}

bool SettingsStore::saveScaleFactor(float factor)
{
    if (!usableScaleFactor(factor))
        return false;
    return writeAndLoad({{programKey(KEY_GRID_FACTOR), factor},
                         {programKey(KEY_GRID_FACTOR_TEXT), QString::number(factor)}});
}

bool SettingsStore::saveTime(const QString &key, int ms, int minimum)
{
    return ms >= minimum && writeAndLoad({{programKey(key), ms}});
}

bool SettingsStore::savePreMovementTime(int ms)
{
    return saveTime(KEY_PRE_TIME, ms, MIN_MOVEMENT_TIME);
}

bool SettingsStore::saveFrameTime(int ms)
{
    return saveTime(KEY_WAIT_TIME, ms, MIN_EXPOSURE_TIME);
}

bool SettingsStore::savePostMovementTime(int ms)
{
    return saveTime(KEY_POST_TIME, ms, MIN_MOVEMENT_TIME);
}

bool SettingsStore::saveBaseWaitTime(int ms)
{
    return saveTime(KEY_BASE_TIME, ms, MIN_EXPOSURE_TIME);
}

bool SettingsStore::savePreferredLanguage(const QString &name)
{
    return writeAndLoad({{programKey(KEY_LANGUAGE), name}});
}

bool SettingsStore::saveParameter(const QString &key, const QVariant &value, const QString &group)
{
    return write({{group + QLatin1Char('/') + key, value}});
}

QVariant SettingsStore::readParameter(const QString &key, const QString &group,
                                      const QVariant &defaultValue) const
{
    return wholeFile(QSettings(m_path, QSettings::IniFormat))
            .value(group + QLatin1Char('/') + key, defaultValue);
}
