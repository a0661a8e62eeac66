#include "model/cborreader_p.h"

#include "model/color_p.h"

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

qsizetype CborReader::definiteStringLength(qsizetype* header) const
{
    const qsizetype offset = qsizetype(currentOffset());
    const qsizetype size = m_body.size();
    if (offset < 0 || offset >= size)
        return -1;
    const auto* data = reinterpret_cast<const uchar*>(m_body.constData()) + offset;
    const uint additional = data[0] & 0x1f;
    *header = 1;
    if (additional < 24)
        return additional;
    const int extra = additional == 24 ? 1 : additional == 25 ? 2 : additional == 26 ? 4 : 0;
    if (extra == 0 || offset + extra >= size)
        return -1; // 8-byte lengths and indefinite strings take the general path
    quint32 length = 0;
    for (int i = 1; i <= extra; ++i)
        length = (length << 8) | data[i];
    *header = 1 + extra;
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
    m_stringAt = -1;
    // The usual case: one definite chunk that fits the buffer, read in one go.
    qsizetype header = 0;
    const qsizetype definite = definiteStringLength(&header);
    if (definite >= 0 && definite <= KeyBufferSize) {
        const qsizetype at = qsizetype(currentOffset()) + header;
        m_lastChunk = readStringChunk(m_key.get(), KeyBufferSize);
        if (m_lastChunk.status != QCborStreamReader::Ok || m_lastChunk.data != definite)
            return nullptr;
        *length = m_lastChunk.data;
        m_lastChunk = readStringChunk(m_key.get(), 0); // the end of the string
        if (m_lastChunk.status != QCborStreamReader::EndOfString)
            return nullptr;
        m_stringAt = at;
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
// A fast hash of a text's bytes, eight at a time: it only picks a slot, a match is
// confirmed on the bytes themselves.
quint32 textHash(const char* bytes, qsizetype length)
{
    quint64 hash = quint64(length) * 0x9E3779B97F4A7C15ull;
    while (length >= 8) {
        quint64 word;
        std::memcpy(&word, bytes, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
        bytes += 8;
        length -= 8;
    }
    quint64 tail = 0;
    std::memcpy(&tail, bytes, size_t(length));
    hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return quint32(hash ^ (hash >> 29));
}

// Texts are short: eight bytes at a time, without a call into the C library.
bool sameBytes(const char* a, const char* b, qsizetype length)
{
    for (; length >= 8; a += 8, b += 8, length -= 8) {
        quint64 x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y)
            return false;
    }
    for (; length > 0; ++a, ++b, --length) {
        if (*a != *b)
            return false;
    }
    return true;
}
} // namespace

QString CborReader::sharedText(const char* bytes, qsizetype length)
{
    if (m_stringAt < 0 || length == 0 || length > SharedTextMax)
        return QString::fromUtf8(bytes, length);
    if (!m_texts)
        m_texts.reset(new SharedText[SharedTextSlots]);
    SharedText& slot = m_texts[textHash(bytes, length) % SharedTextSlots];
    const char* body = m_body.constData();
    // Only where the body holds these very bytes is a text remembered, or its slot moved:
    // a match is then always confirmed against the bytes the text was made of.
    const bool inBody = m_stringAt + length <= m_body.size() && sameBytes(body + m_stringAt, bytes, length);
    if (slot.length == length && sameBytes(body + slot.at, bytes, length)) {
        if (inBody)
            slot.at = m_stringAt; // the latest copy: still in cache for the next comparison
        return slot.text;
    }
    QString text = QString::fromUtf8(bytes, length);
    if (inBody) {
        slot.at = m_stringAt;
        slot.length = length;
        slot.text = text;
    }
    return text;
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
