#include "printer/answercollector.h"

void AnswerCollector::append(const QByteArray &bytes)
{
    const int room = BYTE_BUDGET - m_bytes.size();
    if (room > 0)
        m_bytes += bytes.left(room);
}

QString AnswerCollector::answerText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul)).simplified();
}
