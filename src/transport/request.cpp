#include "transport/request.h"

#include <QJsonDocument>

#include <algorithm>
#include <iterator>

namespace tq {
namespace {
// Queued calls across the worker thread find the type by name, before any other use.
void registerRequestRawData()
{
    qRegisterMetaType<RequestRawData>();
}
Q_CONSTRUCTOR_FUNCTION(registerRequestRawData)
} // namespace

AbstractRequest::~AbstractRequest() = default;

std::function<RequestRawData()> AbstractRequest::rawDataCreator() const
{
    return {};
}

QByteArray AbstractRequest::jsonToRaw(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString httpGetMethod() { return QStringLiteral("GET"); }
QString httpPostMethod() { return QStringLiteral("POST"); }
QString httpPatchMethod() { return QStringLiteral("PATCH"); }
QString httpPutMethod() { return QStringLiteral("PUT"); }
QString httpDeleteMethod() { return QStringLiteral("DELETE"); }
QString httpHeadMethod() { return QStringLiteral("HEAD"); }

bool isImageMethod(MethodType type)
{
    switch (type) {
    case MethodType::StaticDataImage:
    case MethodType::GetShopImage:
    case MethodType::TqImage:
    case MethodType::PartyStationImage:
    case MethodType::ReleaseNotesImage:
    case MethodType::ThumbnailsImage:
        return true;
    default:
        return false;
    }
}

namespace {

struct ReasonPhrase
{
    int code;
    const char* text;
};

// Sorted by code for the binary search below.
constexpr ReasonPhrase reasonPhrases[] = {
    {100, "Continue"}, {101, "Switching Protocols"}, {102, "Processing"}, {103, "Early Hints"},
    {200, "OK"}, {201, "Created"}, {202, "Accepted"}, {203, "Non-Authoritative Information"},
    {204, "No Content"}, {205, "Reset Content"}, {206, "Partial Content"}, {207, "Multi-Status"},
    {208, "Already Reported"}, {226, "IM Used"},
    {300, "Multiple Choices"}, {301, "Moved Permanently"}, {302, "Found"}, {303, "See Other"},
    {304, "Not Modified"}, {305, "Use Proxy"}, {307, "Temporary Redirect"}, {308, "Permanent Redirect"},
    {400, "Bad Request"}, {401, "Unauthorized"}, {402, "Payment Required"}, {403, "Forbidden"},
    {404, "Not Found"}, {405, "Method Not Allowed"}, {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"}, {408, "Request Timeout"}, {409, "Conflict"},
    {410, "Gone"}, {411, "Length Required"}, {412, "Precondition Failed"},
    {413, "Payload Too Large"}, {414, "URI Too Long"}, {415, "Unsupported Media Type"},
    {416, "Range Not Satisfiable"}, {417, "Expectation Failed"}, {418, "I'm a teapot"},
    {419, "Authentication Timeout (not in RFC 2616)"}, {421, "Misdirected Request"},
    {422, "Unprocessable Entity"}, {423, "Locked"}, {424, "Failed Dependency"},
    {426, "Upgrade Required"}, {428, "Precondition Required"}, {429, "Too Many Requests"},
    {431, "Request Header Fields Too Large"}, {449, "Retry With"},
    {451, "Unavailable For Legal Reasons"}, {452, "Bad sended request"},
    {499, "Client Closed Request"},
    {500, "Internal Server Error"}, {501, "Not Implemented"}, {502, "Bad Gateway"},
    {503, "Service Unavailable"}, {504, "Gateway Time-out"}, {505, "HTTP Version Not Supported"},
    {506, "Variant Also Negotiates"}, {507, "Insufficient Storage"}, {508, "Loop Detected"},
    {509, "Bandwidth Limit Exceeded"}, {510, "Not Extended"},
    {511, "Network Authentication Required"}, {520, "Unknown Error"}, {521, "Web Server Is Down"},
    {522, "Connection Timed Out "}, {523, "Origin Is Unreachable"}, {524, "A Timeout Occurred"},
    {525, "SSL Handshake Failed"}, {526, "Invalid SSL Certificate"},
};

} // namespace

QString httpReasonPhrase(int code)
{
    const auto it = std::lower_bound(std::begin(reasonPhrases), std::end(reasonPhrases), code,
                                     [](const ReasonPhrase& p, int c) { return p.code < c; });
    if (it == std::end(reasonPhrases) || it->code != code)
        return QStringLiteral("Unknown");
    return QString::fromLatin1(it->text);
}

} // namespace tq
