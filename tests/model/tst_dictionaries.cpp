// The dictionary rules on a few enumerations: misses, case, the empty text, an unknown
// member with or without a text of its own; and round trips of whole dictionaries.

#include "model/enums.h"

#include <QTest>

using namespace tq;

class TestDictionaries : public QObject
{
    Q_OBJECT

private:
    // Every check goes through the same three questions: text -> number, number -> text,
    // and whether the text is a key at all.
    template<class E>
    static void check(const ConstantsDictionary<QString, E>& dictionary, const QString& text, int number,
                      const QString& encoded)
    {
        QCOMPARE(int(dictionary.value(text)), number);
        QCOMPARE(dictionary.key(E(number)), encoded);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(int(dictionary.valueUtf8(utf8.constData(), utf8.size())), number);
    }

private slots:
    void wireStrings_data()
    {
        QTest::addColumn<QString>("dictionary");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("encoded"); // what the decoded number encodes back to

        QTest::newRow("ticket unknown has a text") << "TicketStatus" << "undefined" << 0 << "undefined";
        QTest::newRow("ticket miss") << "TicketStatus" << "cancelled" << 0 << "undefined";
        QTest::newRow("media item is case-sensitive") << "MediaItemType" << "Film" << 0 << "";
        QTest::newRow("payment method miss is 6") << "PaymentMethod" << "cash" << 6 << "";
        QTest::newRow("payment method empty is 6") << "PaymentMethod" << "" << 6 << "";
        QTest::newRow("usage model UNKNOWN") << "UsageModel" << "UNKNOWN" << 0 << "UNKNOWN";
        QTest::newRow("usage model empty") << "UsageModel" << "" << 6 << "";
        QTest::newRow("usage model miss") << "UsageModel" << "RENT" << 0 << "UNKNOWN";
        QTest::newRow("quality, a later entry") << "QualityType" << "4K" << 4 << "4K";
        QTest::newRow("quality lower case") << "QualityType" << "hd" << 0 << "";
    }

    void wireStrings()
    {
        QFETCH(QString, dictionary);
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, encoded);
        if (dictionary == "TicketStatus")
            check(ticketStatusDictionary(), text, number, encoded);
        else if (dictionary == "MediaItemType")
            check(mediaItemsDictionary(), text, number, encoded);
        else if (dictionary == "PaymentMethod")
            check(paymentMethodDictionary(), text, number, encoded);
        else if (dictionary == "UsageModel")
            check(usageModelsDictionary(), text, number, encoded);
        else if (dictionary == "QualityType")
            check(qualityTypesDictionary(), text, number, encoded);
        else
            QFAIL("no such dictionary in the test");
    }

    // Every dictionary of a representative set encodes each of its keys back to itself.
    void keysRoundTrip()
    {
        auto roundTrips = [](const auto& dictionary, const QStringList& keys) {
            QCOMPARE(dictionary.size(), keys.size());
            for (const QString& key : keys)
                QCOMPARE(dictionary.key(dictionary.value(key)), key);
        };
        roundTrips(voiceAssistPlaybackCommandTypeDictionary(),
                   {"pause", "play", "forward", "backward", "start", "set_position"});
        roundTrips(accountStatusTypesDictionary(),
                   {"ACTIVE", "NOTACTIVE", "BLOCKED", "CLOSED", "DELETED", "CHECKOUT", "EMPTY"});
        roundTrips(serviceStatusDictionary(),
                   {"subscribed", "subscribed_in_external_billing", "subscribe_requested",
                    "unsubscribe_requested", "subscribe_processing", "unsubscribe_processing",
                    "cancel_subscribe_requested", "cancel_unsubscribe_requested"});
        roundTrips(usageModelsDictionary(), {"UNKNOWN", "EST", "TVOD", "AVOD", "SERVICE", "FREE", ""});
    }
};

QTEST_GUILESS_MAIN(TestDictionaries)
#include "tst_dictionaries.moc"
