// fakeplatform: the TV platform served offline on 127.0.0.1, for a host under development,
// curl and the installed-package test (testing/fakeplatform.h says what it answers).
//
//   fakeplatform [--port N] [--slow MS] [--session ID] [--replay FILE.har]
//       N = 0 (the default) takes a free port; MS delays every API answer; ID is accepted
//       as a session without "POST /api/v3/ulp/sessions"; FILE.har, an archive a context
//       wrote (TqContext::writeTrafficArchive), is answered again: the recorded requests get
//       the recorded answers (testing/trafficreplay.h), the rest the ordinary routes, and
//       every session id is accepted (the recorded ones were redacted)
//
// The first line on standard output is "listening on 127.0.0.1:PORT"; each request is then
// logged on standard error with its status. Discovery is at http://127.0.0.1:PORT/discovery.
// The second line names the push-notification websocket, discovery's "ws_url" ("notifications
// on ws://127.0.0.1:PORT/ws", the same port); its token comes from POST /api/v2/user/ws_token,
// and POST /push sends the body to every client.

#include "fakehttpserver.h"
#include "fakeplatform.h"
#include "trafficreplay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonObject>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The TV platform served offline on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (0: a free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(portOption);
    const QCommandLineOption slowOption(QStringLiteral("slow"), QStringLiteral("Delay every API answer by MS milliseconds."),
                                        QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOption(slowOption);
    const QCommandLineOption sessionOption(QStringLiteral("session"),
                                           QStringLiteral("Accept this session id as if issued (for hosts that bring one)."),
                                           QStringLiteral("ID"));
    parser.addOption(sessionOption);
    const QCommandLineOption replayOption(QStringLiteral("replay"),
                                          QStringLiteral("Answer the requests recorded in this HTTP Archive as recorded."),
                                          QStringLiteral("FILE"));
    parser.addOption(replayOption);
    parser.process(app);

    QTextStream err(stderr);
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        err << "fakeplatform: not a port: " << parser.value(portOption) << Qt::endl;
        return 2;
    }
    fake::FakeHttpServer server;
    if (!server.listen(quint16(port))) {
        err << "fakeplatform: cannot listen on 127.0.0.1:" << port << Qt::endl;
        return 1;
    }
    fake::FakePlatform platform(server);
    for (const QString& session : parser.values(sessionOption))
        platform.addSession(session);
    if (const int slow = parser.value(slowOption).toInt(); slow > 0) {
        fake::PlatformFault fault;
        fault.delayMs = slow;
        platform.setFaultEverywhere(fault);
    }
    fake::TrafficReplay replay;
    if (parser.isSet(replayOption)) {
        QString error;
        if (!replay.load(parser.value(replayOption), &error)) {
            err << "fakeplatform: " << error << Qt::endl;
            return 2;
        }
        platform.acceptAnySession();
        server.answerFirst([&replay, &server](const fake::HttpRequest& request) { return replay.answer(request, server.baseUrl()); });
        err << "replaying " << replay.answerCount() << " recorded answers from " << parser.value(replayOption) << Qt::endl;
    }
    QObject::connect(&server, &fake::FakeHttpServer::requestReceived, [&err](const fake::HttpRequest& request) {
        err << request.method << ' ' << request.path
            << (request.query.isEmpty() ? QString() : QLatin1Char('?') + request.query.toString()) << Qt::endl;
    });

    fake::FakeNotificationServer& push = platform.push();
    server.route("POST", QStringLiteral("/push"), [&push](const fake::HttpRequest& request) {
        push.sendText(QString::fromUtf8(request.body));
        return fake::HttpResponse::json(200, QJsonObject{{"clients", push.clientCount()}});
    });

    QTextStream(stdout) << "listening on 127.0.0.1:" << server.port() << Qt::endl;
    QTextStream(stdout) << "notifications on " << platform.webSocketUrl() << Qt::endl;
    return app.exec();
}
