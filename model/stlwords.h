#pragma once

#include <array>
#include <memory>
#include <string_view>

#include <QByteArray>
#include <QtGlobal>

class QFile;
class QIODevice;
struct STLStruct;

// Reading the text of an ASCII STL file word by word over its raw bytes, with the results a
// QTextStream on the file opened in text mode would give, only much faster.
namespace StlWords {

enum class RecordRead {
    Complete,
    Truncated,
    Corrupt
};

// The white-space words of a text, read in large blocks, exactly as a QTextStream reads them:
// UTF-8, white space as QChar::isSpace sees it, a UTF-8 byte order mark dropped, and carriage
// returns dropped wherever they stand (so "ab\rcd" is the single word "abcd").
class WordReader
{
public:
    // Reads of blockSize bytes; overlong words are looked for before each read that starts at
    // a multiple of checkSpacing, so the same words are refused whatever the block size.
    WordReader(QIODevice &device, int blockSize, int checkSpacing = 1);

    // The next word, valid until the following call; false when only white space remains.
    bool next(std::string_view &word);
    // Moves to the next word and gives its offset in the device's data; false when only white
    // space remains.
    bool nextWordOffset(qint64 &offset);
    // Reads the words of one ASCII facet after its first word ("facet"): keywords are passed
    // over unchecked, only their positions count. A facet that the end of the text cuts short
    // counts as truncated even when its last word is a broken number.
    RecordRead nextRecord(STLStruct &record);
    // A read error, or a word too long to be real.
    bool failed() const { return m_failed; }

private:
    enum class Number {
        Read,
        Refused,
        End
    };
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
    // Passes over the next word; false when only white space remains.
    bool skip();
    // The next word read as QTextStream >> float reads it. Words the stream would split or
    // reject ("1.e5", "infinity", "1e", "abc", "1e999") are refused.
    Number nextNumber(float &value);
    bool toWordStart();
    bool toWordStartSlowly();
    const char *wordEnd(bool &hasCarriageReturn) const;
    void takeWord(std::string_view &word);
    bool fill();

    static const ByteClasses BYTE_CLASSES;

    QIODevice &m_device;
    const int m_blockSize;
    const int m_checkSpacing;
    // The offset in the device's data of the first byte of m_buffer.
    qint64 m_bufferOffset = 0;
    QByteArray m_buffer;
    // The next byte to look at, in m_buffer.
    const char *m_cursor;
    // The bytes before m_limit end with a separator (one is appended at the end of the data), so
    // a word started before it ends before it; the byte at m_limit is never a separator, so a
    // run of white space stops there at the latest.
    const char *m_limit;
    bool m_deviceDone = false;
    bool m_startChecked = false;
    bool m_failed = false;
    QByteArray m_joinedWord;
};

// The word "facet" in any case.
bool isFacetKeyword(std::string_view word);

// A device giving as UTF-8 the text of a file that starts with a UTF-16 or UTF-32 byte order mark
// (a text stream switches to those on its own), decoded block by block; nullptr when the file's
// bytes are read as they are.
std::unique_ptr<QIODevice> unicodeDecoder(QFile &file);

} // namespace StlWords
