#pragma once
// Requests and handlers shared by the engine tests.

#include "engine/clientfacade.h"
#include "engine/request.h"
#include "engine/requesterror.h"

#include <QList>
#include <QPair>

namespace enginetest {

// A request of any type whose answer is its body as text.
class TestRequest : public tq::AbstractRequest
{
public:
    TestRequest(tq::MethodType type, QString path, QString method = tq::httpGetMethod())
        : m_type(type), m_path(std::move(path)), m_method(std::move(method)) {}

    bool deferrable = true;
    bool valid = true;
    bool absolute = false;

    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [type = m_type, path = m_path, method = m_method, deferrable = deferrable, valid = valid,
                absolute = absolute, spec = methodSpecialization()] {
            tq::RequestRawData raw([](const QByteArray& body) { return QVariant(QString::fromUtf8(body)); });
            raw.methodType = type;
            raw.path = path;
            raw.httpMethod = method;
            raw.isDeferrable = deferrable;
            raw.isValid = valid;
            raw.isAbsoluteUrl = absolute;
            raw.methodSpecialization = spec;
            return raw;
        };
    }

private:
    tq::MethodType m_type;
    QString m_path;
    QString m_method;
};

// Records every error it sees; takes it when `takes` is set.
class RecordingHandler : public tq::ITqRequestErrorHandler
{
public:
    explicit RecordingHandler(bool takes = true) : takes(takes) {}
    bool handleRequestError(qint64 id, const tq::RequestError& error) override
    {
        errors.append(qMakePair(id, error));
        return takes;
    }

    bool takes;
    QList<QPair<qint64, tq::RequestError>> errors;
};

} // namespace enginetest
