#include <algorithm>

#include "fuzz/fuzzsupport.h"
#include "printer/answercollector.h"

// Bytes arriving from the port in pieces of fuzzed sizes (the first byte of each piece gives its
// length), collected as the serial link collects an answer: however they are cut, the answer
// is the text of the first bytes within the budget, short, free of NULs and line breaks.
KELVAROME_FUZZ_ENTRY(printeranswer)
{
    AnswerCollector collector;
    QByteArray arrived;
    for (size_t at = 0; at < size && !collector.isFull();) {
        const size_t piece = std::min<size_t>(data[at] % 16, size - at - 1);
        const QByteArray bytes(reinterpret_cast<const char *>(data) + at + 1, int(piece));
        collector.append(bytes);
        arrived += bytes;
        at += 1 + piece;
    }
    const QString answer = collector.text();
    FUZZ_CHECK(answer == AnswerCollector::answerText(arrived.left(AnswerCollector::BYTE_BUDGET)));
    FUZZ_CHECK(answer.size() <= AnswerCollector::BYTE_BUDGET);
    FUZZ_CHECK(!answer.contains(QChar(0)) && !answer.contains(QLatin1Char('\n')));
    FUZZ_CHECK(answer == answer.trimmed());
    return 0;
}
