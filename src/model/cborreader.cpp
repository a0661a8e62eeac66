#include "model/cborreader_p.h"

#include "model/color_p.h"

#include <QSysInfo>

#include <cstring>

namespace tq {

CborReader::CborReader(const QByteArray& body)
    : QCborStreamReader(body), m_key(new char[KeyBufferSize]), m_body(body)
{
    m_key[0] = '\0';
}

CborReader::~CborReader() = default;

qsizetype CborReader::bytesLeft() const
{
    return qMax<qsizetype>(0, m_body.size() - qsizetype(currentOffset()));
}

qsizetype CborReader::definiteStringLength() const
{
    const qsizetype offset = qsizetype(currentOffset());
    const qsizetype size = m_body.size();
    if (offset < 0 || offset >= size)
        return -1;
    const auto* data = reinterpret_cast<const uchar*>(m_body.constData()) + offset;
    const uint additional = data[0] & 0x1f;
    if (additional < 24)
        return additional;
    const int extra = additional == 24 ? 1 : additional == 25 ? 2 : additional == 26 ? 4 : 0;
    if (extra == 0 || offset + extra >= size)
        return -1; // 8-byte lengths and indefinite strings take the general path
    quint32 length = 0;
    for (int i = 1; i <= extra; ++i)
        length = (length << 8) | data[i];
    return qsizetype(length);
}

bool CborReader::readKey()
{
    m_keyLength = 0;
    m_keyCut = false;
    if (isString() || isByteArray()) {
        m_lastChunk = {0, QCborStreamReader::Ok};
        while (m_lastChunk.status == QCborStreamReader::Ok) {
            const qsizetype room = KeyBufferSize - 1 - m_keyLength;
            m_lastChunk = readStringChunk(m_key.get() + m_keyLength, room);
            // Qt copies what fits of a larger chunk, drops the rest and still reports
            // success: a full buffer may hide a cut key, which then matches nothing.
            if (m_lastChunk.status == QCborStreamReader::Ok) {
                m_keyLength += m_lastChunk.data;
                m_keyCut = m_keyCut || m_lastChunk.data == room;
            }
        }
        if (m_lastChunk.status == QCborStreamReader::Error)
            return failKey();
    } else if (next() != 0) { // not a usable key: its value will find no field and be skipped
        return failKey();
    }
    m_key[m_keyLength] = '\0';
    m_keyHash = cborKeyHash(m_key.get(), m_keyLength);
    return true;
}

bool CborReader::failKey()
{
    m_keyLength = 0;
    m_keyHash = 0;
    m_key[0] = '\0';
    return false;
}

void CborReader::skipTags()
{
    while (isTag() && !hasError()) // most items carry no tag: no error query for them
        advance();
}

void CborReader::drainString()
{
    do {
        m_lastChunk = readStringChunk(m_key.get(), KeyBufferSize);
    } while (m_lastChunk.status == QCborStreamReader::Ok);
}

int CborReader::next()
{
    // Iterative, so that deeply nested hostile input cannot exhaust the stack.
    int depth = 0;
    while (!hasError()) {
        if (depth > 0 && !hasNext()) {
            leaveContainer();
            if (--depth == 0)
                break;
            continue;
        }
        if (isTag()) {
            advance(); // passes the tag only; the tagged item follows
            continue;
        }
        if (isContainer()) {
            if (!enterContainer())
                break;
            ++depth;
            continue;
        }
        if (isString() || isByteArray())
            drainString(); // QCborStreamReader::next() would build a QString per chunk
        else if (isInvalid())
            break;
        else
            advance();
        if (depth == 0)
            break;
    }
    return errorCode();
}

const char* CborReader::readWholeString(qsizetype* length)
{
    // The usual case: one definite chunk that fits the buffer, read in one go.
    const qsizetype definite = definiteStringLength();
    if (definite >= 0 && definite <= KeyBufferSize) {
        m_lastChunk = readStringChunk(m_key.get(), KeyBufferSize);
        if (m_lastChunk.status != QCborStreamReader::Ok || m_lastChunk.data != definite)
            return nullptr;
        *length = m_lastChunk.data;
        m_lastChunk = readStringChunk(m_key.get(), 0); // the end of the string
        if (m_lastChunk.status != QCborStreamReader::EndOfString)
            return nullptr;
        return m_key.get();
    }

    qsizetype used = 0;
    bool spilled = false;
    for (;;) {
        const qsizetype chunk = currentStringChunkSize();
        if (chunk < 0)
            break;
        char* target;
        qsizetype room;
        if (!spilled && chunk <= KeyBufferSize - used) {
            target = m_key.get() + used;
            room = KeyBufferSize - used;
        } else {
            // Allocate no more than the body could hold; a lying length is left to Qt,
            // which reports the missing data.
            if (chunk > bytesLeft()) {
                drainString();
                break;
            }
            if (!spilled) {
                m_long = QByteArray(m_key.get(), used);
                spilled = true;
            }
            used = m_long.size();
            m_long.resize(used + chunk);
            target = m_long.data() + used;
            room = chunk;
        }
        m_lastChunk = readStringChunk(target, room);
        if (m_lastChunk.status != QCborStreamReader::Ok)
            break;
        used += m_lastChunk.data;
        if (spilled)
            m_long.resize(used);
    }
    if (m_lastChunk.status != QCborStreamReader::EndOfString)
        return nullptr;
    *length = used;
    return spilled ? m_long.constData() : m_key.get();
}

namespace {
// A fast hash of a text's bytes, eight at a time: it only picks a set, a match is
// confirmed on the text itself. The tail is read with whole loads (overlapping the
// last word, or two halves of a short text), never byte by byte through the stack.
quint32 textHash(const char* bytes, qsizetype length)
{
    const auto load = [](const char* at, size_t size) {
        quint64 word = 0;
        std::memcpy(&word, at, size);
        return word;
    };
    quint64 hash = quint64(length) * 0x9E3779B97F4A7C15ull;
    quint64 tail;
    if (length >= 8) {
        const char* const last = bytes + length - 8;
        for (; bytes < last; bytes += 8) {
            hash = (hash ^ load(bytes, 8)) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 32;
        }
        tail = load(last, 8);
    } else if (length >= 4) {
        tail = load(bytes, 4) | load(bytes + length - 4, 4) << 32;
    } else if (length > 0) {
        tail = quint64(uchar(bytes[0])) | quint64(uchar(bytes[length / 2])) << 8 | quint64(uchar(bytes[length - 1])) << 16;
    } else {
        tail = 0;
    }
    hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return quint32(hash ^ (hash >> 29));
}

// Four ASCII bytes (the low 32 bits) spread to four 16-bit lanes.
constexpr quint64 widen(quint64 bytes)
{
    bytes = (bytes | bytes << 16) & 0x0000FFFF0000FFFFull;
    return (bytes | bytes << 8) & 0x00FF00FF00FF00FFull;
}

// Eight bytes against eight units: equal, and all of them ASCII.
bool sameAsciiBlock(const char16_t* units, const uchar* bytes)
{
    quint64 eight;
    std::memcpy(&eight, bytes, 8);
    if (eight & 0x8080808080808080ull)
        return false;
    quint64 first, second; // four units each, as they lie in memory
    std::memcpy(&first, units, 8);
    std::memcpy(&second, units + 4, 8);
    const bool little = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    return first == widen(little ? eight & 0xFFFFFFFFu : eight >> 32)
           && second == widen(little ? eight >> 32 : eight & 0xFFFFFFFFu);
}

// A text of one unit per byte: the same ASCII, in whole words where it is long enough
// (the last word overlapping the one before it).
bool sameAscii(const char16_t* units, const uchar* bytes, qsizetype length)
{
    if (length < 8) {
        for (qsizetype i = 0; i < length; ++i) {
            if (bytes[i] >= 0x80 || units[i] != bytes[i])
                return false;
        }
        return true;
    }
    for (qsizetype at = 0;; at += 8) {
        at = qMin(at, length - 8);
        if (!sameAsciiBlock(units + at, bytes + at))
            return false;
        if (at == length - 8)
            return true;
    }
}

// True when `text` is exactly what QString::fromUtf8() makes of `bytes`: `text` encoded
// as UTF-8 equals them. (An encoder's output is valid UTF-8 and decodes back to `text`;
// bytes that are not valid UTF-8 never match, so a replacement character is never shared
// for bytes it did not come from.)
bool sameText(QStringView text, const char* bytes, qsizetype length)
{
    const auto* in = reinterpret_cast<const uchar*>(bytes);
    if (text.size() == length) // as many units as bytes: only ASCII can match
        return sameAscii(text.utf16(), in, length);
    const char16_t* unit = text.utf16();
    const char16_t* const end = unit + text.size();
    const uchar* const inEnd = in + length;
    for (; unit < end; ++unit) {
        const uint c = *unit;
        uchar encoded[4];
        int size;
        if (c < 0x80) {
            encoded[0] = uchar(c);
            size = 1;
        } else if (c < 0x800) {
            encoded[0] = uchar(0xC0 | (c >> 6));
            encoded[1] = uchar(0x80 | (c & 0x3F));
            size = 2;
        } else if (c < 0xD800 || c > 0xDFFF) {
            encoded[0] = uchar(0xE0 | (c >> 12));
            encoded[1] = uchar(0x80 | ((c >> 6) & 0x3F));
            encoded[2] = uchar(0x80 | (c & 0x3F));
            size = 3;
        } else {
            if (c > 0xDBFF || end - unit < 2 || unit[1] < 0xDC00 || unit[1] > 0xDFFF)
                return false; // a lone surrogate has no UTF-8 form
            const uint point = 0x10000 + ((c - 0xD800) << 10) + (unit[1] - 0xDC00);
            ++unit;
            encoded[0] = uchar(0xF0 | (point >> 18));
            encoded[1] = uchar(0x80 | ((point >> 12) & 0x3F));
            encoded[2] = uchar(0x80 | ((point >> 6) & 0x3F));
            encoded[3] = uchar(0x80 | (point & 0x3F));
            size = 4;
        }
        if (inEnd - in < size)
            return false;
        for (int i = 0; i < size; ++i) {
            if (in[i] != encoded[i])
                return false;
        }
        in += size;
    }
    return in == inEnd;
}
} // namespace

QString CborReader::sharedText(const char* bytes, qsizetype length)
{
    if (length == 0 || length > SharedTextMax)
        return QString::fromUtf8(bytes, length);
    if (!m_texts)
        m_texts.reset(new SharedTextSet[SharedTextSets]);
    SharedText* const set = m_texts[textHash(bytes, length) % SharedTextSets].ways;
    for (qsizetype way = 0; way < SharedTextWays; ++way) {
        if (set[way].length != length || !sameText(set[way].text, bytes, length))
            continue;
        // The set keeps its texts in order of use: the one used longest ago goes last.
        for (; way > 0; --way)
            std::swap(set[way], set[way - 1]);
        return set[0].text;
    }
    for (qsizetype way = SharedTextWays - 1; way > 0; --way)
        std::swap(set[way], set[way - 1]);
    set[0].length = length;
    set[0].text = QString::fromUtf8(bytes, length);
    return set[0].text;
}

bool CborReader::readText(QString& out)
{
    return readUtf8([this, &out](const char* bytes, qsizetype length) {
        if (!bytes)
            return false;
        out = sharedText(bytes, length);
        return true;
    });
}

bool CborReader::readTextKey(QString& key)
{
    if (!isString() && !isByteArray()) {
        key.clear();
        return next() == 0;
    }
    qsizetype length = 0;
    const char* bytes = readWholeString(&length);
    if (!bytes)
        return false;
    key = sharedText(bytes, length);
    return true;
}

qint64 CborReader::readInt64()
{
    return readOptionalInt64().value_or(-1);
}

std::optional<qint64> CborReader::readOptionalInt64()
{
    std::optional<qint64> value;
    if (isUnsignedInteger()) {
        value = qint64(toUnsignedInteger());
    } else if (isNegativeInteger()) {
        // The item carries n for the value -1-n; ~n computes that without overflow.
        const quint64 n = quint64(toNegativeInteger()) - 1;
        value = qint64(~n);
    } else {
        next();
        return value;
    }
    advance();
    return value;
}

bool CborReader::readBool()
{
    return readOptionalBool().value_or(false);
}

std::optional<bool> CborReader::readOptionalBool()
{
    std::optional<bool> value;
    if (isBool()) {
        value = toBool();
        advance();
    } else {
        next();
    }
    return value;
}

double CborReader::readDouble()
{
    if (!isDouble()) {
        next();
        return 0.0;
    }
    const double value = toDouble();
    advance();
    return value;
}

QColor CborReader::readColor()
{
    return readUtf8([](const char* bytes, qsizetype length) {
        return bytes ? colorFromHexString(bytes, length) : QColor();
    });
}

void CborReader::leave()
{
    if (!hasError())
        leaveContainer();
}

} // namespace tq
