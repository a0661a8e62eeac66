#pragma once
// A request of any type and path whose answer is its body as text: the stand-in for the
// typed platform requests in the engine tests and the demo.

#include "transport/request.h"

namespace fake {

class PathRequest : public tq::AbstractRequest
{
public:
    PathRequest(tq::MethodType type, QString path, QString method = tq::httpGetMethod())
        : m_type(type), m_path(std::move(path)), m_method(std::move(method)) {}

    bool deferrable = true;
    bool valid = true;
    bool absolute = false;
    int apiVersion = 2;
    QStringList query; // "key=value", encoded
    QByteArray body;

    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [type = m_type, path = m_path, method = m_method, deferrable = deferrable, valid = valid,
                absolute = absolute, apiVersion = apiVersion, query = query, body = body,
                specialization = methodSpecialization()] {
            tq::RequestRawData raw([](const QByteArray& reply) { return QVariant(QString::fromUtf8(reply)); });
            raw.methodType = type;
            raw.path = path;
            raw.httpMethod = method;
            raw.isDeferrable = deferrable;
            raw.isValid = valid;
            raw.isAbsoluteUrl = absolute;
            raw.apiVersion = apiVersion;
            raw.queryItems = query;
            raw.body = body;
            raw.methodSpecialization = specialization;
            return raw;
        };
    }

private:
    tq::MethodType m_type;
    QString m_path;
    QString m_method;
};

} // namespace fake
