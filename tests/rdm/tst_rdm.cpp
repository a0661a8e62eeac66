// Device management: every request and report as the service sees it (one table), every
// command with its parameters (another), the answers, and the poller against a fake service
// that answers with commands, junk and failures.

#include "fakehttpserver.h"
#include "wiretable.h"

#include "engine/clock.h"
#include "engine/tqcontext.h"
#include "notifications/notification.h"
#include "model/account.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "rdm/commands.h"
#include "rdm/poller.h"
#include "rdm/reports.h"
#include "transport/configwrapper.h"

#include <QJsonDocument>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace rdm;

// A command's parameters in declaration order. The host casts by the event code, as here.
using Fields = std::function<QVariantList(const tq::Notification&)>;
Q_DECLARE_METATYPE(Fields)

namespace {

template<class C>
Fields fieldsOf(std::function<QVariantList(const C&)> read)
{
    return [read](const tq::Notification& n) { return read(static_cast<const C&>(n)); };
}

QSharedPointer<tq::Notification> build(const QJsonObject& message)
{
    return tq::Notification::createNotificationFromJson(message);
}

QByteArray compact(const char* json)
{
    return json ? QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact) : QByteArray();
}

template<class R>
tq::RequestRawData raw(const R& request)
{
    return request.rawDataCreator()();
}

// An answer through the request's own decoder, as the engine runs it.
template<class R>
QVariant decode(const char* body)
{
    return raw(R()).responseExtractor(QByteArray(body));
}

} // namespace

class TestRdm : public QObject
{
    Q_OBJECT

private slots:
    void requests_data()
    {
        QTest::addColumn<tq::RequestRawData>("raw");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("query");
        QTest::addColumn<QByteArray>("body");

        CommandsPoll poll;
        poll.macAddress = "AA:BB:0C";
        QTest::newRow("poll: mac in lower case") << raw(poll) << "GET" << "/user/commands/poll"
                                                 << QStringList{"mac_address=aa%3Abb%3A0c"} << QByteArray();
        QTest::newRow("ack") << raw(CommandsAckRequest(42)) << "POST" << "/user/commands/42/ack" << QStringList()
                             << QByteArray();
        QTest::newRow("report without error: no body")
            << raw(CommandsReportRequest(7)) << "POST" << "/user/commands/7/report" << QStringList() << QByteArray();
        QTest::newRow("report busy")
            << raw(CommandsReportRequest(7, {ErrorReasonType::Busy, {}})) << "POST" << "/user/commands/7/report"
            << QStringList() << compact(R"({"error": {"reason": "Busy", "details": ""}})");
        QTest::newRow("report details only")
            << raw(CommandsReportRequest(7, {ErrorReasonType::NoError, "late"})) << "POST" << "/user/commands/7/report"
            << QStringList() << compact(R"({"error": {"reason": "", "details": "late"}})");

        SettingsRequest settings;
        settings.macAddress = "AA:BB";
        settings.version = "1.2";
        QTest::newRow("settings: mac as given") << raw(settings) << "GET" << "/user/settings"
                                                << QStringList{"mac_address=AA%3ABB", "version=1.2"} << QByteArray();
        UpdateFirmwareRequest firmware;
        firmware.platform = "p";
        firmware.model = "m";
        firmware.macAddress = "AA";
        firmware.serialNumber = "s n";
        firmware.version = "v";
        QTest::newRow("firmware: query order")
            << raw(firmware) << "GET" << "/user/firmware_update"
            << QStringList{"platform=p", "model=m", "project=vemo", "mac_address=AA", "serial_number=s%20n", "version=v"}
            << QByteArray();

        const QString report = "/user/commands/5/report";
        CommandsPingReportRequest ping(5);
        ping.failureCount = 4;
        QTest::newRow("ping report: every member even when all failed")
            << raw(ping) << "POST" << report << QStringList()
            << compact(R"({"result": {"success_count": 0, "failure_count": 4, "average_response_time": 0,
                          "minimum_response_time": 0, "maximum_response_time": 0}})");
        CommandsTracerouteReportRequest emptyTrace(5);
        QTest::newRow("traceroute report: no hops")
            << raw(emptyTrace) << "POST" << report << QStringList()
            << compact(R"({"result": {"route_hops": [], "route_hops_count": 0}})");
        CommandsTracerouteReportRequest trace(5);
        RouteHop hop;
        hop.hopNumber = 1;
        hop.host = "gw";
        hop.rtTimes = {1.5, 2};
        trace.routeHops = {hop};
        trace.routeHopsCount = 3; // as held
        QTest::newRow("traceroute report")
            << raw(trace) << "POST" << report << QStringList()
            << compact(R"({"result": {"route_hops": [{"hop_number": 1, "host": "gw", "rttime": [1.5, 2]}],
                          "route_hops_count": 3}})");
        CommandsNslookupReportRequest nslookup(5);
        nslookup.name = "a";
        nslookup.response = QStringList{"1.2.3.4", "5.6.7.8"};
        QTest::newRow("nslookup report")
            << raw(nslookup) << "POST" << report << QStringList()
            << compact(R"({"result": {"name": "a", "server": "", "response": ["1.2.3.4", "5.6.7.8"]}})");
        CommandsCurlReportRequest curl(5);
        curl.responseCode = 404;
        QTest::newRow("curl report") << raw(curl) << "POST" << report << QStringList()
                                     << compact(R"({"result": {"response_code": 404, "response_body": ""}})");
        CommandsCheckMulticastReportRequest multicast(5);
        multicast.bytes = 5000000000;
        multicast.bitrate = 1.25;
        QTest::newRow("multicast report: 64-bit bytes")
            << raw(multicast) << "POST" << report << QStringList()
            << compact(R"({"result": {"status": "", "bitrate": 1.25, "bytes": 5000000000, "seconds": 0}})");
        CommandsCheckFirmwareUpdateReportRequest firmwareReport(5);
        firmwareReport.firmwareVersionOld = "1";
        QTest::newRow("firmware report") << raw(firmwareReport) << "POST" << report << QStringList()
                                         << compact(R"({"result": {"firmware_version_old": "1", "firmware_version_new": ""}})");
        CommandsRebalanceReportRequest rebalance(5);
        rebalance.newEndpoints.apiUrl = "new-api";
        QTest::newRow("rebalance report: both sets whole")
            << raw(rebalance) << "POST" << report << QStringList()
            << compact(R"({"result": {"old_endpoints": {"api_url": "", "ws_url": "", "spy_url": "", "img_url": "", "proxy_url": ""},
                          "new_endpoints": {"api_url": "new-api", "ws_url": "", "spy_url": "", "img_url": "", "proxy_url": ""}}})");
        CommandsSendLogsReportRequest logs(5);
        logs.currentLog = "line\n";
        QTest::newRow("send logs report") << raw(logs) << "POST" << report << QStringList()
                                          << compact(R"({"result": {"currentlog": "line\n"}})");
        CommandsHealthcheckReportRequest health(5);
        NetworkInterface eth;
        eth.name = "eth0";
        eth.mtu = 1500;
        health.network.interfaces = {eth};
        health.network.dns = QStringList{"8.8.8.8"};
        health.time.current = "now";
        health.time.uptime = 99;
        health.vemo.endpoints.wsUrl = "ws-x";
        health.logging.level = 4;
        QTest::newRow("healthcheck report: time without NTP data")
            << raw(health) << "POST" << report << QStringList()
            << compact(R"({"result": {
                "network": {"interfaces": [{"name": "eth0", "state": "", "mac": "", "mtu": 1500, "ipv4": "",
                            "netmask": "", "ip_rules": "", "gateway": ""}], "dns": ["8.8.8.8"]},
                "time": {"current": "now", "uptime": 99, "uptime_since": ""},
                "vemo": {"platform": "", "tq_api": "", "websocket": "", "updaterd": "",
                         "endpoints": {"api_url": "", "ws_url": "ws-x", "spy_url": "", "img_url": "", "proxy_url": ""}},
                "logging": {"level": 4}}})");
        CommandsHealthcheckReportRequest ntp(5);
        ntp.time.ntpd = "running";
        ntp.time.status = "synced";
        ntp.time.ntp = QStringList{"pool"};
        QTest::newRow("healthcheck report: time with NTP data")
            << raw(ntp) << "POST" << report << QStringList()
            << compact(R"({"result": {"network": {"interfaces": [], "dns": []},
                "time": {"current": "", "uptime": 0, "uptime_since": "", "ntpd": "running", "status": "synced",
                         "ntp": ["pool"]},
                "vemo": {"platform": "", "tq_api": "", "websocket": "", "updaterd": "",
                         "endpoints": {"api_url": "", "ws_url": "", "spy_url": "", "img_url": "", "proxy_url": ""}},
                "logging": {"level": 0}}})");
    }

    void requests()
    {
        QFETCH(tq::RequestRawData, raw);
        QFETCH(QString, method);
        QFETCH(QString, path);
        QFETCH(QStringList, query);
        QFETCH(QByteArray, body);
        QCOMPARE(raw.methodType, tq::MethodType::RdmApi);
        QCOMPARE(raw.httpMethod, method);
        QCOMPARE(raw.pathCreator ? raw.pathCreator(raw.path) : raw.path, path);
        QCOMPARE(raw.queryItems, query);
        // Compared as parsed JSON: key order inside an object is not the service's concern.
        QCOMPARE(QJsonDocument::fromJson(raw.body), QJsonDocument::fromJson(body));
        QCOMPARE(raw.body.isEmpty(), body.isEmpty());
        QVERIFY(raw.responseExtractor);
    }

    void answers()
    {
        const auto firmware = decode<UpdateFirmwareRequest>(
                                  R"({"version": "2", "url": "u", "update_mode": {"type": "force", "delay": 60}})")
                                  .value<UpdateFirmwareResponse>();
        QCOMPARE(firmware.version, QStringLiteral("2"));
        QCOMPARE(firmware.url, QStringLiteral("u"));
        QCOMPARE(firmware.updateMode.type, UpdateModeType::Force);
        QCOMPARE(firmware.updateMode.delay, 60);
        QCOMPARE(firmware.toJson(), QJsonDocument::fromJson(R"({"version": "2", "url": "u",
                                                               "update_mode": {"type": "force", "delay": 60}})").object());
        GeneralSettingsResponse general;
        general.fromJson(QJsonObject{{"update_request_interval", 3600}});
        QCOMPARE(general.updateRequestInterval, 3600);
        QCOMPARE(general.toJson(), (QJsonObject{{"update_request_interval", 3600}}));
        QCOMPARE(decode<UpdateFirmwareRequest>(R"({"update_mode": {"type": "later"}})")
                     .value<UpdateFirmwareResponse>().updateMode.type,
                 UpdateModeType::Unknown);
        QVERIFY(decode<CommandsPoll>("[1]").value<CommandsPollResponse>().object.isEmpty());

        const auto settings = decode<SettingsRequest>(
                                  R"({"vemo": [{"version": "1", "a": 1},
                                               {"version": "2", "AdStream": {"channel_nums": [1, "x", 3], "mrf": "m"}}]})")
                                  .value<SettingsResponse>();
        QCOMPARE(settings.settings.size(), 2);
        const QVariantMap two = helpers::settingsFromListByVersion(settings.settings, "2");
        const QVariantMap adStream = two.value("AdStream").toMap();
        QCOMPARE(adStream.value("channel_nums").value<QList<qint64>>(), (QList<qint64>{1, 0, 3}));
        QCOMPARE(adStream.value("mrf").toString(), QStringLiteral("m"));
        QVERIFY(helpers::settingsFromListByVersion(settings.settings, "3").isEmpty());
    }

    // Every command: its event code and type, and each parameter read from "options" (all
    // given, then none: the defaults).
    void commands_data()
    {
        QTest::addColumn<QString>("eventCode");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("withOptions");
        QTest::addColumn<QJsonObject>("options");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QVariantList>("given");
        QTest::addColumn<QVariantList>("defaults");
        using C = tq::NotificationEventCode;
        const auto plain = [](const char* name, C code) {
            QTest::newRow(name) << QString::fromLatin1(name) << int(code) << false << QJsonObject()
                                << fieldsOf<Command>([](const Command&) { return QVariantList(); }) << QVariantList()
                                << QVariantList();
        };
        const auto with = [](const char* name, C code, const QJsonObject& options, Fields fields,
                             const QVariantList& given, const QVariantList& defaults) {
            QTest::newRow(name) << QString::fromLatin1(name) << int(code) << true << options << fields << given
                                << defaults;
        };
        const QString none;
        with("change_logging", C::ChangeLogging, {{"level", 4}},
             fieldsOf<ChangeLoggingCommand>([](const auto& c) { return QVariantList{c.level}; }), {4}, {-1});
        plain("check_firmware_update", C::CheckFirmwareUpdate);
        with("check_multicast", C::CheckMulticast, {{"multicast_group", "239.1.1.1"}, {"port", 1234}},
             fieldsOf<CheckMulticastCommand>([](const auto& c) { return QVariantList{c.multicastGroup, c.port}; }),
             {"239.1.1.1", 1234}, {none, 0});
        plain("check_settings", C::CheckSettings);
        with("curl", C::Curl, {{"url", "http://a"}, {"proxy", "http://p"}, {"location", true}, {"insecure", true}},
             fieldsOf<CurlCommand>([](const auto& c) { return QVariantList{c.url, c.proxy, c.location, c.insecure}; }),
             {"http://a", "http://p", true, true}, {none, none, false, false});
        plain("healthcheck", C::Healthcheck);
        with("nslookup", C::Nslookup, {{"name", "tv.example"}, {"server", "8.8.8.8"}},
             fieldsOf<NslookupCommand>([](const auto& c) { return QVariantList{c.name, c.server}; }),
             {"tv.example", "8.8.8.8"}, {none, none});
        with("ping", C::Ping, {{"host", "h"}, {"count", 2}, {"packet_size", 100}, {"timeout", 9}},
             fieldsOf<PingCommand>([](const auto& c) { return QVariantList{c.host, c.count, c.packetSize, c.timeout}; }),
             {"h", 2, 100, qint64(9)}, {none, 5, 56, qint64(3)});
        plain("rebalance", C::Rebalance);
        plain("reboot", C::Reboot);
        plain("send_logs", C::SendLogs);
        plain("send_system_status", C::SendSystemStatus);
        with("standby", C::Standby, {{"mode", "deep"}},
             fieldsOf<StandbyCommand>([](const auto& c) { return QVariantList{c.mode}; }), {"deep"}, {none});
        with("traceroute", C::Traceroute,
             {{"host", "h"}, {"count", 1}, {"packet_size", 40}, {"timeout", 7}, {"max_ttl", 12}},
             fieldsOf<TracerouteCommand>([](const auto& c) {
                 return QVariantList{c.host, c.count, c.packetSize, c.timeout, c.maxTtl};
             }),
             {"h", 1, 40, qint64(7), 12}, {none, 3, 60, qint64(3), 30});
        with("tune_channel", C::TuneChannel, {{"number", qint64(5000000000)}},
             fieldsOf<TuneChannelCommand>([](const auto& c) { return QVariantList{c.number}; }), {qint64(5000000000)},
             {qint64(-1)});
        with("vemo_reset", C::VemoReset, {{"name", "graphics"}},
             fieldsOf<VemoResetCommand>([](const auto& c) { return QVariantList{c.name, int(c.resetType())}; }),
             {"graphics", int(VemoResetType::Graphics)}, {none, int(VemoResetType::Unknown)});
    }

    void commands()
    {
        QFETCH(QString, eventCode);
        QFETCH(int, code);
        QFETCH(bool, withOptions);
        QFETCH(QJsonObject, options);
        QFETCH(Fields, fields);
        QFETCH(QVariantList, given);
        QFETCH(QVariantList, defaults);
        QTest::failOnWarning(QRegularExpression("."));

        const QString eventType = withOptions ? QStringLiteral("options") : QString();
        const auto command =
            build({{"event_code", eventCode}, {"event_type", eventType}, {"command_id", 7}, {"options", options}});
        QVERIFY(command);
        QCOMPARE(int(command->eventCode), code);
        QCOMPARE(command->eventType,
                 withOptions ? tq::NotificationEventType::Options : tq::NotificationEventType::NoEventType);
        QCOMPARE(command->priority, tq::NotificationPriority::Low);
        QCOMPARE(static_cast<const Command&>(*command).commandId, 7);
        QCOMPARE(fields(*command), given);

        for (const QJsonObject& bare : {QJsonObject{{"event_code", eventCode}, {"event_type", eventType}},
                                        QJsonObject{{"event_code", eventCode}, {"event_type", eventType},
                                                    {"options", QJsonObject()}}}) {
            const auto defaulted = build(bare);
            QCOMPARE(static_cast<const Command&>(*defaulted).commandId, -1);
            QCOMPARE(fields(*defaulted), defaults);
        }
    }

    void dictionaries()
    {
        fake::checkWireTable(updateModeTypeDictionary(), {{"normal", 1}, {"force", 2}}, {0}, 0);
        fake::checkWireTable(vemoResetTypeDictionary(),
                             {{"factory", 1}, {"outputs", 2}, {"graphics", 3}, {"network", 4}, {"audio", 5}}, {0}, 0);
    }

    void errorReasons()
    {
        const QStringList texts{"", "Unknown command", "Bad command", "Busy", "Internal error", "External error"};
        for (int reason = 0; reason < texts.size(); ++reason) {
            const CommandsError error{ErrorReasonType(reason), QStringLiteral("d")};
            QCOMPARE(error.toJson(), (QJsonObject{{"reason", texts[reason]}, {"details", "d"}}));
        }
    }

    // The poller keeps its schedule whatever the service answers.
    void pollerNeverStops()
    {
        stbconfig::ConfigurationManager store;
        fake::FakeHttpServer service;
        ConfigWrapper(&store).setUrl(service.baseUrl() + "/rdm/api/v1", stbconfig::Runtime);
        store.setValue("RDM", "requestPollMinInterval", 120, stbconfig::Runtime);
        store.setValue("RDM", "requestPollMaxInterval", 120, stbconfig::Runtime);
        const QList<fake::HttpResponse> answers{
            fake::HttpResponse::json(200, QJsonObject{{"event_code", "ping"}, {"command_id", 1}, {"options", QJsonObject{{"host", "h"}}}}),
            fake::HttpResponse::withBody(200, "application/json", "{\"event_code\": "),
            fake::HttpResponse::json(200, QJsonObject{{"event_code", "self_destruct"}, {"command_id", 9}}),
            fake::HttpResponse::withBody(500, "text/plain", "down"),
            fake::HttpResponse::json(200, QJsonObject()),
            fake::HttpResponse::json(200, QJsonObject{{"event_code", "reboot"}, {"command_id", 2}}),
        };
        int served = 0;
        service.route("GET", "/rdm/api/v1/user/commands/poll", [&](const fake::HttpRequest&) {
            return answers.value(served++, fake::HttpResponse::json(200, QJsonObject()));
        });
        service.route("POST", "/rdm/api/v1/user/commands/9/report", [](const fake::HttpRequest&) {
            return fake::HttpResponse::json(200, QJsonObject{{"success", true}});
        });

        stbcore::FixedPropertyProvider provider;
        tq::TqContext context(&store);
        context.setPropertyProvider(&provider);
        tq::ManualClock clock;
        CommandsPoller poller(&context, &store);
        poller.setClock(&clock);
        poller.macAddress = "AB";
        QSignalSpy commands(&poller, &CommandsPoller::commandReceived);
        QSignalSpy scheduled(&poller, &CommandsPoller::nextPollScheduled);
        poller.start();
        for (int poll = 1; poll <= 7; ++poll) {
            QTRY_COMPARE(scheduled.size(), poll);
            QCOMPARE(scheduled.last().first().toLongLong(), 120);
            clock.advance(120 * 1000);
        }
        QCOMPARE(commands.size(), 2);
        const auto ping = qSharedPointerCast<PingCommand>(commands.at(0).first().value<QSharedPointer<Command>>());
        QCOMPARE(ping->eventCode, tq::NotificationEventCode::Ping);
        QCOMPARE(ping->host, QStringLiteral("h"));
        QCOMPARE(commands.at(1).first().value<QSharedPointer<Command>>()->commandId, 2);
        QCOMPARE(service.requestCount("/rdm/api/v1/user/commands/9/report"), 1);
        const auto reports = service.requests();
        const auto unknown = std::find_if(reports.begin(), reports.end(), [](const fake::HttpRequest& r) {
            return r.path.endsWith("/9/report");
        });
        QCOMPARE(QJsonDocument::fromJson(unknown->body)["error"]["reason"].toString(), QStringLiteral("Unknown command"));
        QCOMPARE(service.requests().first().query.queryItemValue("mac_address"), QStringLiteral("ab"));

        poller.stop();
        // Unusable limits fall back to 300..900 s; limits below a minute are raised to it.
        store.setValue("RDM", "requestPollMinInterval", 1000, stbconfig::Runtime);
        store.setValue("RDM", "requestPollMaxInterval", 500, stbconfig::Runtime);
        poller.start();
        QTRY_COMPARE(scheduled.size(), 8);
        QVERIFY(scheduled.last().first().toLongLong() >= 300 && scheduled.last().first().toLongLong() <= 900);
        poller.stop();
        store.setValue("RDM", "requestPollMinInterval", 0, stbconfig::Runtime);
        store.setValue("RDM", "requestPollMaxInterval", 0, stbconfig::Runtime);
        QTest::ignoreMessage(QtWarningMsg, "[2] CommandsPoller: poll interval limits [0, 0] s raised to the floor of 60 s");
        poller.start();
        QTRY_COMPARE(scheduled.size(), 9);
        QCOMPARE(scheduled.last().first().toLongLong(), 60);
        const int polls = service.requestCount("/rdm/api/v1/user/commands/poll");
        clock.advance(59 * 1000);
        QCOMPARE(clock.nextTimeoutMs(), 1000); // no busy loop: the next poll is a minute after the last
        clock.advance(1000);
        QTRY_COMPARE(service.requestCount("/rdm/api/v1/user/commands/poll"), polls + 1);
        poller.stop();
        QVERIFY(!poller.isActive());
    }

    // The host may delete or stop the poller from inside its signals.
    void hostEndsPollerInItsSignals_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("deleted in commandReceived") << "command" << true;
        QTest::newRow("deleted in nextPollScheduled") << "scheduled" << true;
        QTest::newRow("stopped in commandReceived") << "command" << false;
    }

    void hostEndsPollerInItsSignals()
    {
        QFETCH(QString, signal);
        QFETCH(bool, deletes);
        stbconfig::ConfigurationManager store;
        fake::FakeHttpServer service;
        ConfigWrapper(&store).setUrl(service.baseUrl() + "/rdm/api/v1", stbconfig::Runtime);
        service.route("GET", "/rdm/api/v1/user/commands/poll", [](const fake::HttpRequest&) {
            return fake::HttpResponse::json(200, QJsonObject{{"event_code", "reboot"}, {"command_id", 5}});
        });
        stbcore::FixedPropertyProvider provider;
        tq::TqContext context(&store);
        context.setPropertyProvider(&provider);
        tq::ManualClock clock;
        auto* poller = new CommandsPoller(&context, &store);
        poller->setClock(&clock);
        QPointer<CommandsPoller> alive(poller);
        bool ended = false;
        const auto end = [&] {
            ended = true;
            if (deletes)
                delete poller;
            else
                poller->stop();
        };
        if (signal == "command")
            connect(poller, &CommandsPoller::commandReceived, this, end);
        else
            connect(poller, &CommandsPoller::nextPollScheduled, this, end);
        poller->start();
        QTRY_VERIFY(ended);
        QCOMPARE(alive.isNull(), deletes);
        QCOMPARE(clock.activeTimers(), 0); // no poll will follow
        delete alive.data();
    }
};

QTEST_GUILESS_MAIN(TestRdm)
#include "tst_rdm.moc"
