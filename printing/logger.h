#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTextStream>

// The print log: one record per print, appended to "printing.log" in the given folder (the
// application passes SLICER_WORKING_DIR). A record opens with a separator and a dated "Started
// Logging" line and closes with a dated "Ended Logging" line. Each line reaches the file as it is
// written, in UTF-8, so a crash mid-print still leaves the record of how far it got. The texts
// are written as given: the log is read by the maker's support, so callers never translate them.
class Logger : public QObject
{
    Q_OBJECT

public:
    // An inactive logger without a file: write() and stop() do nothing.
    explicit Logger(QObject *parent = nullptr);
    // Opens the log in `logFolder` for appending and writes the record head; a log that cannot be
    // opened leaves the logger inactive, without telling anyone.
    Logger(const QString &jobPath, const QString &jobBaseName, const QString &logFolder,
           QObject *parent = nullptr);

    // Short timestamp + message as one line; line breaks inside the message become spaces.
    void write(const QString &message);
    // Writes the "Ended Logging" line and closes the file; later calls do nothing.
    void stop();

    // True once the log file has been opened; stays true after stop().
    bool isActive() const { return active; }
    QString getJobPath() const { return jobPath; }
    QString getJobBaseName() const { return jobBaseName; }

    // The local time as "[dd/MM/yyyy - hh:mm:ss] " and as "[hh:mm:ss] ".
    static QString timeStamp();
    static QString smallTimeStamp();

private:
    void writeLine(const QString &line);

    bool active = false;
    const QString jobPath;
    const QString jobBaseName;
    QFile file;
    QTextStream stream;
};

// A duration as the log writes it, "1h 2m 5s": whole hours (however many), minutes and seconds
// without leading zeros. A negative duration reads as 0h 0m 0s.
QString durationText(qint64 ms);
