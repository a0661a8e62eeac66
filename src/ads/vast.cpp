#define ADS_DEFINE_WIRE_STRINGS // the dictionaries of vast.h are built here
#include "ads/vast.h"

#include "platform/logging.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>
#include <QXmlStreamReader>

#include <cstring>

namespace ad {

namespace {

// Limits that keep the XML reader linear in the size of the answer. Qt's reader keeps
// every open tag, compares each attribute of a tag with the others, each prefixed name
// with every namespace in scope and each start tag with every attribute default of a
// DTD (even reading a DTD's declarations is quadratic), so hostile answers could make it
// take minutes or hundreds of megabytes. No real VAST answer comes near these.
constexpr int maxSkippedDepth = 64;          // levels below an element that is skipped
constexpr int maxAttributesPerTag = 64;
constexpr int maxNamespaceDeclarations = 256;

bool startsWith(const char* p, const char* end, const char* text)
{
    const size_t length = strlen(text);
    return size_t(end - p) >= length && memcmp(p, text, length) == 0;
}

// Where `text` ends, after `p`; `end` when it does not occur.
const char* after(const char* p, const char* end, const char* text)
{
    const QByteArrayView rest(p, end - p);
    const qsizetype at = rest.indexOf(QByteArrayView(text));
    return at < 0 ? end : p + at + qsizetype(strlen(text));
}

// Empty when the body may go to the XML reader, else why it may not.
QString screen(const QByteArray& body)
{
    const char* p = body.constData();
    const char* const end = p + body.size();
    // UTF-16 and UTF-32 text hides its markup from the byte scan below (and XML has no
    // NUL character to carry), so only ASCII-compatible text is read.
    if (memchr(p, 0, size_t(body.size())))
        return QStringLiteral("a VAST answer must be ASCII-compatible text");
    bool prolog = true;
    int namespaces = 0;
    while ((p = static_cast<const char*>(memchr(p, '<', size_t(end - p))))) {
        if (startsWith(p, end, "<!--")) {
            p = after(p + 4, end, "-->");
            continue;
        }
        if (startsWith(p, end, "<![CDATA[")) {
            p = after(p + 9, end, "]]>");
            continue;
        }
        if (prolog && startsWith(p, end, "<!DOCTYPE"))
            return QStringLiteral("a DTD is not accepted in a VAST answer");
        prolog = prolog && p + 1 < end && p[1] == '?';
        int attributes = 0;
        char quote = 0;
        for (++p; p < end; ++p) {
            if (quote) {
                if (*p == quote)
                    quote = 0;
            } else if (*p == '"' || *p == '\'') {
                quote = *p;
            } else if (*p == '>') {
                break;
            } else if (*p == '=' && ++attributes > maxAttributesPerTag) {
                return QStringLiteral("more than %1 attributes in a tag").arg(maxAttributesPerTag);
            } else if (*p == 'x' && startsWith(p, end, "xmlns") && ++namespaces > maxNamespaceDeclarations) {
                return QStringLiteral("more than %1 namespace declarations").arg(maxNamespaceDeclarations);
            }
        }
    }
    return QString();
}

// Skips the current element whole, refusing subtrees nested deeper than the limit.
void skipElement(QXmlStreamReader& reader)
{
    int depth = 1;
    while (depth > 0 && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maxSkippedDepth)
                reader.raiseError(QStringLiteral("elements nested too deep"));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
}

// The loop of every level: each child start element goes to `handle`, which reads it to
// its end tag and answers true, or answers false to have it skipped whole. Ends on the
// current element's end tag or on a reader error.
template<class Handle>
void readChildren(QXmlStreamReader& reader, Handle&& handle)
{
    while (reader.readNextStartElement()) {
        if (!handle(reader.name()))
            skipElement(reader);
    }
}

// The element's own text, white space simplified; child elements are skipped. Empty
// when the reader fails inside the element: a cut-off address is no address.
QString elementText(QXmlStreamReader& reader)
{
    QString text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            text += reader.text();
            break;
        case QXmlStreamReader::StartElement:
            skipElement(reader);
            break;
        case QXmlStreamReader::EndElement:
            return std::move(text).simplified();
        default:
            break;
        }
    }
    return QString();
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
        const QStringView type = attributes.value(QLatin1String("type"));
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
    if (!reader.isStartElement() && !reader.readNextStartElement())
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

VastResponse readVast(const QByteArray& body, QString* error)
{
    VastResponse response;
    QString refused = screen(body);
    if (!refused.isEmpty()) {
        if (error)
            *error = std::move(refused);
        return response;
    }
    QXmlStreamReader reader(body);
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
