#pragma once

#include <QByteArray>
#include <QString>

// The bytes of one printer answer as they arrive from the port, piece by piece. The printer's
// answers are at most ten characters: a device that keeps talking cannot make one longer than
// BYTE_BUDGET bytes, whatever it sends.
class AnswerCollector
{
public:
    static constexpr int BYTE_BUDGET = 64;

    // Adds bytes that arrived; those past the budget are dropped.
    void append(const QByteArray &bytes);
    // The budget is used up: waiting for more changes nothing.
    bool isFull() const { return m_bytes.size() >= BYTE_BUDGET; }
    // The answer as text: up to the first NUL, Latin-1, whitespace simplified.
    QString text() const { return answerText(m_bytes); }

    static QString answerText(const QByteArray &bytes);

private:
    QByteArray m_bytes;
};
