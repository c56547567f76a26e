#include "model/stlwords.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include <QFile>
#include <QTextCodec>

#include "model/stlreader.h"

namespace StlWords {

namespace {

constexpr int DECODER_BLOCK_SIZE = 64 * 1024;
// No STL word comes near this; a binary file may hold long runs without white space.
constexpr int MAX_WORD_SIZE = 1024 * 1024;
constexpr int UTF8_MIB = 106;

// The twelve record fields in file order.
constexpr float STLStruct::*RECORD_FIELDS[12] = {&STLStruct::nx, &STLStruct::ny, &STLStruct::nz,
                                                 &STLStruct::ax, &STLStruct::ay, &STLStruct::az,
                                                 &STLStruct::bx, &STLStruct::by, &STLStruct::bz,
                                                 &STLStruct::cx, &STLStruct::cy, &STLStruct::cz};
// The words of an ASCII facet after its first one: -1 for a keyword, otherwise the index of the
// record field the number goes to. (Indices compile to a faster loop than null member pointers.)
constexpr int ASCII_RECORD_LAYOUT[] = {
        -1, 0,  1,  2, // normal nx ny nz
        -1, -1, // outer loop
        -1, 3,  4,  5, // vertex a
        -1, 6,  7,  8, // vertex b
        -1, 9,  10, 11, // vertex c
        -1, -1, // endloop endfacet
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the usual number forms ("-12.5", "1.234567e+01") at text and returns the end of the
// number, or nullptr for any other form. With at most 15 digits and a power of ten up to 1e22
// both operands are exact doubles, so the one division or multiplication rounds exactly as a
// full decimal conversion would. The text must be followed by a separator somewhere.
const char *readSimpleFloat(const char *text, float &value)
{
    static constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char *p = text;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    quint64 mantissa = 0;
    const char *digitsStart = p;
    while (isDigit(*p))
        mantissa = mantissa * 10 + quint64(*p++ - '0');
    int digitCount = int(p - digitsStart);
    int exponent = 0;
    if (*p == '.') {
        const char *fractionStart = ++p;
        while (isDigit(*p))
            mantissa = mantissa * 10 + quint64(*p++ - '0');
        exponent = -int(p - fractionStart);
        digitCount -= exponent;
    }
    if (digitCount == 0 || digitCount > 15)
        return nullptr;
    if (*p == 'e' || *p == 'E') {
        // "1.e5": the stream would stop after the point.
        if (p[-1] == '.')
            return nullptr;
        ++p;
        const bool negativeExponent = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        const char *exponentStart = p;
        int written = 0;
        while (isDigit(*p) && p - exponentStart < 4)
            written = written * 10 + (*p++ - '0');
        if (p == exponentStart)
            return nullptr;
        exponent += negativeExponent ? -written : written;
    }
    if (exponent < -22 || exponent > 22)
        return nullptr;
    double number = double(mantissa);
    number = exponent < 0 ? number / POWERS_OF_TEN[-exponent] : number * POWERS_OF_TEN[exponent];
    value = float(negative ? -number : number);
    return p;
}

// A number the way QTextStream >> float reads it (decimal text to double, then rounded to
// float), for a word the stream would take whole. Words the stream would split or reject
// ("1.e5", "infinity", "1e", "abc", "1e999") are refused, so a corrupt file cannot shift the
// remaining words or leave zeros behind.
bool readFloat(std::string_view word, float &value)
{
    // The stream keeps the first 124 characters of a number and drops the digits after them.
    constexpr std::size_t streamNumberLength = 124;
    if (word.size() > streamNumberLength) {
        const std::string_view dropped = word.substr(streamNumberLength);
        if (!std::all_of(dropped.begin(), dropped.end(), isDigit))
            return false;
        word = word.substr(0, streamNumberLength);
    }
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
        if (!word.empty() && (word.front() == '+' || word.front() == '-'))
            return false;
    }
    const std::size_t point = word.find('.');
    if (point != std::string_view::npos && point + 1 < word.size()
        && (word[point + 1] == 'e' || word[point + 1] == 'E'))
        return false;
    double number = 0;
    const std::from_chars_result result =
            std::from_chars(word.data(), word.data() + word.size(), number);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size())
        return false;
    // The stream knows "nan" and "inf" but not "infinity" or "nan(...)".
    if (!std::isfinite(number) && word.size() - (word.front() == '-' ? 1 : 0) != 3)
        return false;
    value = float(number);
    return true;
}

} // namespace

WordReader::WordReader(QIODevice &device, int blockSize, int checkSpacing)
    : m_device(device)
    , m_blockSize(blockSize)
    , m_checkSpacing(checkSpacing)
    , m_cursor(m_buffer.constData())
    , m_limit(m_cursor)
{ }

constexpr WordReader::ByteClasses WordReader::byteClasses()
{
    ByteClasses classes{};
    for (const uchar separator : {'\t', '\n', '\v', '\f', ' '})
        classes[separator] = Separator;
    classes['\r'] = CarriageReturn;
    for (const uchar lead : {0xC2, 0xE1, 0xE2, 0xE3})
        classes[lead] = MaybeWideSpace;
    return classes;
}

const WordReader::ByteClasses WordReader::BYTE_CLASSES = WordReader::byteClasses();

// Length of the UTF-8 white-space character at text (U+0085, U+00A0, U+1680, U+2000-U+200A,
// U+2028, U+2029, U+202F, U+205F, U+3000), 0 when there is none. Each byte is looked at only
// when the ones before it match, so the scan never passes the separator that ends the data.
int WordReader::wideSpaceLength(const char *text)
{
    const auto *bytes = reinterpret_cast<const uchar *>(text);
    if (bytes[0] == 0xC2)
        return bytes[1] == 0x85 || bytes[1] == 0xA0 ? 2 : 0;
    const bool isSpace = (bytes[0] == 0xE1 && bytes[1] == 0x9A && bytes[2] == 0x80)
            || (bytes[0] == 0xE2 && bytes[1] == 0x80
                && ((bytes[2] >= 0x80 && bytes[2] <= 0x8A) || bytes[2] == 0xA8 || bytes[2] == 0xA9
                    || bytes[2] == 0xAF))
            || (bytes[0] == 0xE2 && bytes[1] == 0x81 && bytes[2] == 0x9F)
            || (bytes[0] == 0xE3 && bytes[1] == 0x80 && bytes[2] == 0x80);
    return isSpace ? 3 : 0;
}

inline bool WordReader::isWordEnd(const char *text) const
{
    const ByteClass kind = classOf(*text);
    return kind == Separator || (kind == MaybeWideSpace && wideSpaceLength(text) > 0);
}

bool WordReader::fill()
{
    if (m_failed)
        return false;
    const int consumed = int(m_cursor - m_buffer.constData());
    m_buffer.remove(0, consumed);
    m_bufferOffset += consumed;
    m_cursor = m_limit = m_buffer.constData();
    // The kept bytes are the start of a word that goes on in the bytes still to read.
    const int kept = m_buffer.size();
    const bool atCheckPoint = (m_bufferOffset + kept) % m_checkSpacing == 0;
    if (kept > MAX_WORD_SIZE && atCheckPoint) {
        m_failed = true;
        return false;
    }
    m_buffer.resize(kept + m_blockSize);
    const qint64 got = m_device.read(m_buffer.data() + kept, m_blockSize);
    if (got < 0 || (got == 0 && kept > MAX_WORD_SIZE)) {
        m_buffer.resize(kept);
        m_cursor = m_limit = m_buffer.constData();
        m_failed = true;
        return false;
    }
    m_buffer.resize(kept + int(got));
    if (!m_startChecked && !m_buffer.isEmpty()) {
        // The stream drops a UTF-8 byte order mark.
        m_startChecked = true;
        if (m_buffer.startsWith("\xEF\xBB\xBF")) {
            m_buffer.remove(0, 3);
            m_bufferOffset += 3;
        }
    }
    int end = m_buffer.size();
    if (got == 0) {
        m_deviceDone = true;
        m_buffer.append('\n');
        end = m_buffer.size();
    } else {
        // The kept bytes hold no separator, so only the new ones need a look.
        while (end > kept && classOf(m_buffer.at(end - 1)) != Separator)
            --end;
        if (end == kept)
            end = 0;
    }
    m_cursor = m_buffer.constData();
    m_limit = m_cursor + end;
    return true;
}

// Moves to the start of the next word; false when only white space remains. Inside a block
// and between plain words, a short run of separators is all there is to pass.
inline bool WordReader::toWordStart()
{
    const char *p = m_cursor;
    while (classOf(*p) == Separator)
        ++p;
    m_cursor = p;
    return (classOf(*p) == WordByte && p != m_limit) || toWordStartSlowly();
}

// The rest of toWordStart: carriage returns and wide spaces between words, and the end of the
// block.
bool WordReader::toWordStartSlowly()
{
    const char *p = m_cursor;
    for (;;) {
        while (classOf(*p) == Separator)
            ++p;
        if (p == m_limit) {
            m_cursor = p;
            if (m_deviceDone || !fill())
                return false;
            p = m_cursor;
            continue;
        }
        const ByteClass kind = classOf(*p);
        if (kind == CarriageReturn)
            ++p;
        else if (kind == MaybeWideSpace && wideSpaceLength(p) > 0)
            p += wideSpaceLength(p);
        else
            break;
    }
    m_cursor = p;
    return true;
}

// The end of the word at the cursor.
inline const char *WordReader::wordEnd(bool &hasCarriageReturn) const
{
    const char *p = m_cursor;
    for (;;) {
        while (classOf(*p) == WordByte)
            ++p;
        if (isWordEnd(p))
            return p;
        hasCarriageReturn = hasCarriageReturn || classOf(*p) == CarriageReturn;
        ++p;
    }
}

void WordReader::takeWord(std::string_view &word)
{
    const char *start = m_cursor;
    bool hasCarriageReturn = false;
    m_cursor = wordEnd(hasCarriageReturn);
    if (!hasCarriageReturn) {
        word = std::string_view(start, std::size_t(m_cursor - start));
        return;
    }
    m_joinedWord = QByteArray(start, int(m_cursor - start)).replace('\r', QByteArray());
    word = std::string_view(m_joinedWord.constData(), std::size_t(m_joinedWord.size()));
}

bool WordReader::next(std::string_view &word)
{
    if (!toWordStart())
        return false;
    takeWord(word);
    return true;
}

bool WordReader::nextWordOffset(qint64 &offset)
{
    if (!toWordStart())
        return false;
    offset = m_bufferOffset + (m_cursor - m_buffer.constData());
    return true;
}

inline bool WordReader::skip()
{
    if (!toWordStart())
        return false;
    bool hasCarriageReturn = false;
    m_cursor = wordEnd(hasCarriageReturn);
    return true;
}

inline WordReader::Number WordReader::nextNumber(float &value)
{
    if (!toWordStart())
        return Number::End;
    // Most numbers are plain and end at a separator (or at the CR of a CR LF): one pass.
    const char *end = readSimpleFloat(m_cursor, value);
    if (end) {
        const char *after = end;
        while (*after == '\r')
            ++after;
        if (classOf(*after) == Separator) {
            m_cursor = end;
            return Number::Read;
        }
    }
    std::string_view word;
    takeWord(word);
    return readFloat(word, value) ? Number::Read : Number::Refused;
}

// skip, nextNumber and the helpers they call are inline so that this loop holds all of them:
// calls per word made the reading about a tenth slower.
RecordRead WordReader::nextRecord(STLStruct &record)
{
    bool numbersRead = true;
    for (const int field : ASCII_RECORD_LAYOUT) {
        if (field < 0) {
            if (!skip())
                return RecordRead::Truncated;
            continue;
        }
        const Number number = nextNumber(record.*RECORD_FIELDS[field]);
        if (number == Number::End)
            return RecordRead::Truncated;
        numbersRead = numbersRead && number == Number::Read;
    }
    return numbersRead ? RecordRead::Complete : RecordRead::Corrupt;
}

bool isFacetKeyword(std::string_view word)
{
    return word.size() == 5 && qstrnicmp(word.data(), "facet", 5) == 0;
}

namespace {

// UTF-16 or UTF-32 text read as UTF-8, block by block.
class Utf8Decoder : public QIODevice
{
public:
    Utf8Decoder(QIODevice &source, const QTextCodec &codec)
        : m_source(source)
        , m_decoder(codec.makeDecoder())
    { }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_source;
    const std::unique_ptr<QTextDecoder> m_decoder;
    QByteArray m_pending;
};

qint64 Utf8Decoder::readData(char *data, qint64 maxSize)
{
    while (m_pending.isEmpty()) {
        const QByteArray chunk = m_source.read(DECODER_BLOCK_SIZE);
        if (chunk.isEmpty())
            return m_source.atEnd() ? 0 : -1;
        m_pending = m_decoder->toUnicode(chunk).toUtf8();
    }
    const int count = int(std::min<qint64>(maxSize, m_pending.size()));
    std::memcpy(data, m_pending.constData(), std::size_t(count));
    m_pending.remove(0, count);
    return count;
}

} // namespace

std::unique_ptr<QIODevice> unicodeDecoder(QFile &file)
{
    const QTextCodec *codec = QTextCodec::codecForUtfText(file.peek(4), nullptr);
    if (!codec || codec->mibEnum() == UTF8_MIB)
        return nullptr;
    auto decoder = std::make_unique<Utf8Decoder>(file, *codec);
    decoder->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return decoder;
}

} // namespace StlWords
