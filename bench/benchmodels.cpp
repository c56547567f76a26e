#include "bench/benchmodels.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QProcess>

namespace BenchModels {

QString defaultFolder()
{
    return QDir::tempPath() + "/kelvarome-bench-models";
}

bool ensureSyntheticModels(const QString &folder, const QString &generator,
                           const QStringList &names)
{
    QStringList missing;
    for (const QString &name : names) {
        if (!QFile::exists(folder + "/" + name + ".stl"))
            missing << name;
    }
    if (missing.isEmpty())
        return true;
    std::printf("generating %s in %s\n", qPrintable(missing.join(", ")), qPrintable(folder));
    std::fflush(stdout);
    return QDir().mkpath(folder)
            && QProcess::execute("python3", {generator, folder, "--only", missing.join(",")}) == 0;
}

} // namespace BenchModels
