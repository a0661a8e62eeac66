#include "scriptednetworkaccessmanager.h"

#include <QTimer>

namespace fake {
namespace {

// Finishes on the next pass of the event loop, as a network reply would.
class CannedReply : public QNetworkReply
{
public:
    CannedReply(QNetworkAccessManager::Operation op, const QNetworkRequest& request, const ScriptedReply& script,
                QObject* parent)
        : QNetworkReply(parent), m_body(script.body)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(op);
        if (script.status > 0)
            setAttribute(QNetworkRequest::HttpStatusCodeAttribute, script.status);
        for (const auto& header : script.headers)
            setRawHeader(header.first, header.second);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        if (script.error != QNetworkReply::NoError)
            setError(script.error, QStringLiteral("scripted failure"));
        QTimer::singleShot(0, this, [this] {
            if (error() != QNetworkReply::NoError)
                emit errorOccurred(error());
            setFinished(true);
            emit finished();
        });
    }

    void abort() override {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_body.size() - m_offset + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, qint64(m_body.size()) - m_offset);
        if (count <= 0)
            return -1;
        memcpy(data, m_body.constData() + m_offset, size_t(count));
        m_offset += count;
        return count;
    }

private:
    QByteArray m_body;
    qint64 m_offset = 0;
};

} // namespace

QNetworkReply* ScriptedNetworkAccessManager::createRequest(Operation op, const QNetworkRequest& request,
                                                           QIODevice* outgoingData)
{
    std::optional<ScriptedReply> scripted;
    if (!m_script.isEmpty())
        scripted = m_script.dequeue();
    else if (m_decider)
        scripted = m_decider(request);
    if (!scripted)
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    ++m_scriptedRequests;
    return new CannedReply(op, request, *scripted, this);
}

} // namespace fake
