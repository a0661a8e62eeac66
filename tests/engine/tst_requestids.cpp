// Request identifiers come from one counter for the whole library, starting at 0. This runs in
// a process of its own: nothing may have been sent before it.

#include "fakehttpserver.h"
#include "pathrequest.h"

#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"

#include <QtTest>

using namespace tq;

class TestRequestIds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstIsZeroAndClientsShareTheCounter()
    {
        stbconfig::ConfigurationManager store;
        TqContext context(&store);
        std::unique_ptr<TqClientFacade> a(context.createClient());
        std::unique_ptr<TqClientFacade> b(context.createClient());
        fake::FakeHttpServer server;
        const fake::PathRequest request(MethodType::GeneralRequest, server.url(QStringLiteral("/x")).toString());
        QCOMPARE(a->sendRequest(nullptr), qint64(-1)); // not a request: takes no identifier
        QCOMPARE(a->sendRequest(&request), qint64(0));
        QCOMPARE(b->sendRequest(&request), qint64(1));
        QCOMPARE(a->sendRequest(&request), qint64(2));
    }
};

QTEST_GUILESS_MAIN(TestRequestIds)
#include "tst_requestids.moc"
