#pragma once
// Streaming CBOR reader of the decoded objects.
//
// One pass over the answer body, no intermediate document: map keys are read into a
// buffer allocated once per reader and matched by a 32-bit FNV-1a hash plus one
// confirming comparison; short strings (and every skipped string) go through the same
// buffer, so that decoding creates a QString only for text members. A text that repeats
// in the answer (genre and age names, stream types, image hosts, currencies) is decoded
// once: its later occurrences share that QString.

#include "model/cborkey.h"

#include <QByteArray>
#include <QCborStreamReader>
#include <QColor>
#include <QString>

#include <memory>
#include <optional>

namespace tq {

class CborReader : public QCborStreamReader
{
public:
    static constexpr qsizetype KeyBufferSize = 1024;
    static constexpr qsizetype MaxReserve = 4096; // elements reserved ahead for one array
    // Texts remembered for sharing: a few per set, so that two texts of one answer that
    // fall into the same set do not keep pushing each other out.
    static constexpr qsizetype SharedTextSets = 128;
    static constexpr qsizetype SharedTextWays = 2;
    static constexpr qsizetype SharedTextMax = 256;   // longer texts are not looked up

    explicit CborReader(const QByteArray& body);
    ~CborReader();
    CborReader(const CborReader&) = delete;
    CborReader& operator=(const CborReader&) = delete;

    // Skips the current item whole (nested containers included) and returns the stream
    // error code, 0 when none. Strings are drained through the key buffer.
    int next();
    // Passes any tags before the current item.
    void skipTags();
    int errorCode() { return int(lastError().c); } // lastError() is not const in Qt 6.4
    bool hasError() { return lastError() != QCborError::NoError; }

    // Reads the current item as a map key into the key buffer and hashes it. A key that
    // is not a string is skipped and leaves an empty key; a key longer than the buffer is
    // cut and then matches no field. False when the stream reported an error.
    bool readKey();
    const char* key() const { return m_key.get(); }
    qsizetype keyLength() const { return m_keyLength; }
    quint32 keyHash() const { return m_keyHash; }
    // True when the current key is exactly `text` (hash first, then the bytes).
    bool keyIs(const char* text, qsizetype length, quint32 hash) const
    {
        if (hash != m_keyHash || length != m_keyLength || m_keyCut)
            return false;
        for (qsizetype i = 0; i < length; ++i) { // keys are short: no call to memcmp
            if (text[i] != m_key[i])
                return false;
        }
        return true;
    }
    bool keyIs(const char* text) const
    {
        const qsizetype length = constLength(text);
        return keyIs(text, length, cborKeyHash(text, length));
    }
    // Reads the current item as a key of a map of texts: a text or byte string becomes
    // `key` (shared like readText), any other item is skipped and reads as an empty key.
    // False when the key could not be read (the stream reported an error).
    bool readTextKey(QString& key);
    // The result of the last string-chunk read (status -1 before the first).
    StringResult<qsizetype> lastChunk() const { return m_lastChunk; }

    // Value readers: each consumes the current item. An item of another type is skipped
    // and gives the stated default.
    bool readText(QString& out);                 // false: not a text string, `out` unchanged;
                                                 // equal texts of one answer share their data
    qint64 readInt64();                          // -1 when not an integer
    int readInt32() { return int(readInt64()); } // truncated to 32 bits
    std::optional<qint64> readOptionalInt64();   // absent when not an integer
    bool readBool();                             // false when not a boolean
    std::optional<bool> readOptionalBool();      // absent when not a boolean
    double readDouble();                         // 0.0 unless a 64-bit double
    QColor readColor();                          // invalid unless a text string
    // Hands the UTF-8 bytes of a text string to `visit` (valid only during the call), or
    // null when the item is not text (then skipped). Short texts never leave the buffer.
    template<class Visit>
    auto readUtf8(Visit&& visit);

    // Enters an array, reserving room in `list` when the length is announced (never more
    // than the bytes left could hold, nor MaxReserve). False when the item is not an array
    // (then skipped).
    template<class List>
    bool enterArray(List& list);
    // Leaves the container entered last unless the stream reported an error.
    void leave();

private:
    // Reads the current text or byte string whole: into the key buffer when it fits (the
    // key is no longer needed once its value is read), else into m_long. Null on error.
    const char* readWholeString(qsizetype* length);
    // The text of `bytes` (a string just read), shared with an earlier equal one when it
    // is remembered.
    QString sharedText(const char* bytes, qsizetype length);
    void drainString();
    bool failKey(); // a stream error while reading the key: leaves an empty key
    void advance() { QCborStreamReader::next(); }
    qsizetype bytesLeft() const;
    // The length of the current string when its header announces a single definite chunk
    // (read from the body itself: one call into the reader less per string); else -1.
    qsizetype definiteStringLength() const;

    std::unique_ptr<char[]> m_key;
    qsizetype m_keyLength = 0;
    quint32 m_keyHash = 0;
    bool m_keyCut = false;
    StringResult<qsizetype> m_lastChunk{0, QCborStreamReader::StringResultCode(-1)};
    QByteArray m_long;
    const QByteArray m_body; // shares the reader's copy
    // Texts already decoded, by a hash of their UTF-8 bytes (in sets; the least recently
    // used text of a set is replaced). A match is confirmed on the text itself.
    struct SharedText
    {
        qsizetype length = 0; // of the UTF-8 bytes it was made of
        QString text;
    };
    struct alignas(64) SharedTextSet // one cache line on the usual targets
    {
        SharedText ways[SharedTextWays];
    };
    std::unique_ptr<SharedTextSet[]> m_texts;
};

template<class Visit>
auto CborReader::readUtf8(Visit&& visit)
{
    if (!isString()) {
        next();
        return visit(static_cast<const char*>(nullptr), qsizetype(0));
    }
    qsizetype length = 0;
    const char* bytes = readWholeString(&length);
    return visit(bytes, length);
}

template<class List>
bool CborReader::enterArray(List& list)
{
    if (!isArray()) {
        next();
        return false;
    }
    // A hostile length must not turn into a huge allocation: every element needs a byte,
    // and beyond MaxReserve the list grows as elements really arrive.
    if (isLengthKnown()) {
        const quint64 bound = quint64(qMin<qsizetype>(bytesLeft(), MaxReserve));
        list.reserve(list.size() + qsizetype(qMin<quint64>(length(), bound)));
    }
    return enterContainer();
}

// Walks the map at the reader's position (tags before it skipped), handing each key to
// `field` (which returns the stream error code). 0 on success, the stream error code, or
// the item type when the current item is not a container (left unconsumed).
template<class Field>
int walkCborMap(CborReader& reader, Field&& field)
{
    reader.skipTags();
    if (!reader.isContainer())
        return int(reader.type());
    if (!reader.enterContainer())
        return reader.errorCode();
    // readKey and the field report errors themselves: no extra error query per key.
    while (reader.hasNext()) {
        if (!reader.readKey() || field(reader) != 0)
            break;
    }
    if (reader.hasError())
        return reader.errorCode();
    reader.leaveContainer();
    return reader.errorCode();
}

} // namespace tq
