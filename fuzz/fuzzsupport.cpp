#include "fuzz/fuzzsupport.h"

#include <cstdio>
#include <cstdlib>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

void fuzzCheckFailed(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

QString fuzzScratchFolder()
{
    // Millions of runs write their input: memory is faster than the disk and spares it.
    static const QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                              ? QStringLiteral("/dev/shm/kelvarome-fuzz-XXXXXX")
                                              : QDir::tempPath()
                                                      + QStringLiteral("/kelvarome-fuzz-XXXXXX"));
    FUZZ_CHECK(folder.isValid());
    return folder.path() + QLatin1Char('/');
}

QString writeScratchFile(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = fuzzScratchFolder() + name;
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    // QSettings keeps a file it has read by path, size and modification time; two inputs of one
    // size written within one clock tick would look alike. Each input gets a time of its own.
    static qint64 inputs = 0;
    FUZZ_CHECK(file.flush());
    FUZZ_CHECK(file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++inputs),
                                QFileDevice::FileModificationTime));
    return path;
}
