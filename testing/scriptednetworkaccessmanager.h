#pragma once
// A QNetworkAccessManager that answers from a script instead of the network, for reply
// states a real server cannot provoke through Qt (ContentReSendError comes from Qt's own
// re-send of an upload it cannot rewind). While the script holds replies, each request
// takes the next one; afterwards requests go to the network as usual.

#include "fakehttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQueue>

#include <functional>
#include <optional>

namespace fake {

struct ScriptedReply
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0; // 0: no HTTP answer
    HeaderList headers;
    QByteArray body;
};

class ScriptedNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    using QNetworkAccessManager::QNetworkAccessManager;

    void enqueue(const ScriptedReply& reply) { m_script.enqueue(reply); }
    // Asked for every request the queued script does not answer: a reply to give instead of
    // the network's, or none. Called on the manager's thread.
    using Decider = std::function<std::optional<ScriptedReply>(const QNetworkRequest&)>;
    void setDecider(Decider decider) { m_decider = std::move(decider); }
    int scriptedRequests() const { return m_scriptedRequests; } // requests answered from the script

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* outgoingData) override;

private:
    QQueue<ScriptedReply> m_script;
    Decider m_decider;
    int m_scriptedRequests = 0;
};

} // namespace fake
