#pragma once
// What every step of the demo host shares: the narration, bounded waits, a screen (one
// client of the engine with its answers and failures), the session id read from the store,
// and the compact line per exchange from the request listener.

#include "engine/clientfacade.h"
#include "transport/requesterror.h"
#include "engine/requestlistener.h"
#include "platform/requestheaderpropertyprovider.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace stbconfig { class ConfigurationManager; }
namespace tq { class AbstractRequest; class TqContext; }

namespace demo {

void say(const QString& text);
void section(const QString& title);

// Runs the event loop until the condition holds; false when the time ran out first.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// One client of the engine, as a screen of the box's user interface holds it.
class Screen : public tq::ITqRequestErrorHandler
{
public:
    Screen(tq::TqContext& context, const QString& name);

    // Called with the answer, or with an invalid QVariant when the request failed.
    using Continuation = std::function<void(const QVariant& answer)>;
    qint64 send(const tq::AbstractRequest& request, Continuation then = {});
    bool finished(qint64 id) const { return answers.contains(id) || errors.contains(id); }
    bool wait(const QList<qint64>& ids, int timeoutMs = 5000);

    // Sends, waits and hands back the answer; nothing (and says why) when it failed or timed out.
    template<class Answer>
    std::optional<Answer> ask(const tq::AbstractRequest& request)
    {
        const std::optional<QVariant> answer = askRaw(request);
        if (!answer)
            return std::nullopt;
        if (!answer->canConvert<Answer>()) {
            say(QStringLiteral("%1: unexpected answer of type %2").arg(name(), QLatin1String(answer->typeName())));
            return std::nullopt;
        }
        return answer->value<Answer>();
    }

    // The error handler: a failure is narrated and kept.
    bool handleRequestError(qint64 id, const tq::RequestError& error) override;

    QString name() const { return m_client->objectName(); }
    tq::TqClientFacade& client() { return *m_client; }

    QHash<qint64, QVariant> answers;
    QHash<qint64, tq::RequestError> errors;

private:
    std::optional<QVariant> askRaw(const tq::AbstractRequest& request);

    std::unique_ptr<tq::TqClientFacade> m_client;
    QHash<qint64, Continuation> m_then;
};

// The header values of the box; the session id is always the one in the store, since the
// library reads it on its own thread while the host renews it.
class BoxProperties : public stbcore::FixedPropertyProvider
{
public:
    explicit BoxProperties(stbconfig::ConfigurationManager* store) : m_store(store) {}
    QString sessionId() const override;

private:
    stbconfig::ConfigurationManager* m_store;
};

// One short line per exchange. Called on the library's thread: it only hands the line over.
class TimingListener : public tq::ITqRequestListener
{
public:
    void requestEvent(const tq::RequestEvent& event) override;
};

} // namespace demo
