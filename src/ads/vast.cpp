#define ADS_DEFINE_WIRE_STRINGS // the dictionaries of vast.h are built here
#include "ads/vast.h"

#include "platform/logging.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <QVariant>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace ad {

namespace {

// Limits that keep the XML reader linear in the size of the answer. Qt's reader compares
// each attribute of a tag with the others (before the tag is reported), each prefixed name
// with every namespace in scope, and each start tag with every attribute default of a DTD,
// so hostile answers could make it take minutes. No real VAST answer comes near these.
constexpr int maxDepth = 64;
constexpr int maxAttributesPerTag = 64;
constexpr int maxNamespacesInScope = 256;
constexpr qsizetype maxTagLength = 8192; // characters of a start tag or DOCTYPE still unread
constexpr qsizetype feedChunk = 2048;    // characters handed to the reader at a time

// Applies the limits token by token inside the one reading pass. When it owns the text, it
// hands the reader a chunk at a time and stops before a start tag grows past the length
// limit: the reader compares a tag's attributes only once the tag is complete, too late.
class Guard
{
public:
    Guard(QXmlStreamReader& reader, QString text = QString())
        : m_reader(reader), m_text(std::move(text)), m_outer(s_active)
    {
        s_active = this;
    }
    ~Guard() { s_active = m_outer; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    static Guard* of(const QXmlStreamReader& reader)
    {
        for (Guard* g = s_active; g; g = g->m_outer) {
            if (&g->m_reader == &reader)
                return g;
        }
        return nullptr;
    }

    // The next token; more text is given to the reader whenever it runs out.
    QXmlStreamReader::TokenType next()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_reader.readNext();
            if (token == QXmlStreamReader::Invalid && m_reader.error() == QXmlStreamReader::PrematureEndOfDocumentError
                && feed())
                continue;
            check(token);
            return m_reader.hasError() ? QXmlStreamReader::Invalid : token;
        }
    }

private:
    void refuse(const QString& why) { m_reader.raiseError(why); }

    void check(QXmlStreamReader::TokenType token)
    {
        switch (token) {
        case QXmlStreamReader::StartDocument:
            // Without a declaration the reader reports the document's start after a look ahead.
            m_boundary = m_reader.documentVersion().isEmpty() ? 0 : qsizetype(m_reader.characterOffset());
            return;
        case QXmlStreamReader::DTD:
            // Entities (and their expansion) and attribute defaults are refused; a bare
            // DOCTYPE, or one declaring elements and notations only, is read. Qt takes a
            // DOCTYPE anywhere; XML only before the root element.
            if (m_rootSeen)
                refuse(QStringLiteral("a DOCTYPE after the root element"));
            else if (!m_reader.entityDeclarations().isEmpty() || m_reader.text().contains(QLatin1String("<!ATTLIST")))
                refuse(QStringLiteral("a DTD declaring entities or attribute defaults is not accepted"));
            break;
        case QXmlStreamReader::StartElement: {
            m_rootSeen = true;
            const int declared = int(m_reader.namespaceDeclarations().size());
            m_namespaces.append(declared);
            m_namespacesInScope += declared;
            if (m_namespaces.size() > maxDepth)
                refuse(QStringLiteral("elements nested too deep"));
            else if (m_reader.attributes().size() > maxAttributesPerTag)
                refuse(QStringLiteral("more than %1 attributes in a tag").arg(maxAttributesPerTag));
            else if (m_namespacesInScope > maxNamespacesInScope)
                refuse(QStringLiteral("more than %1 namespace declarations in scope").arg(maxNamespacesInScope));
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!m_namespaces.isEmpty()) {
                m_namespacesInScope -= m_namespaces.last();
                m_namespaces.removeLast();
            }
            break;
        default:
            break;
        }
        m_boundary = qsizetype(m_reader.characterOffset());
    }

    // Whether the token the reader is in the middle of is a start tag or a DOCTYPE. The
    // reader reports a token's end after it, or one character later when it had to see the
    // next '<' (text); white space between tokens is no token.
    bool inTag() const
    {
        const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
        qsizetype i = std::min(m_boundary, m_fed);
        if (i > 0 && m_text.at(i - 1) == u'<')
            --i;
        while (i < m_fed && blank(m_text.at(i)))
            ++i;
        if (i + 1 >= m_fed || m_text.at(i) != u'<')
            return false;
        const QChar second = m_text.at(i + 1);
        if (second == u'!')
            return QStringView(m_text).sliced(i).startsWith(u"<!DOCTYPE");
        return second != u'?' && second != u'/';
    }

    bool feed()
    {
        if (m_fed >= m_text.size())
            return false;
        if (m_fed - m_boundary > maxTagLength && inTag()) {
            refuse(QStringLiteral("a tag longer than %1 characters").arg(maxTagLength));
            return false;
        }
        qsizetype size = std::min(feedChunk, m_text.size() - m_fed);
        if (m_fed + size < m_text.size() && m_text.at(m_fed + size - 1).isHighSurrogate())
            ++size; // never split a character
        m_reader.addData(m_text.mid(m_fed, size));
        m_fed += size;
        return true;
    }

    static thread_local Guard* s_active;

    QXmlStreamReader& m_reader;
    const QString m_text; // given to the reader in chunks; empty when the reader has its data
    Guard* const m_outer;
    qsizetype m_fed = 0;
    qsizetype m_boundary = 0; // where the reader's last token ended
    QVarLengthArray<int, maxDepth + 1> m_namespaces; // declared by each open element
    int m_namespacesInScope = 0;
    bool m_rootSeen = false;
};

thread_local Guard* Guard::s_active = nullptr;

// Every token of the reading passes here.
QXmlStreamReader::TokenType next(QXmlStreamReader& reader)
{
    if (Guard* guard = Guard::of(reader))
        return guard->next();
    return reader.readNext();
}

// The next child start element (true), or false at the current element's end or an error.
bool nextChild(QXmlStreamReader& reader)
{
    for (;;) {
        switch (next(reader)) {
        case QXmlStreamReader::StartElement: return true;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid: return false;
        default: break;
        }
    }
}

// Skips the current element whole.
void skipElement(QXmlStreamReader& reader)
{
    for (int depth = 1; depth > 0;) {
        switch (next(reader)) {
        case QXmlStreamReader::StartElement: ++depth; break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid: return;
        default: break;
        }
    }
}

// The loop of every level: each child start element goes to `handle`, which reads it to
// its end tag and answers true, or answers false to have it skipped whole. Ends on the
// current element's end tag or on a reader error.
template<class Handle>
void readChildren(QXmlStreamReader& reader, Handle&& handle)
{
    while (nextChild(reader)) {
        if (!handle(reader.name()))
            skipElement(reader);
    }
}

// The element's own text, white space simplified; child elements are skipped. Empty
// when the reader fails inside the element: a cut-off address is no address.
QString elementText(QXmlStreamReader& reader)
{
    QString text;
    for (;;) {
        switch (next(reader)) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            text += reader.text();
            break;
        case QXmlStreamReader::StartElement:
            skipElement(reader);
            break;
        case QXmlStreamReader::EndElement:
            return std::move(text).simplified();
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid:
            return QString();
        default:
            break;
        }
    }
}

void appendText(QXmlStreamReader& reader, QStringList& list)
{
    QString text = elementText(reader);
    if (!text.isEmpty())
        list.append(std::move(text));
}

QString simplifiedAttribute(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    return attributes.value(name).toString().simplified();
}

qint64 decimalAttribute(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    bool ok = false;
    const qint64 value = attributes.value(name).toLongLong(&ok, 10);
    return ok ? value : 0;
}

bool isKept(const Creative&) { return true; }
template<class T>
bool isKept(const T& item) { return item.isValid(); }

// Children named `name` read into `list` (invalid ones dropped); other children skipped.
template<class T>
void readList(QXmlStreamReader& reader, QStringView name, QList<T>& list)
{
    readChildren(reader, [&](QStringView child) {
        if (child != name)
            return false;
        T item;
        item.fromXml(reader);
        if (isKept(item))
            list.append(std::move(item));
        return true;
    });
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

void TrackingEvent::fromXml(QXmlStreamReader& reader)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    if (attributes.hasAttribute(QLatin1String("event")))
        event = eventTypeDictionary().value(simplifiedAttribute(attributes, QLatin1String("event")));
    url = elementText(reader);
}

void MediaFile::fromXml(QXmlStreamReader& reader)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    if (attributes.hasAttribute(QLatin1String("type")))
        type = simplifiedAttribute(attributes, QLatin1String("type"));
    bitrate = decimalAttribute(attributes, QLatin1String("bitrate"));
    width = decimalAttribute(attributes, QLatin1String("width"));
    height = decimalAttribute(attributes, QLatin1String("height"));
    url = elementText(reader);
}

qint64 Creative::stringToMilliseconds(QStringView text)
{
    text = text.trimmed();
    const qsizetype size = text.size();
    qsizetype i = 0;
    int parts[3] = {0, 0, 0}; // hours (one or two digits), minutes, seconds (two digits)
    for (int p = 0; p < 3; ++p) {
        if (p > 0) {
            if (i >= size || text[i] != u':')
                return 0;
            ++i;
        }
        const qsizetype start = i;
        while (i < size && i - start < 2 && isDigit(text[i]))
            parts[p] = parts[p] * 10 + (text[i++].unicode() - u'0');
        if (i == start || (p > 0 && i - start != 2))
            return 0;
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return 0;
    qint64 ms = ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000;
    if (i < size && text[i] == u'.') {
        const qsizetype start = ++i;
        for (int scale = 100; i < size && isDigit(text[i]); ++i, scale /= 10)
            ms += (text[i].unicode() - u'0') * scale; // digits past milliseconds add 0
        if (i == start)
            return 0;
    }
    return i == size ? ms : 0;
}

void Creative::fromXml(QXmlStreamReader& reader)
{
    const QString idText = simplifiedAttribute(reader.attributes(), QLatin1String("id"));
    if (!idText.isEmpty())
        id = idText;
    readChildren(reader, [this, &reader](QStringView name) {
        if (name != u"Linear")
            return false; // companion and non-linear ads
        const QString offset = simplifiedAttribute(reader.attributes(), QLatin1String("skipoffset"));
        if (!offset.isEmpty())
            skipOffset = stringToMilliseconds(offset);
        readChildren(reader, [this, &reader](QStringView child) {
            if (child == u"Duration")
                duration = stringToMilliseconds(elementText(reader));
            else if (child == u"MediaFiles")
                readList(reader, u"MediaFile", mediaFiles);
            else if (child == u"TrackingEvents")
                readList(reader, u"Tracking", trackingEvents);
            else
                return false;
            return true;
        });
        return true;
    });
}

void AdTune::fromXml(QXmlStreamReader& reader)
{
    const QJsonObject json = QJsonDocument::fromJson(elementText(reader).toUtf8()).object();
    show = json.value(QLatin1String("show")).toInt() != 0;
    token = json.value(QLatin1String("token")).toString();
    advertiserInfo = json.value(QLatin1String("advertiserInfo")).toString();
}

void Ad::fromXml(QXmlStreamReader& reader)
{
    readChildren(reader, [this, &reader](QStringView name) {
        if (name != u"InLine")
            return false; // a Wrapper among others
        readChildren(reader, [this, &reader](QStringView child) {
            if (child == u"Impression")
                appendText(reader, impressions);
            else if (child == u"Error")
                appendText(reader, errors);
            else if (child == u"Creatives")
                readList(reader, u"Creative", creatives);
            else if (child == u"Extensions")
                readExtensions(reader);
            else
                return false;
            return true;
        });
        return true;
    });
}

void Ad::readExtensions(QXmlStreamReader& reader)
{
    readChildren(reader, [this, &reader](QStringView name) {
        if (name != u"Extension")
            return false;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString type = simplifiedAttribute(attributes, QLatin1String("type"));
        if (type == u"CustomTracking") {
            readList(reader, u"Tracking", customTracking);
        } else if (type == u"AdTune") {
            AdTune tune; // a later block replaces an earlier one whole
            tune.fromXml(reader);
            adTune = std::move(tune);
        } else {
            return false;
        }
        return true;
    });
}

void VastResponse::fromXml(QXmlStreamReader& reader)
{
    // The limits hold for a reader given by the caller too (not fed in chunks then).
    std::optional<Guard> guard;
    if (!Guard::of(reader))
        guard.emplace(reader);
    if (!reader.isStartElement() && !nextChild(reader))
        return;
    if (reader.name() != u"VAST") {
        reader.raiseError(QStringLiteral("no VAST format"));
        return;
    }
    if (reader.attributes().value(QLatin1String("version")) != u"3.0") {
        reader.raiseError(QStringLiteral("supported only VAST 3.0 format"));
        return;
    }
    readChildren(reader, [this, &reader](QStringView name) {
        if (name == u"Ad") {
            ads.append(Ad());
            ads.last().fromXml(reader);
        } else if (name == u"Error") {
            appendText(reader, errors);
        } else {
            return false;
        }
        return true;
    });
}

namespace {

// The body as the XML reader would decode it: by its byte order mark or the layout of its
// first '<' (UTF-16, UTF-32), else by the encoding its declaration names (UTF-8 without
// one). Empty with `error` set when the encoding is unknown or the bytes do not fit it.
QString decodeBody(const QByteArray& body, QString* error)
{
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(body, u'<');
    QStringDecoder decoder;
    if (encoding && *encoding != QStringConverter::Utf8) {
        decoder = QStringDecoder(*encoding);
    } else {
        // The declaration comes first and is short: the reader reads it from the head alone.
        QXmlStreamReader declaration(QByteArray::fromRawData(body.constData(), std::min<qsizetype>(body.size(), 4096)));
        const QXmlStreamReader::TokenType first = declaration.readNext();
        if (first == QXmlStreamReader::Invalid && declaration.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            *error = declaration.errorString(); // an encoding it does not know, among others
            return QString();
        }
        const QString name = first == QXmlStreamReader::StartDocument ? declaration.documentEncoding().toString()
                                                                      : QString();
        decoder = name.isEmpty() ? QStringDecoder(QStringConverter::Utf8) : QStringDecoder(name.toLatin1().constData());
        if (!decoder.isValid()) {
            *error = QStringLiteral("Encoding %1 is unsupported").arg(name);
            return QString();
        }
    }
    QString text = decoder(body);
    if (decoder.hasError()) {
        *error = QStringLiteral("Encountered incorrectly encoded content.");
        return QString();
    }
    return text;
}

} // namespace

VastResponse readVast(const QByteArray& body, QString* error)
{
    VastResponse response;
    QString refused;
    QString text = decodeBody(body, &refused);
    if (!refused.isEmpty()) {
        if (error)
            *error = std::move(refused);
        return response;
    }
    QXmlStreamReader reader;
    Guard guard(reader, std::move(text));
    response.fromXml(reader);
    if (error && reader.hasError())
        *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    return response;
}

QVariant decodeVast(const QByteArray& body)
{
    QString error;
    const VastResponse response = readVast(body, &error);
    if (!error.isEmpty() && !body.isEmpty()) // an empty answer is a plain "no ad"
        TQ_LOG(logging::Notice, QStringLiteral("VastResponse")) << "VAST answer not read to its end:" << error;
    return QVariant::fromValue(response);
}

} // namespace ad
