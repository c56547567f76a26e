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
};

// Writes `job` to the job file at `filePath` (truncating it). On failure appends the reason to
// `error` and returns false; the values are on disk when it returns true.
bool writeVekJob(const QString &filePath, const VekJob &job, QString &error);
