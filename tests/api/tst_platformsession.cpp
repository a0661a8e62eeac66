// A box's session through the engine against the fake platform: discovery, a new session,
// the channel list in CBOR, the guide, a favourite added and removed, then the session
// expiring (1000053) and renewed with a token update, the held request answered after it.

#include "api/catalogue.h"
#include "engine/clientfacade.h"
#include "engine/notifier.h"
#include "transport/requesterror.h"
#include "engine/tqcontext.h"
#include "fakehttpserver.h"
#include "fakeplatform.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QSignalSpy>
#include <QTest>

using namespace tq;

class TestPlatformSession : public QObject, public ITqRequestErrorHandler
{
    Q_OBJECT

public:
    bool handleRequestError(qint64 id, const RequestError& error) override
    {
        errors.insert(id, error);
        return true;
    }

private slots:
    void sessionFlow()
    {
        fake::FakeHttpServer server;
        fake::FakePlatform platform(server);
        stbconfig::ConfigurationManager store;
        stbcore::FixedPropertyProvider provider;
        TqConfigWrapper config(&store);
        TqContext context(&store);
        context.setPropertyProvider(&provider);
        std::unique_ptr<TqClientFacade> client(context.createClient(this));
        QHash<qint64, QVariant> answers;
        connect(client.get(), &TqClientFacade::dataReceived, this,
                [&](qint64 id, const QVariant& answer) { answers.insert(id, answer); });
        auto send = [&](const AbstractRequest& request) {
            const qint64 id = client->sendRequest(&request);
            [&] { QTRY_VERIFY2(answers.contains(id) || errors.contains(id), "no answer"); }();
            return answers.value(id);
        };

        const auto services = send(DiscoveryRequest(platform.discoveryUrl())).value<DiscoverServicesResponse>();
        QCOMPARE(services.apiUrl, server.baseUrl());
        config.setApiUrl(services.apiUrl);

        const auto session = send(NewSessionRequest()).value<NewSessionResponse>();
        QVERIFY(platform.liveSessions().contains(session.sessionId));
        config.setSessionId(session.sessionId);
        provider.session = session.sessionId;

        // The line-up arrives as CBOR (the request accepts it) and decodes alike.
        const auto channels = send(GetChannelsRequest()).value<GetChannelsResponse>();
        QCOMPARE(channels.items.size(), fake::fakeChannelCount);
        QCOMPARE(channels.items.at(1).name(), QStringLiteral("Sport"));
        const fake::HttpRequest lineUp = server.requests().constLast();
        QVERIFY(lineUp.header("Accept").contains("application/cbor"));

        GetEpgRequest guide;
        guide.channelsIds = {1, 2};
        guide.startTime = 1700000000;
        guide.limit = 3;
        const auto epg = send(guide).value<GetEPGResponse>();
        QCOMPARE(epg.items.size(), 2);
        QCOMPARE(epg.items.at(1).channelId, qint64(2));
        QCOMPARE(epg.items.at(1).channelPrograms.size(), 3);

        CreateFavoriteRequest add;
        add.body.contentId = 3;
        add.body.contentType = ContentItemType::Channel;
        QVERIFY(send(add).canConvert<IdFavoriteResponse>());
        QCOMPARE(platform.favourites(), QStringList{"channel/3"});
        QVERIFY(send(DeleteFavoriteByIdRequest("channel", 3)).value<SuccessResponse>().success);
        QVERIFY(platform.favourites().isEmpty());
        // Removing it again is the platform's error, delivered as such.
        const DeleteFavoriteByIdRequest remove("channel", 3);
        const qint64 again = client->sendRequest(&remove);
        QTRY_VERIFY(errors.contains(again));
        QCOMPARE(errors.value(again).errorCode, 3000004);

        // The session expires: the request is held, the host renews the token, it is answered.
        QSignalSpy renewal(context.notifier(), &TqNotifier::updateSessionTokenRequired);
        platform.expireSessions();
        const qint64 held = client->sendRequest(&add);
        QTRY_COMPARE(renewal.count(), 1);
        QVERIFY(!answers.contains(held) && !errors.contains(held));
        const auto renewed = send(UpdateTokenRequest()).value<UpdateTokenResponse>();
        QVERIFY(platform.liveSessions().contains(renewed.sessionId));
        config.setSessionId(renewed.sessionId);
        provider.session = renewed.sessionId;
        Q_EMIT context.notifier()->rebalanceCompleted();
        QTRY_VERIFY(answers.contains(held));
        QCOMPARE(server.requests().constLast().header("session_id"), renewed.sessionId.toLatin1());
    }

private:
    QHash<qint64, RequestError> errors;
};

QTEST_GUILESS_MAIN(TestPlatformSession)
#include "tst_platformsession.moc"
