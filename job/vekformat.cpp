#include "job/vekformat.h"

#include <QFile>
#include <QSettings>

#include "base/constants.h"

const QString VEK_FILE_SUFFIX = QStringLiteral(".vek");
const QString VEK_KEY_PATH = QStringLiteral("path");
const QString VEK_KEY_BASENAME = QStringLiteral("basename");
const QString VEK_KEY_LASTFRAME = QStringLiteral("lastframe");
const QString VEK_KEY_ZCUT = QStringLiteral("zcut");
const QString VEK_KEY_TYPE = QStringLiteral("type");

const int DEF_LASTFRAME = 4000;
const int DEF_ZCUT = 50;
const int DEF_FTYPE = 1;

bool writeVekJob(const QString &filePath, const VekJob &job, QString &error)
{
    // QSettings does not say why it could not write, so the file is opened first to learn it.
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error += QStringLiteral("cannot open ") + filePath + QStringLiteral(": ")
                + file.errorString();
        return false;
    }
    file.close();

    QSettings settings(filePath, QSettings::IniFormat);
    settings.setValue(VEK_SECTION + VEK_KEY_PATH, job.path);
    settings.setValue(VEK_SECTION + VEK_KEY_BASENAME, job.baseName);
    settings.setValue(VEK_SECTION + VEK_KEY_LASTFRAME, job.lastFrame);
    settings.setValue(VEK_SECTION + VEK_KEY_ZCUT, job.zCut);
    settings.setValue(VEK_SECTION + VEK_KEY_TYPE, job.type);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        error += QStringLiteral("cannot write ") + filePath;
        return false;
    }
    return true;
}
