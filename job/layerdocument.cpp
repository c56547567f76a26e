#include "job/layerdocument.h"

#include <QFile>

namespace {

constexpr std::string_view GROUP_START = "<g id=\"";
constexpr std::string_view GROUP_END = "</g>\n";
constexpr std::string_view DOCUMENT_END = "</svg>\n";

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
