#include "model/stlreader.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string_view>
#include <thread>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QVector3D>
#include <QtEndian>

namespace {

const QString ASCII_PARSER = QStringLiteral("bool STLReader::parseASCIIFile(QString &)");
const QString BINARY_PARSER = QStringLiteral("bool STLReader::parseBinaryFile(QString &)");

constexpr int TYPE_ASCII = 0;
constexpr int TYPE_BINARY = 1;
constexpr int TYPE_UNREADABLE = 2;
constexpr int TYPE_DETECTION_WORDS = 50;

constexpr qint64 BINARY_HEADER_SIZE = 84;
constexpr qint64 BINARY_RECORD_SIZE = 50;
// About 1 MB per read.
constexpr qint64 BINARY_RECORDS_PER_BLOCK = 20000;
// Small enough to stay in the processor cache while its words are read.
constexpr int ASCII_BLOCK_SIZE = 256 * 1024;
constexpr int DETECTION_BLOCK_SIZE = 64 * 1024;
constexpr int DECODER_BLOCK_SIZE = 64 * 1024;
// No STL word comes near this; a binary file may hold long runs without white space. Words are
// measured at every WORD_CHECK_SPACING bytes of a file read as it is (and at its end), so the
// same words are refused whatever the size of the reads.
constexpr int MAX_WORD_SIZE = 1024 * 1024;
constexpr int WORD_CHECK_SPACING = 4 * 1024 * 1024;
constexpr int UTF8_MIB = 106;
// Below this many facets (or bytes of text) a helper thread costs more than it saves.
constexpr int PARALLEL_MIN_FACETS = 50000;
constexpr qint64 PARALLEL_MIN_TEXT_SIZE = 4 * 1024 * 1024;
// How far past the middle of a text file a record start is looked for.
constexpr int RECORD_SEARCH_SIZE = 64 * 1024;
// Facets read before the count of the rest is estimated, and the room added to the estimate.
constexpr int ESTIMATE_AFTER_FACETS = 2000;
constexpr double ESTIMATE_MARGIN = 1.05;
// Facets moved together before their normals are recomputed; they stay in the first-level cache.
constexpr int NORMALS_BATCH_SIZE = 32;

// A QVector holds at most 2 GiB; refusing more facets beats an allocation failure.
constexpr int MAX_FACETS = (std::numeric_limits<int>::max() - 64) / int(sizeof(STLReader::Facet));

// The twelve record fields in file order, so both parsers fill them the same way.
constexpr float STLStruct::*RECORD_FIELDS[12] = {&STLStruct::nx, &STLStruct::ny, &STLStruct::nz,
                                                 &STLStruct::ax, &STLStruct::ay, &STLStruct::az,
                                                 &STLStruct::bx, &STLStruct::by, &STLStruct::bz,
                                                 &STLStruct::cx, &STLStruct::cy, &STLStruct::cz};
constexpr int FIRST_CORNER_FIELD = 3;

// The words of an ASCII facet after its first one: -1 for a keyword (never checked, only its
// position counts), otherwise the record field the number goes to.
constexpr int ASCII_RECORD_LAYOUT[] = {
        -1, 0,  1,  2, // normal nx ny nz
        -1, -1, // outer loop
        -1, 3,  4,  5, // vertex a
        -1, 6,  7,  8, // vertex b
        -1, 9,  10, 11, // vertex c
        -1, -1, // endloop endfacet
};

QVector3D toQVector(const STLReader::Vertex &vertex)
{
    return QVector3D(vertex.x, vertex.y, vertex.z);
}

bool cornersAreFinite(const STLStruct &record)
{
    for (int field = FIRST_CORNER_FIELD; field < 12; ++field) {
        if (!std::isfinite(record.*RECORD_FIELDS[field]))
            return false;
    }
    return true;
}

// Runs work(half, begin, end) over [0, count): as one half when count is small, otherwise as two
// halves with the second on a helper thread, joined before returning.
template <typename Work>
void inTwoHalves(int count, const Work &work)
{
    if (count < PARALLEL_MIN_FACETS || std::thread::hardware_concurrency() < 2) {
        work(0, 0, count);
        return;
    }
    const int middle = count / 2;
    std::thread helper(work, 1, middle, count);
    work(0, 0, middle);
    helper.join();
}

// Has the kernel map the pages of a large list's new storage, a half on each of two threads.
// Taking their page faults one at a time on the first write costs more than decoding the facets.
void faultInPages(const STLReader::Facet *storage, int count)
{
#ifdef MADV_POPULATE_WRITE
    const auto populate = [](quintptr begin, quintptr end) {
        const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
        begin = (begin + page - 1) / page * page;
        end = end / page * page;
        if (end > begin)
            madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
    };
    const quintptr begin = quintptr(storage);
    inTwoHalves(count, [&](int, int first, int last) {
        populate(begin + quintptr(first) * sizeof(STLReader::Facet),
                 begin + quintptr(last) * sizeof(STLReader::Facet));
    });
#else
    Q_UNUSED(storage);
    Q_UNUSED(count);
#endif
}

// Bounds in the reader's order: xmin, xmax, ymin, ymax, zmin, zmax.
void setBounds(float *bounds, const STLStruct &record)
{
    bounds[0] = std::min({record.ax, record.bx, record.cx});
    bounds[1] = std::max({record.ax, record.bx, record.cx});
    bounds[2] = std::min({record.ay, record.by, record.cy});
    bounds[3] = std::max({record.ay, record.by, record.cy});
    bounds[4] = std::min({record.az, record.bz, record.cz});
    bounds[5] = std::max({record.az, record.bz, record.cz});
}

void widenBounds(float *bounds, const STLStruct &record)
{
    bounds[0] = std::min({bounds[0], record.ax, record.bx, record.cx});
    bounds[1] = std::max({bounds[1], record.ax, record.bx, record.cx});
    bounds[2] = std::min({bounds[2], record.ay, record.by, record.cy});
    bounds[3] = std::max({bounds[3], record.ay, record.by, record.cy});
    bounds[4] = std::min({bounds[4], record.az, record.bz, record.cz});
    bounds[5] = std::max({bounds[5], record.az, record.bz, record.cz});
}

// Widens bounds by those of corners met later in the file. Like the widening per facet, std::min
// and std::max keep their first argument on ties, so merging the bounds of consecutive ranges
// gives those of a single pass, down to the sign of a zero.
void widenBounds(float *bounds, const float *later)
{
    for (int i = 0; i < 6; i += 2) {
        bounds[i] = std::min(bounds[i], later[i]);
        bounds[i + 1] = std::max(bounds[i + 1], later[i + 1]);
    }
}

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

// The white-space words of an ASCII STL file, read in large blocks, exactly as a QTextStream on
// the file opened in text mode reads them: UTF-8, white space as QChar::isSpace sees it, and
// carriage returns dropped wherever they stand (so "ab\rcd" is the single word "abcd").
class WordReader
{
public:
    // Reads of blockSize bytes; overlong words are looked for before each read that starts at
    // a multiple of checkSpacing. Reading starts at the device's position, startOffset bytes
    // into the file: a reader started inside the file reads up to the next multiple of
    // blockSize first, so that it stops at the same check points as one started at 0.
    WordReader(QIODevice &device, int blockSize, int checkSpacing = 1, qint64 startOffset = 0)
        : m_device(device)
        , m_blockSize(blockSize)
        , m_checkSpacing(checkSpacing)
        , m_nextReadSize(blockSize - int(startOffset % blockSize))
        , m_bufferOffset(startOffset)
        , m_cursor(m_buffer.constData())
        , m_limit(m_cursor)
        , m_startChecked(startOffset > 0)
    { }

    enum class Number {
        Read,
        Refused,
        End
    };

    // The next word, valid until the following call; false when only white space remains.
    bool next(std::string_view &word);
    // Passes over the next word; false when only white space remains.
    bool skip();
    // The next word read as a number (see readFloat).
    Number nextNumber(float &value);
    // Moves to the next word and gives its offset in the file; false when only white space
    // remains.
    bool nextWordOffset(qint64 &offset);
    // A read error, or a word too long to be real.
    bool failed() const { return m_failed; }

private:
    enum ByteClass : uchar {
        WordByte,
        Separator,
        CarriageReturn,
        MaybeWideSpace
    };
    using ByteClasses = std::array<ByteClass, 256>;

    static constexpr ByteClasses byteClasses();
    static ByteClass classOf(char byte) { return BYTE_CLASSES[uchar(byte)]; }
    static int wideSpaceLength(const char *text);
    bool isWordEnd(const char *text) const;
    bool toWordStart();
    bool toWordStartSlowly();
    const char *wordEnd(bool &hasCarriageReturn) const;
    void takeWord(std::string_view &word);
    bool fill();

    static const ByteClasses BYTE_CLASSES;

    QIODevice &m_device;
    const int m_blockSize;
    const int m_checkSpacing;
    int m_nextReadSize;
    // The file offset of the first byte of m_buffer.
    qint64 m_bufferOffset;
    QByteArray m_buffer;
    // The next byte to look at, in m_buffer.
    const char *m_cursor;
    // The bytes before m_limit end with a separator (one is appended at the end of the data), so
    // a word started before it ends before it; the byte at m_limit is never a separator, so a
    // run of white space stops there at the latest.
    const char *m_limit;
    bool m_deviceDone = false;
    bool m_startChecked;
    bool m_failed = false;
    QByteArray m_joinedWord;
};

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

bool WordReader::isWordEnd(const char *text) const
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
    const int wanted = m_nextReadSize;
    m_nextReadSize = m_blockSize;
    m_buffer.resize(kept + wanted);
    const qint64 got = m_device.read(m_buffer.data() + kept, wanted);
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
const char *WordReader::wordEnd(bool &hasCarriageReturn) const
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

bool WordReader::skip()
{
    if (!toWordStart())
        return false;
    bool hasCarriageReturn = false;
    m_cursor = wordEnd(hasCarriageReturn);
    return true;
}

WordReader::Number WordReader::nextNumber(float &value)
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

// A decoder for a file that starts with a UTF-16 or UTF-32 byte order mark (a text stream
// switches to those on its own); nullptr when the file's bytes are read as they are.
std::unique_ptr<QIODevice> unicodeDecoder(QFile &file)
{
    const QTextCodec *codec = QTextCodec::codecForUtfText(file.peek(4), nullptr);
    if (!codec || codec->mibEnum() == UTF8_MIB)
        return nullptr;
    auto decoder = std::make_unique<Utf8Decoder>(file, *codec);
    decoder->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return decoder;
}

bool isFacetKeyword(std::string_view word)
{
    return word.size() == 5 && qstrnicmp(word.data(), "facet", 5) == 0;
}

enum class RecordRead {
    Complete,
    Truncated,
    Corrupt
};

// The words of one ASCII facet after its first word. A facet that the end of the file cuts
// short counts as truncated even when its last word is a broken number.
RecordRead readAsciiRecord(WordReader &words, STLStruct &record)
{
    bool numbersRead = true;
    for (const int field : ASCII_RECORD_LAYOUT) {
        if (field < 0) {
            if (!words.skip())
                return RecordRead::Truncated;
            continue;
        }
        const WordReader::Number number = words.nextNumber(record.*RECORD_FIELDS[field]);
        if (number == WordReader::Number::End)
            return RecordRead::Truncated;
        numbersRead = numbersRead && number == WordReader::Number::Read;
    }
    return numbersRead ? RecordRead::Complete : RecordRead::Corrupt;
}

// Opens a second handle on the file that file has open, for a helper thread to read another part
// of it; false when the path no longer leads to that same file (it was replaced meanwhile), so
// that a reading never mixes two files.
bool openSameFile(const QFile &file, QFile &again)
{
    again.setFileName(file.fileName());
    struct stat opened = {};
    struct stat reopened = {};
    return again.open(QIODevice::ReadOnly) && fstat(file.handle(), &opened) == 0
            && fstat(again.handle(), &reopened) == 0 && opened.st_dev == reopened.st_dev
            && opened.st_ino == reopened.st_ino;
}

// Facets read from consecutive ASCII records, with their bounds.
struct AsciiRun
{
    QVector<STLReader::Facet> facets;
    // Of the corners read, when there are any.
    float bounds[6] = {0, 0, 0, 0, 0, 0};
    // Empty while every record read was sound.
    QString error;
    // The reading stopped before a record because the caller asked it to.
    bool stopped = false;
};

// Text holds no facet count. Once a few thousand facets are read, their size in bytes gives a
// close estimate for the rest of the file, reserved at once instead of grown step by step.
void reserveForEstimate(AsciiRun &run, qint64 runStart, qint64 runNow, qint64 fileEnd)
{
    if (fileEnd < 0 || runNow <= runStart)
        return;
    const double bytesPerFacet = double(runNow - runStart) / run.facets.size();
    const double estimate = double(fileEnd - runStart) / bytesPerFacet * ESTIMATE_MARGIN;
    run.facets.reserve(int(std::min<double>(estimate, MAX_FACETS)));
}

// Reads ASCII records into run until "endsolid", the end of the text or an unsound record,
// starting after the first word of a record. Before each further record, atRecord(offset of its
// first word in the file) may stop the reading by returning false. fileEnd is the size of the
// file when the words are its bytes as they are, otherwise -1.
template <typename AtRecord>
void readAsciiRecords(WordReader &words, const QFile &file, qint64 fileEnd, AsciiRun &run,
                      const AtRecord &atRecord)
{
    qint64 runStart = 0;
    words.nextWordOffset(runStart);
    for (;;) {
        STLStruct record;
        const RecordRead result = readAsciiRecord(words, record);
        // A file cut inside a facet loses that facet only.
        if (result == RecordRead::Truncated)
            break;
        if (result == RecordRead::Corrupt) {
            run.error = QStringLiteral(" ERRORE lettura numero");
            return;
        }
        if (!cornersAreFinite(record)) {
            run.error = QStringLiteral(" ERRORE coordinata non finita");
            return;
        }
        if (run.facets.size() >= MAX_FACETS) {
            run.error = QStringLiteral(" ERRORE troppi triangoli");
            return;
        }
        if (run.facets.isEmpty())
            setBounds(run.bounds, record);
        else
            widenBounds(run.bounds, record);
        run.facets.append(STLReader::Facet(record));
        qint64 offset = 0;
        if (!words.nextWordOffset(offset))
            break;
        if (run.facets.size() == ESTIMATE_AFTER_FACETS)
            reserveForEstimate(run, runStart, offset, fileEnd);
        if (!atRecord(offset)) {
            run.stopped = true;
            return;
        }
        std::string_view word;
        if (!words.next(word) || word == "endsolid")
            break;
    }
    if (words.failed())
        run.error = QStringLiteral(" ERRORE lettura file.") + file.errorString();
}

// The offset of a likely ASCII record start (the word "facet" after a separator) at or after
// from, or -1 when the next few kilobytes hold none.
qint64 likelyRecordStart(QFile &file, qint64 from)
{
    if (!file.seek(from - 1))
        return -1;
    const QByteArray text = file.read(RECORD_SEARCH_SIZE);
    const auto isSeparator = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f';
    };
    for (int at = text.indexOf("facet", 1); at > 0; at = text.indexOf("facet", at + 1)) {
        if (isSeparator(text.at(at - 1)) && at + 5 < text.size() && isSeparator(text.at(at + 5)))
            return from - 1 + at;
    }
    return -1;
}

// Reads the records of the second half of a large ASCII file on a helper thread, starting at a
// likely record start past the middle. The main reading stops when it arrives exactly there:
// from that offset on, both read the same words a single reading would, so their facets follow
// on. When the main reading passes the offset inside a record instead, this reading is
// cancelled and the main one goes on alone.
class SecondHalfReader
{
public:
    SecondHalfReader(const QFile &file, qint64 fileSize, qint64 firstRecord);
    ~SecondHalfReader() { cancel(); }

    // The offset the second half starts at, -1 when there is no second half reading.
    qint64 start() const { return m_start; }
    // Stops the reading and forgets it.
    void cancel();
    // Waits for the reading to end and gives its records.
    AsciiRun &finish();

private:
    void read(qint64 fileSize);

    QFile m_file;
    qint64 m_start = -1;
    AsciiRun m_run;
    std::atomic<bool> m_cancelled{false};
    std::thread m_thread;
};

SecondHalfReader::SecondHalfReader(const QFile &file, qint64 fileSize, qint64 firstRecord)
{
    if (fileSize < PARALLEL_MIN_TEXT_SIZE || std::thread::hardware_concurrency() < 2
        || !openSameFile(file, m_file))
        return;
    m_start = likelyRecordStart(m_file, std::max(firstRecord + 1, fileSize / 2));
    if (m_start < 0 || !m_file.seek(m_start)) {
        m_start = -1;
        return;
    }
    m_thread = std::thread(&SecondHalfReader::read, this, fileSize);
}

void SecondHalfReader::read(qint64 fileSize)
{
    WordReader words(m_file, ASCII_BLOCK_SIZE, WORD_CHECK_SPACING, m_start);
    std::string_view firstWord;
    if (!words.next(firstWord) || firstWord == "endsolid")
        return;
    readAsciiRecords(words, m_file, fileSize, m_run,
                     [this](qint64) { return !m_cancelled.load(std::memory_order_relaxed); });
}

void SecondHalfReader::cancel()
{
    m_cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
    m_start = -1;
}

AsciiRun &SecondHalfReader::finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_run;
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on a read error.
qint64 readFully(QIODevice &device, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 got = device.read(data + done, size - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

float floatAt(const char *bytes, int index)
{
    return qFromLittleEndian<float>(bytes + 4 * index);
}

// One binary record, field by field (the compiler turns this into plain loads).
STLStruct binaryRecord(const char *bytes)
{
    STLStruct record;
    record.nx = floatAt(bytes, 0);
    record.ny = floatAt(bytes, 1);
    record.nz = floatAt(bytes, 2);
    record.ax = floatAt(bytes, 3);
    record.ay = floatAt(bytes, 4);
    record.az = floatAt(bytes, 5);
    record.bx = floatAt(bytes, 6);
    record.by = floatAt(bytes, 7);
    record.bz = floatAt(bytes, 8);
    record.cx = floatAt(bytes, 9);
    record.cy = floatAt(bytes, 10);
    record.cz = floatAt(bytes, 11);
    return record;
}

// A run of consecutive binary records and what reading it found.
struct BinaryRange
{
    qint64 first = 0;
    qint64 count = 0;
    // Whole records decoded: fewer than count when the file got shorter or a record was unsound.
    qint64 decoded = 0;
    // Of the decoded corners, when there are any.
    float bounds[6] = {0, 0, 0, 0, 0, 0};
    // Empty while every record read was sound.
    QString error;
};

// Decodes the records of range into facets (which has room for them), reading them through file
// in large blocks. Ranges read through their own handles can be decoded in parallel.
void decodeBinaryRange(QFile &file, BinaryRange &range, STLReader::Facet *facets)
{
    if (!file.seek(BINARY_HEADER_SIZE + range.first * BINARY_RECORD_SIZE)) {
        range.error = QStringLiteral(" ERRORE lettura file.") + file.errorString();
        return;
    }
    QByteArray block;
    while (range.decoded < range.count) {
        const qint64 wanted = std::min(range.count - range.decoded, BINARY_RECORDS_PER_BLOCK);
        block.resize(int(wanted * BINARY_RECORD_SIZE));
        const qint64 got = readFully(file, block.data(), block.size());
        if (got < 0) {
            range.error = QStringLiteral(" ERRORE lettura file.") + file.errorString();
            return;
        }
        const qint64 wholeRecords = got / BINARY_RECORD_SIZE;
        for (qint64 i = 0; i < wholeRecords; ++i) {
            const STLStruct record = binaryRecord(block.constData() + i * BINARY_RECORD_SIZE);
            if (!cornersAreFinite(record)) {
                range.error = QStringLiteral(" ERRORE coordinata non finita");
                return;
            }
            if (range.decoded == 0)
                setBounds(range.bounds, record);
            else
                widenBounds(range.bounds, record);
            // Built in place over the default facet: no temporary to copy.
            new (facets + range.decoded++) STLReader::Facet(record);
        }
        if (wholeRecords < wanted)
            return;
    }
}

} // namespace

QString STLReader::Vertex::printVertex() const
{
    return QStringLiteral("Vertex<x:") + QString::number(x) + QStringLiteral(" y:")
            + QString::number(y) + QStringLiteral(" z:") + QString::number(z) + QStringLiteral(">");
}

STLReader::Facet::Facet(const STLStruct &record)
    : m_n{record.nx, record.ny, record.nz}
    , m_a{record.ax, record.ay, record.az}
    , m_b{record.bx, record.by, record.bz}
    , m_c{record.cx, record.cy, record.cz}
{ }

void STLReader::Facet::recalculateNormals()
{
    // QVector3D::normal(a, b, c) of Qt 5.15 written out, step for step, so that a million
    // facets need no library calls: the cross product in float, its length in double, the
    // vector kept when its length is 1 within 1e-12 and the null vector for a (nearly)
    // degenerate facet.
    const float ux = m_b.x - m_a.x;
    const float uy = m_b.y - m_a.y;
    const float uz = m_b.z - m_a.z;
    const float vx = m_c.x - m_a.x;
    const float vy = m_c.y - m_a.y;
    const float vz = m_c.z - m_a.z;
    const float x = uy * vz - uz * vy;
    const float y = uz * vx - ux * vz;
    const float z = ux * vy - uy * vx;
    const double lengthSquared =
            double(x) * double(x) + double(y) * double(y) + double(z) * double(z);
    if (qFuzzyIsNull(lengthSquared - 1.0f)) {
        m_n = {x, y, z};
    } else if (qFuzzyIsNull(lengthSquared)) {
        m_n = {};
    } else {
        const double length = std::sqrt(lengthSquared);
        m_n = {float(double(x) / length), float(double(y) / length), float(double(z) / length)};
    }
}

void STLReader::Facet::translate(float dx, float dy, float dz)
{
    m_a = {m_a.x + dx, m_a.y + dy, m_a.z + dz};
    m_b = {m_b.x + dx, m_b.y + dy, m_b.z + dz};
    m_c = {m_c.x + dx, m_c.y + dy, m_c.z + dz};
}

float STLReader::Facet::getArea() const
{
    const QVector3D a = toQVector(m_a);
    const QVector3D cross = QVector3D::crossProduct(toQVector(m_b) - a, toQVector(m_c) - a);
    return float(0.5 * std::sqrt(double(cross.lengthSquared())));
}

float STLReader::Facet::getVolume() const
{
    const QVector3D cross = QVector3D::crossProduct(toQVector(m_b), toQVector(m_c));
    return float(double(QVector3D::dotProduct(toQVector(m_a), cross)) / 6.0);
}

QString STLReader::Facet::printFacet() const
{
    return QStringLiteral("Facet {") + QStringLiteral("\n\tN) ") + m_n.printVertex()
            + QStringLiteral("  ") + QStringLiteral("\n\tA) ") + m_a.printVertex()
            + QStringLiteral("  ") + QStringLiteral("\n\tB) ") + m_b.printVertex()
            + QStringLiteral("  ") + QStringLiteral("\n\tC) ") + m_c.printVertex()
            + QStringLiteral("\n}\n");
}

STLReader::STLReader(const QString &path)
    : m_filePath(path)
{
    if (!QFile::exists(m_filePath))
        return;
    const int type = whichFileType();
    if (type == TYPE_UNREADABLE) {
        m_valid = false;
        return;
    }
    QString error;
    const bool parsed = type == TYPE_ASCII ? parseASCIIFile(error) : parseBinaryFile(error);
    if (parsed)
        normalizeAxes();
    // Coordinates near the float limit can overflow when the model is moved.
    const bool boundsFinite = std::all_of(std::begin(m_bounds), std::end(m_bounds),
                                          [](float bound) { return std::isfinite(bound); });
    if (!parsed || !boundsFinite) {
        m_valid = false;
        m_facets.clear();
        std::fill(std::begin(m_bounds), std::end(m_bounds), 0.0f);
    }
}

QString STLReader::getModelName() const
{
    return QFileInfo(m_filePath).baseName();
}

QVector<STLReader::Facet> STLReader::getFacets()
{
    if (!m_valid)
        m_facets.clear();
    return m_facets;
}

int STLReader::whichFileType() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return TYPE_UNREADABLE;
    const std::unique_ptr<QIODevice> decoder = unicodeDecoder(file);
    WordReader words(decoder ? *decoder : file, DETECTION_BLOCK_SIZE);
    std::string_view word;
    // Past the end of the file (or a word too long to be real) there is no "facet" to come.
    for (int i = 0; i < TYPE_DETECTION_WORDS && words.next(word); ++i) {
        if (isFacetKeyword(word))
            return TYPE_ASCII;
    }
    return TYPE_BINARY;
}

bool STLReader::parseASCIIFile(QString &error)
{
    error.clear();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = ASCII_PARSER + QStringLiteral(" ERRORE apertura file.") + file.errorString();
        return false;
    }
    const std::unique_ptr<QIODevice> decoder = unicodeDecoder(file);
    // Decoded text arrives in pieces of its own size: its words are measured at every piece.
    WordReader words(decoder ? *decoder : file, ASCII_BLOCK_SIZE, decoder ? 1 : WORD_CHECK_SPACING);
    std::string_view word;
    // Everything before the first word "facet" is the header line.
    do {
        if (!words.next(word)) {
            error = ASCII_PARSER
                    + (words.failed() ? QStringLiteral(" ERRORE lettura file.") + file.errorString()
                                      : QStringLiteral(" ERRORE parola facet non trovata"));
            return false;
        }
    } while (!isFacetKeyword(word));

    // Offsets in the file only mean something when its bytes are read as they are.
    const qint64 fileSize = decoder ? -1 : file.size();
    qint64 firstRecord = 0;
    words.nextWordOffset(firstRecord);
    SecondHalfReader secondHalf(file, fileSize, firstRecord);
    AsciiRun run;
    readAsciiRecords(words, file, fileSize, run, [&secondHalf](qint64 offset) {
        if (secondHalf.start() < 0 || offset < secondHalf.start())
            return true;
        if (offset == secondHalf.start())
            return false;
        secondHalf.cancel();
        return true;
    });
    if (run.stopped) {
        // The main reading arrived at the start of the second half: the records follow on.
        const AsciiRun &rest = secondHalf.finish();
        if (run.facets.size() > MAX_FACETS - rest.facets.size())
            run.error = QStringLiteral(" ERRORE troppi triangoli");
        else
            run.error = rest.error;
        if (run.error.isEmpty() && !rest.facets.isEmpty()) {
            widenBounds(run.bounds, rest.bounds);
            run.facets.append(rest.facets);
        }
    }
    if (!run.error.isEmpty()) {
        error = ASCII_PARSER + run.error;
        return false;
    }
    m_facets = std::move(run.facets);
    std::copy(std::begin(run.bounds), std::end(run.bounds), m_bounds);
    return true;
}

bool STLReader::parseBinaryFile(QString &error)
{
    error.clear();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE apertura file.") + file.errorString();
        return false;
    }
    char countBytes[4];
    if (!file.seek(80) || file.read(countBytes, 4) != 4) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE lettura numero di triangoli");
        return false;
    }
    // The header may promise more records than the file holds: read the whole ones present.
    const quint32 declaredCount = qFromLittleEndian<quint32>(countBytes);
    const qint64 presentCount =
            std::max<qint64>(0, (file.size() - BINARY_HEADER_SIZE) / BINARY_RECORD_SIZE);
    const qint64 recordCount = std::min<qint64>(declaredCount, presentCount);
    if (recordCount > MAX_FACETS) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE troppi triangoli");
        return false;
    }
    // Each range is decoded straight into its place in the list, so halves can run in parallel.
    m_facets.reserve(int(recordCount));
    faultInPages(m_facets.data(), m_facets.capacity());
    m_facets.resize(int(recordCount));
    Facet *facets = m_facets.data();
    QFile secondFile;
    const bool inParallel = recordCount >= PARALLEL_MIN_FACETS
            && std::thread::hardware_concurrency() >= 2 && openSameFile(file, secondFile);
    BinaryRange ranges[2];
    ranges[0].count = inParallel ? recordCount / 2 : recordCount;
    ranges[1].first = ranges[0].count;
    ranges[1].count = recordCount - ranges[0].count;
    if (inParallel) {
        std::thread helper(decodeBinaryRange, std::ref(secondFile), std::ref(ranges[1]),
                           facets + ranges[1].first);
        decodeBinaryRange(file, ranges[0], facets);
        helper.join();
    } else {
        decodeBinaryRange(file, ranges[0], facets);
    }

    // The ranges in file order, as a single pass would have met them.
    qint64 decodedCount = 0;
    for (const BinaryRange &range : ranges) {
        if (!range.error.isEmpty()) {
            error = BINARY_PARSER + range.error;
            return false;
        }
        if (range.decoded > 0 && decodedCount == 0)
            std::copy(std::begin(range.bounds), std::end(range.bounds), m_bounds);
        else if (range.decoded > 0)
            widenBounds(m_bounds, range.bounds);
        decodedCount += range.decoded;
        // The file got shorter while it was read.
        if (range.decoded < range.count)
            break;
    }
    m_facets.resize(int(decodedCount));
    return true;
}

void STLReader::normalizeAxes()
{
    const float centreX = (m_bounds[0] + m_bounds[1]) * 0.5f;
    const float centreY = (m_bounds[2] + m_bounds[3]) * 0.5f;
    const float bottom = m_bounds[4];
    m_bounds[0] -= centreX;
    m_bounds[1] -= centreX;
    m_bounds[2] -= centreY;
    m_bounds[3] -= centreY;
    m_bounds[5] -= bottom;
    m_bounds[4] = 0;
    // Each facet is moved and its normal recomputed on its own, so halves can run in parallel.
    // Moving a small batch before recomputing its normals lets the memory reads run ahead of
    // the slow square roots and divisions: about twice as fast as both steps facet by facet.
    Facet *facets = m_facets.data();
    inTwoHalves(m_facets.size(), [=](int, int begin, int end) {
        for (int batchBegin = begin; batchBegin < end; batchBegin += NORMALS_BATCH_SIZE) {
            const int batchEnd = std::min(end, batchBegin + NORMALS_BATCH_SIZE);
            for (int i = batchBegin; i < batchEnd; ++i)
                facets[i].translate(-centreX, -centreY, -bottom);
            for (int i = batchBegin; i < batchEnd; ++i)
                facets[i].recalculateNormals();
        }
    });
}
