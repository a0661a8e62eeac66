// The shopping-banner service's answers: the dictionaries and every key as written here; then
// numbers sent as text, texts sent as numbers, lists with elements that are not objects, the
// validity rules the host renders by, and the log events' sparse encoding.

#include "jsonfixture.h"
#include "wiretable.h"

#include "ads/getshop.h"
#include "model/decode.h"

#include <QtTest>

using namespace gs;
using fake::json;



class TestGetShop : public QObject
{
    Q_OBJECT

private slots:
    void dictionaries_data()
    {
        QTest::addColumn<std::function<void()>>("check");
        const auto row = [](const auto& dictionary, const fake::WireTable& table, const QList<int>& without) {
            using E = std::decay_t<decltype(dictionary.value(QString()))>;
            QTest::newRow(QMetaEnum::fromType<E>().name())
                << std::function<void()>([&dictionary, table, without] { fake::checkWireTable(dictionary, table, without, 0); });
        };
        row(eventTypeDictionary(), {{"banner", 1}, {"playlist_update", 2}}, {0});
        row(commandTypeDictionary(), {{"$close", 2}, {"$back", 3}, {"$newcode", 4}, {"$add", 5}, {"$apply", 6},
            {"$delete_choosed", 7}, {"$confirm_phone", 8}, {"$scroll_up", 9}, {"$scroll_down", 10}}, {0, 1});
        row(pageTypeDictionary(), {{"new", 1}, {"code", 2}, {"confirm", 3}, {"info", 4}}, {0});
        row(inputTypeDictionary(), {{"phone", 1}, {"code", 2}}, {0});
        row(captionTypeDictionary(), {{"input_normal", 1}, {"input_error", 2}, {"input_success", 4}}, {0, 3});
        row(bannerCloseTypeDictionary(), {{"ad_end", 1}, {"microsite_close", 2}}, {0});
        row(timerModeDictionary(), {{"reset_on_visit", 1}, {"pause_on_leave", 2}, {"continue_on_leave", 3}}, {0});
        row(updateModeDictionary(), {{"only_text", 1}, {"only_image", 2}, {"entire_banner", 3}}, {0});
    }

    void dictionaries()
    {
        QFETCH(std::function<void()>, check);
        check();
    }

    void remoteKeys()
    {
        QCOMPARE(remoteKeyNames(), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "ok", "left", "right",
                                                "up", "down", "back", "delete"}));
    }

    // Every key of each answer, read and written back as it came.
    void answerKeys_data()
    {
        QTest::addColumn<fake::AnswerKeys>("check");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("playlist") << fake::answerKeys<PlaylistResponse>() << json(
            "{'device_timestamp': 1700000000, 'events': [{'type': 'banner', 'id': 'e1', 'datetime': 1700000100,"
            " 'banner': {'datetime': 1700000100, 'duration': 15, 'caption': 'Sale', 'image': 'http://img/b.png',"
            "  'audit_pixels': {'view': ['http://px/v'], 'click': ['http://px/c']},"
            "  'auto_update': {'id': '42', 'rate': 60, 'mode': 'entire_banner'}, 'has_microsite': true}}]}");
        QTest::newRow("microsite") << fake::answerKeys<Microsite>() << json(
            "{'banner_close_type': 'ad_end', 'microsite_close_time': 30, 'terms': 'T&C', 'screens': [{"
            " 'id': 's1', 'background': 'http://img/bg.png', 'type': 'code',"
            " 'images': [{'image': 'http://img/1.png', 'left': 1, 'top': 2, 'width': 3, 'height': 4}],"
            " 'captions': [{'text': 'Code', 'top': 5, 'left': 6, 'type': 'input_success', 'text_font_size': 24}],"
            " 'controls': [{'id': 'b1', 'target': '$apply', 'images': {'blur': 'http://img/b', 'focus': 'http://img/f'},"
            "               'timer_top': 7, 'timer_left': 8, 'text_font_size': 20}],"
            " 'input': {'type': 'code', 'mask': '____', 'target': 's2', 'text_font_size': 18,"
            "           'left': 9, 'top': 10, 'width': 11, 'height': 12},"
            " 'text_area': {'text_url': 'http://txt/t', 'text_font_size': 16, 'left': 13, 'top': 14, 'width': 15, 'height': 16},"
            " 'timer': {'id': '3', 'mode': 'continue_on_leave', 'duration': 60, 'text': {'mask': 'mm:ss', 'text_font_size': 17},"
            "           'target': '$close'},"
            " 'auto_update': {'rate': 5}}]}");
        QTest::newRow("client info") << fake::answerKeys<ClientInfoResponse>()
                                     << json("{'phones': [{'id': 'p1', 'phone': '79990001122', 'verified': true}]}");
        QTest::newRow("text") << fake::answerKeys<TextResponse>() << json("{'text': 'Terms'}");
    }

    void answerKeys()
    {
        QFETCH(fake::AnswerKeys, check);
        QFETCH(QByteArray, answer);
        check(answer);
    }

    void playlist()
    {
        const PlaylistResponse playlist = tq::decodeJson<PlaylistResponse>(json(
            "{'device_timestamp': '1700000000', 'events': ["
            " {'type': 'banner', 'id': 'e1', 'datetime': '1700000100', 'banner': {'datetime': 1700000100,"
            "  'duration': 15, 'caption': 'Sale', 'image': 'http://img/b.png', 'has_microsite': true,"
            "  'audit_pixels': {'view': ['http://px/v1', 'http://px/v2'], 'click': ['http://px/c']},"
            "  'auto_update': {'id': 42, 'rate': 60, 'mode': 'only_image'}}},"
            " 7, 'text', null,"
            " {'type': 'playlist_update', 'datetime': 1700000200},"
            " {'type': 'Banner', 'datetime': '12abc'}]}")).value<PlaylistResponse>();
        QCOMPARE(playlist.deviceTimestamp, 1700000000);
        QCOMPARE(playlist.events.size(), 3);
        const Event& shown = playlist.events[0];
        QCOMPARE(shown.type, EventType::BannerDisplay);
        QCOMPARE(shown.datetime, 1700000100);
        QCOMPARE(shown.banner.auditPixels.view, QStringList({"http://px/v1", "http://px/v2"}));
        QCOMPARE(shown.banner.auditPixels.click, QStringList{"http://px/c"});
        QCOMPARE(shown.banner.autoUpdate.id, QStringLiteral("42"));
        QCOMPARE(shown.banner.autoUpdate.mode, UpdateMode::OnlyImage);
        QCOMPARE(playlist.events[1].type, EventType::PlaylistUpdate);
        QCOMPARE(playlist.events[1].datetime, 1700000200);
        QCOMPARE(playlist.events[2].type, EventType::Unknown); // names are case-sensitive
        QCOMPARE(playlist.events[2].datetime, 0);
    }

    void micrositeScreens()
    {
        const Microsite site = tq::decodeJson<Microsite>(json(
            "{'banner_close_type': 'microsite_close', 'microsite_close_time': 30, 'terms': 'T&C', 'screens': [1,"
            " {'id': 's1', 'background': 'http://img/bg.png', 'type': 'new',"
            "  'images': [{'image': 'http://img/1.png', 'left': 10, 'top': 20, 'width': 100, 'height': 50}, 'junk',"
            "             {'image': '', 'width': 1, 'height': 1}, {'image': 'http://img/2.png', 'width': -1}],"
            "  'captions': [{'text': 'Phone', 'top': '10', 'left': 20, 'type': 'input_error', 'text_font_size': 24},"
            "               {'text': '', 'type': 'input_timer_error'}],"
            "  'controls': [{'id': 'b1', 'target': '$scroll_down', 'images': {'blur': 'http://img/b', 'focus': 'http://img/f'},"
            "                'timer_top': '5', 'timer_left': 6, 'text_font_size': 20}, {'id': 'b2', 'target': 's2'}],"
            "  'input': {'type': 'phone', 'mask': '+7 (___)', 'target': 's2', 'left': 1, 'top': 2, 'width': 300, 'height': 40},"
            "  'text_area': {'text_url': 'http://txt/terms', 'text_font_size': 16, 'width': 0, 'height': 0},"
            "  'timer': {'id': 3, 'mode': 'pause_on_leave', 'duration': 60, 'text': {'mask': 'mm:ss', 'text_font_size': 18},"
            "            'target': '$close'},"
            "  'auto_update': {'rate': 5}}]}")).value<Microsite>();
        QCOMPARE(site.bannerCloseType, BannerCloseType::CloseImmediately);
        QCOMPARE(site.screens.size(), 1);
        const Screen& screen = site.screens[0];
        QCOMPARE(screen.type, ScreenType::PhoneNew);
        QCOMPARE(screen.images.size(), 3);
        QCOMPARE(screen.images[0].rect(), QRect(10, 20, 100, 50));
        QVERIFY(screen.images[0].isValid());
        QVERIFY(!screen.images[1].isValid()); // no address
        QVERIFY(!screen.images[2].isValid()); // negative width
        QCOMPARE(screen.captions[0].top, 10);
        QCOMPARE(screen.captions[0].type, CaptionType::InputError);
        QCOMPARE(screen.captions[1].type, CaptionType::Unknown); // InputTimerError has no name
        QVERIFY(!screen.captions[1].isValid());
        QCOMPARE(screen.controls[0].command(), CommandType::ScrollDown);
        QCOMPARE(screen.controls[0].timerTop, 5);
        QCOMPARE(screen.controls[1].command(), CommandType::Unknown); // a screen id
        QVERIFY(screen.input.isValid());
        QCOMPARE(screen.input.type, InputType::Phone);
        QVERIFY(screen.textArea.isValid()); // an empty rectangle is still a valid one
        QCOMPARE(screen.timer.id, QStringLiteral("3"));
        QCOMPARE(screen.timer.mode, TimerMode::PauseOnLeave);
    }

    void answersThatAreNoObject_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array") << QByteArray("[{\"phones\": []}]");
        QTest::newRow("not JSON") << QByteArray("<html>502</html>");
        QTest::newRow("empty object") << QByteArray("{}");
    }

    void answersThatAreNoObject()
    {
        QFETCH(QByteArray, body);
        const QVariant answer = tq::decodeJson<ClientInfoResponse>(body);
        QVERIFY(answer.canConvert<ClientInfoResponse>());
        QVERIFY(answer.value<ClientInfoResponse>().phones.isEmpty());
    }

    // A full event and a message-only one are in tst_adrequests' log-events row.
    void logEventEncoding_data()
    {
        QTest::addColumn<qint64>("timestamp");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("negative time") << qint64(-5) << "" << "ok" << json("{'key':'ok'}");
        QTest::newRow("nothing set") << qint64(0) << "" << "" << QByteArray("{}");
    }

    void logEventEncoding()
    {
        QFETCH(qint64, timestamp);
        QFETCH(QString, message);
        QFETCH(QString, key);
        QFETCH(QByteArray, encoded);
        LogEvent event;
        event.timestamp = timestamp;
        event.message = message;
        event.key = key;
        QCOMPARE(QJsonDocument(event.toJson()).toJson(QJsonDocument::Compact), encoded);
    }
};

QTEST_GUILESS_MAIN(TestGetShop)
#include "tst_getshop.moc"
