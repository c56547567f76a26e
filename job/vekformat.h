#pragma once

#include <QString>

// The job file (".vek"): an INI file with one section, VEK_SECTION, holding these keys. Shared by
// the slicer, which writes one at the end of every run, and the printing page, which reads it.
extern const QString VEK_FILE_SUFFIX;
extern const QString VEK_KEY_PATH;
extern const QString VEK_KEY_BASENAME;
extern const QString VEK_KEY_LASTFRAME;
extern const QString VEK_KEY_ZCUT;
extern const QString VEK_KEY_TYPE;

// Values used in place of missing keys when a job file is read.
extern const int DEF_LASTFRAME;
extern const int DEF_ZCUT;
extern const int DEF_FTYPE;

struct VekJob
{
    QString path; // absolute folder holding the job and its documents, "/" separators
    QString baseName;
    int lastFrame = 0; // number of layers
    int zCut = 0; // layer thickness in microns
    int type = 1;

    // The job of no file: texts VEK_UNDEF_STR, numbers VEK_UNDEF_INT.
    static VekJob undefined();
    // The print document, the preview document and the thumbnail of the job.
    QString printDocument() const;
    QString previewDocument() const;
    QString thumbnail() const;
};

// Writes `job` to the job file at `filePath`, replacing it whole or not at all. On failure
// appends the reason to `error` and returns false; the values are on disk when it returns true.
bool writeVekJob(const QString &filePath, const VekJob &job, QString &error);

// What reading a job file found; `job` is filled in every case.
enum class VekReading {
    // The current layout with every key.
    Complete,
    // The current layout with keys missing, given their defaults: the file is to be rewritten.
    Repaired,
    // The older binary layout: the file is to be rewritten in the current layout.
    Converted,
    // The older binary layout without layers or without a usable thickness: `job` holds the
    // defaults, and whether to go on with them is the user's choice (then rewritten).
    NeedsDefaults,
    // Neither layout could be read: `error` says why, `job` holds the defaults.
    Unreadable,
};

// Reads the job file at `filePath`: the INI layout, with the defaults for missing keys, or else
// the older binary layout (base name, layer count, thickness in mm at fixed offsets).
VekReading readVekJob(const QString &filePath, VekJob &job, QString &error);

// Writes a repaired or converted job back to its file, replacing it whole or not at all; on
// failure appends the user's error text to `error` and returns false.
bool rewriteVekJob(const QString &filePath, const VekJob &job, QString &error);
