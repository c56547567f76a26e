#include "job/vekformat.h"

#include <cerrno>

#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QtEndian>

#include "base/constants.h"
#include "base/formatting.h"

const QString VEK_FILE_SUFFIX = QStringLiteral(".vek");
const QString VEK_KEY_PATH = QStringLiteral("path");
const QString VEK_KEY_BASENAME = QStringLiteral("basename");
const QString VEK_KEY_LASTFRAME = QStringLiteral("lastframe");
const QString VEK_KEY_ZCUT = QStringLiteral("zcut");
const QString VEK_KEY_TYPE = QStringLiteral("type");

const int DEF_LASTFRAME = 4000;
const int DEF_ZCUT = 50;
const int DEF_FTYPE = 1;

namespace {

// The older binary layout: a byte, the base name, a byte, the layer count and the thickness.
constexpr int BINARY_NAME_AT = 1;
constexpr int BINARY_NAME_SIZE = 50;
constexpr int BINARY_LAYERS_AT = 52;
constexpr int BINARY_THICKNESS_AT = 56;
constexpr int BINARY_SIZE = 60;

bool isHexDigit(ushort ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

// A text value written as QSettings writes it in its INI format, so that QSettings reads it back
// unchanged and a job file reads the same whoever wrote it: a leading "@" doubled, control and
// non-ASCII characters as \x escapes (and hex digits right after one too), quotes around values
// holding ';', ',' or '=' or starting or ending with a blank.
QByteArray iniText(const QString &text)
{
    const QString value = text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    QByteArray written;
    bool needsQuotes = false;
    bool escapeHexDigit = false;
    for (const QChar character : value) {
        const ushort ch = character.unicode();
        needsQuotes = needsQuotes || ch == ';' || ch == ',' || ch == '=';
        if (escapeHexDigit && isHexDigit(ch)) {
            written += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (ch) {
        case '\0':
            written += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            written += "\\a";
            break;
        case '\b':
            written += "\\b";
            break;
        case '\f':
            written += "\\f";
            break;
        case '\n':
            written += "\\n";
            break;
        case '\r':
            written += "\\r";
            break;
        case '\t':
            written += "\\t";
            break;
        case '\v':
            written += "\\v";
            break;
        case '"':
        case '\\':
            written += '\\';
            written += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                written += "\\x" + QByteArray::number(ch, 16);
                escapeHexDigit = true;
            } else {
                written += char(ch);
            }
        }
    }
    if (needsQuotes || written.startsWith(' ') || written.endsWith(' '))
        return '"' + written + '"';
    return written;
}

// The whole job file, keys in the sorted order QSettings keeps.
QByteArray iniDocument(const VekJob &job)
{
    const auto line = [](const QString &key, const QByteArray &value) -> QByteArray {
        return key.toLatin1() + '=' + value + '\n';
    };
    return '[' + VEK_SECTION.chopped(1).toLatin1() + "]\n"
            + line(VEK_KEY_BASENAME, iniText(job.baseName))
            + line(VEK_KEY_LASTFRAME, QByteArray::number(job.lastFrame))
            + line(VEK_KEY_PATH, iniText(job.path))
            + line(VEK_KEY_TYPE, QByteArray::number(job.type))
            + line(VEK_KEY_ZCUT, QByteArray::number(job.zCut));
}

enum class SaveFailure {
    None,
    Open,
    Write,
};

// Replaces the file whole or not at all: a crash or a full disk half way leaves the old one.
SaveFailure saveWhole(const QString &filePath, const QByteArray &bytes, QString &reason)
{
    QSaveFile file(filePath);
    // Unbuffered: a buffered write failing only when committed would go unnoticed, and a cut
    // file would replace the job.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return SaveFailure::Open;
    }
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            reason = file.errorString();
            return SaveFailure::Write;
        }
        done += written;
    }
    if (!file.commit()) {
        // A failed rename leaves QSaveFile without the reason; the system still has it.
        reason = qt_error_string(errno);
        return SaveFailure::Write;
    }
    return SaveFailure::None;
}

VekReading readBinaryVekJob(const QString &filePath, VekJob &job, QString &error)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error += QStringLiteral("MainWindow::convertBinaryVek() ERROR while opening vek file.")
                + file.errorString();
        return VekReading::Unreadable;
    }
    // A field the file is too short for reads as 0.
    const QByteArray head = file.read(BINARY_SIZE);
    QString name;
    if (head.size() >= BINARY_NAME_AT + BINARY_NAME_SIZE) {
        const QByteArray field = head.mid(BINARY_NAME_AT, BINARY_NAME_SIZE);
        const int end = field.indexOf('\0');
        name = QString::fromLatin1(end < 0 ? field : field.left(end));
    }
    qint32 layers = 0;
    if (head.size() >= BINARY_LAYERS_AT + 4)
        layers = qFromLittleEndian<qint32>(head.constData() + BINARY_LAYERS_AT);
    float millimetres = 0;
    if (head.size() >= BINARY_THICKNESS_AT + 4)
        millimetres = qFromLittleEndian<float>(head.constData() + BINARY_THICKNESS_AT);

    // Microns truncated toward zero; a thickness that is not a number, or gives no whole micron
    // or more than an int holds, counts as none.
    const float microns = millimetres * 1000.0f;
    const int zCut = microns >= 1.0f && microns < 2147483648.0f ? int(microns) : 0;

    job.type = DEF_FTYPE;
    if (zCut <= 0 || layers <= 0) {
        job.baseName = QFileInfo(filePath).baseName();
        job.lastFrame = DEF_LASTFRAME;
        job.zCut = DEF_ZCUT;
        return VekReading::NeedsDefaults;
    }
    job.baseName = name;
    job.lastFrame = layers;
    job.zCut = zCut;
    return VekReading::Converted;
}

} // namespace

VekJob VekJob::undefined()
{
    return {VEK_UNDEF_STR, VEK_UNDEF_STR, VEK_UNDEF_INT, VEK_UNDEF_INT, VEK_UNDEF_INT};
}

QString VekJob::printDocument() const
{
    return toUnixFormat(path + DIR_SEP + baseName + QStringLiteral(".svg"));
}

QString VekJob::previewDocument() const
{
    return toUnixFormat(path + DIR_SEP + baseName + QStringLiteral("_preview.svg"));
}

QString VekJob::thumbnail() const
{
    return toUnixFormat(path + DIR_SEP + baseName + QStringLiteral(".png"));
}

bool writeVekJob(const QString &filePath, const VekJob &job, QString &error)
{
    QString reason;
    switch (saveWhole(filePath, iniDocument(job), reason)) {
    case SaveFailure::None:
        return true;
    case SaveFailure::Open:
        error += QStringLiteral("cannot open ") + filePath + QStringLiteral(": ") + reason;
        break;
    case SaveFailure::Write:
        error += QStringLiteral("cannot write ") + filePath + QStringLiteral(": ") + reason;
        break;
    }
    return false;
}

VekReading readVekJob(const QString &filePath, VekJob &job, QString &error)
{
    const QFileInfo info(filePath);
    QSettings settings(filePath, QSettings::IniFormat);
    // Reading a key parses only the one section it sorts under: a section such as
    // "[SourceImage/a]" would hide every key of the job. All sections are parsed first.
    settings.allKeys();
    int missing = 0;
    const auto readText = [&](const QString &key, const QString &fallback) {
        const QString read = settings.value(VEK_SECTION + key, VEK_UNDEF_STR).toString();
        missing += read == VEK_UNDEF_STR;
        return read == VEK_UNDEF_STR ? fallback : read;
    };
    const auto readNumber = [&](const QString &key, int fallback) {
        const int read = settings.value(VEK_SECTION + key, VEK_UNDEF_INT).toInt();
        missing += read == VEK_UNDEF_INT;
        return read == VEK_UNDEF_INT ? fallback : read;
    };
    job.path = readText(VEK_KEY_PATH, toUnixFormat(info.absolutePath()));
    job.baseName = readText(VEK_KEY_BASENAME, info.baseName());
    job.lastFrame = readNumber(VEK_KEY_LASTFRAME, DEF_LASTFRAME);
    job.zCut = readNumber(VEK_KEY_ZCUT, DEF_ZCUT);
    job.type = readNumber(VEK_KEY_TYPE, DEF_FTYPE);

    if (missing == 5)
        return readBinaryVekJob(filePath, job, error);
    return missing > 0 ? VekReading::Repaired : VekReading::Complete;
}

bool rewriteVekJob(const QString &filePath, const VekJob &job, QString &error)
{
    QString reason;
    if (saveWhole(filePath, iniDocument(job), reason) == SaveFailure::None)
        return true;
    error += QStringLiteral("void MainWindow::reWriteFileVek(QString, QString &, bool &)")
            + QStringLiteral("ERRORE apertura file per riscrittura. ") + reason;
    return false;
}
