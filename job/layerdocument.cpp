#include "job/layerdocument.h"

#include <cerrno>

#include <QFile>
#include <QObject>
#include <QSaveFile>

namespace {

constexpr std::string_view GROUP_START = "<g id=\"";
constexpr std::string_view GROUP_END = "</g>\n";
constexpr std::string_view DOCUMENT_END = "</svg>\n";
// Written out in pieces of this size: a document of tens of megabytes is never held twice.
constexpr int PREVIEW_CHUNK = 1 << 20;

// Writes all of `bytes`; false on the first write that fails.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool LayerDocument::open(const QString &path)
{
    m_groups.clear();
    m_header = {};
    QFile file(path);
    m_bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const std::string_view text(m_bytes.constData(), size_t(m_bytes.size()));

    // Groups are written one after the other, each from its own line to its "</g>" line.
    size_t start = text.find(GROUP_START);
    m_header = text.substr(0, start == std::string_view::npos ? 0 : start);
    while (start != std::string_view::npos) {
        const size_t idStart = start + GROUP_START.size();
        const size_t idEnd = text.find('"', idStart);
        const size_t end = text.find(GROUP_END, idStart);
        if (idEnd == std::string_view::npos || end == std::string_view::npos || idEnd > end)
            break;
        const std::string_view id = text.substr(idStart, idEnd - idStart);
        const size_t next = end + GROUP_END.size();
        m_groups.insert(QString::fromUtf8(id.data(), int(id.size())),
                        text.substr(start, next - start));
        start = text.find(GROUP_START, next);
    }
    if (m_groups.isEmpty()) {
        m_header = {};
        m_bytes.clear();
    }
    return !m_groups.isEmpty();
}

QByteArray LayerDocument::layer(const QString &id) const
{
    const auto group = m_groups.constFind(id);
    if (group == m_groups.constEnd())
        return QByteArray();
    QByteArray document;
    document.reserve(int(m_header.size() + group->size() + DOCUMENT_END.size()));
    document.append(m_header.data(), int(m_header.size()));
    document.append(group->data(), int(group->size()));
    document.append(DOCUMENT_END.data(), int(DOCUMENT_END.size()));
    return document;
}

bool writePreviewDocument(const QString &documentPath, const QString &previewPath, QString &error)
{
    QFile document(documentPath);
    if (!document.open(QIODevice::ReadOnly)) {
        error += QObject::tr("The layer document %1 cannot be read: %2")
                         .arg(documentPath, document.errorString());
        return false;
    }
    QSaveFile preview(previewPath);
    // Unbuffered: a buffered write failing only when committed would go unnoticed.
    if (!preview.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error += QObject::tr("The preview document %1 cannot be written: %2")
                         .arg(previewPath, preview.errorString());
        return false;
    }
    // Line by line, line ends kept: the layers are found again by their lines.
    QByteArray pending;
    bool read = true;
    bool written = true;
    while (read && written && !document.atEnd()) {
        QByteArray line = document.readLine();
        // Only a failed read gives nothing before the end.
        read = !line.isEmpty();
        pending += line.replace("white", "red");
        if (pending.size() >= PREVIEW_CHUNK) {
            written = writeAll(preview, pending);
            pending.clear();
        }
    }
    if (!read || document.error() != QFileDevice::NoError) {
        error += QObject::tr("The layer document %1 cannot be read: %2")
                         .arg(documentPath, document.errorString());
        return false;
    }
    QString reason;
    if (!written || !writeAll(preview, pending))
        reason = preview.errorString();
    else if (preview.commit())
        return true;
    else
        // A failed rename leaves QSaveFile without the reason; the system still has it.
        reason = qt_error_string(errno);
    error += QObject::tr("The preview document %1 cannot be written: %2").arg(previewPath, reason);
    return false;
}
