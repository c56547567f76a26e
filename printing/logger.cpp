#include "printing/logger.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>

#include "base/constants.h"

namespace {

const QString SEPARATOR = QString(74, QLatin1Char('='));

// The C locale keeps the digits ASCII whatever the user's locale is.
QString localTime(const QString &format)
{
    return QLocale::c().toString(QDateTime::currentDateTime(), format);
}

} // namespace

Logger::Logger(QObject *parent)
    : QObject(parent)
{ }

Logger::Logger(const QString &jobPath, const QString &jobBaseName, const QString &logFolder,
               QObject *parent)
    : QObject(parent)
    , jobPath(jobPath)
    , jobBaseName(jobBaseName)
    , file(QDir::fromNativeSeparators(QDir(logFolder).filePath(LOG_FILE)))
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    active = true;
    stream.setDevice(&file);
    // Without a codec the stream would follow the locale, and "€" or "cm³" could turn into "?".
    stream.setCodec("UTF-8");
    writeLine(SEPARATOR);
    writeLine(timeStamp() + QStringLiteral("Started Logging"));
}

void Logger::write(const QString &message)
{
    if (!file.isOpen())
        return;
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    writeLine(smallTimeStamp() + line);
}

void Logger::stop()
{
    if (!file.isOpen())
        return;
    writeLine(timeStamp() + QStringLiteral("Ended Logging"));
    stream.setDevice(nullptr);
    file.close();
}

QString Logger::timeStamp()
{
    return localTime(QStringLiteral("[dd/MM/yyyy - hh:mm:ss] "));
}

QString Logger::smallTimeStamp()
{
    return localTime(QStringLiteral("[hh:mm:ss] "));
}

void Logger::writeLine(const QString &line)
{
    // Flushing the stream also hands the bytes to the system, so they survive a crash.
    stream << line << '\n';
    stream.flush();
}

QString durationText(qint64 ms)
{
    const qint64 total = qMax<qint64>(ms, 0);
    const qint64 hours = total / 3600000;
    const qint64 minutes = total % 3600000 / 60000;
    const qint64 seconds = total % 60000 / 1000;
    return QStringLiteral("%1h %2m %3s").arg(hours).arg(minutes).arg(seconds);
}
