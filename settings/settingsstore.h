#pragma once

#include <initializer_list>
#include <utility>

#include <QObject>
#include <QString>
#include <QVariant>

class QSettings;

// What the settings dialog saves in one go.
struct SettingsDialogValues
{
    QString stlFolder;
    QString slicedFolder;
    QString projector;
    QString resin;
    bool sounds = false;
    bool tooltips = false;
    int preMovementMs = 0;
    int postMovementMs = 0;

    bool operator==(const SettingsDialogValues &other) const;
    bool operator!=(const SettingsDialogValues &other) const { return !(*this == other); }
};

// The settings file (INI format, groups SETTINGS_PRINTER_SECTION and SETTINGS_PROGRAM_SECTION)
// and the process-wide settings values it feeds (base/settingsvalues.h and the two folders of
// base/constants.h), of which it is the one writer. Every save writes through to the file at
// once and, except saveParameter, reads the whole file back into the process-wide values.
//
// A key missing from the file leaves its value as it is, except the two bools, which read false.
// A value that cannot be used gives the built-in one: a time that is not a whole number or is
// negative (the two exposure times also when 0), a scale factor that is not a finite positive
// number, a folder that does not exist.
class SettingsStore : public QObject
{
    Q_OBJECT

public:
    // The folders STL_PATH_LOCATION and SLICER_WORKING_DIR name now (those fixPaths() formed)
    // stand in later for stored folders that do not exist.
    explicit SettingsStore(const QString &path, QObject *parent = nullptr);

    QString path() const { return m_path; }

    // Creates the file with the first-run values when it is missing, reads every key into the
    // process-wide values and emits sgnLoaded(). Returns false, with nothing changed and no
    // signal, when the file can neither be read nor created.
    bool load();

    // Each save returns false when the value is refused (a time or scale factor that would not
    // be usable, see above) or when the file could not be written or read back. A value refused
    // or not written changes neither the file nor the values in force.
    //
    // The dialog's values, in SETTINGS_PRINTER_SECTION, and the two movement times.
    bool saveAll(const SettingsDialogValues &values);
    // "grid_scale_factor" as a float, and "grid_scale_factor_readable" as text for people.
    bool saveScaleFactor(float factor);
    bool savePreMovementTime(int ms);
    bool saveFrameTime(int ms);
    bool savePostMovementTime(int ms);
    bool saveBaseWaitTime(int ms);
    bool savePreferredLanguage(const QString &name);

    // Sets one key and writes the file, without reading it back.
    bool saveParameter(const QString &key, const QVariant &value, const QString &group);
    // The key's value, or `defaultValue` when the file has no such key.
    QVariant readParameter(const QString &key, const QString &group,
                           const QVariant &defaultValue) const;

signals:
    void sgnLoaded();

private:
    // Sets the keys ("group/key") and writes the file; false when it could not be written.
    bool write(std::initializer_list<std::pair<QString, QVariant>> values) const;
    bool writeAndLoad(std::initializer_list<std::pair<QString, QVariant>> values);
    bool createWithFirstRunValues();
    void readValues(const QSettings &settings);
    bool saveTime(const QString &key, int ms, int minimum);

    const QString m_path;
    const QString m_builtInStlFolder;
    const QString m_builtInSlicedFolder;
};
