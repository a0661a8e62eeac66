// Wire strings of the enumerations: decoding, misses, encoding and the odd members.

#include "model/enums.h"

#include <QMetaEnum>
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

        QTest::newRow("purchase status wait_payment") << "PurchaseStatus" << "wait_payment" << 5 << "wait_payment";
        QTest::newRow("ticket status wait_payment") << "TicketStatus" << "wait_payment" << 2 << "wait_payment";
        QTest::newRow("ticket unknown has a text") << "TicketStatus" << "undefined" << 0 << "undefined";
        QTest::newRow("ticket miss") << "TicketStatus" << "cancelled" << 0 << "undefined";
        QTest::newRow("media item is case-sensitive") << "MediaItemType" << "Film" << 0 << "";
        QTest::newRow("media item film") << "MediaItemType" << "film" << 1 << "film";
        QTest::newRow("payment method first is 0") << "PaymentMethod" << "account_prepaid" << 0 << "account_prepaid";
        QTest::newRow("payment method miss is 6") << "PaymentMethod" << "cash" << 6 << "";
        QTest::newRow("payment method empty is 6") << "PaymentMethod" << "" << 6 << "";
        QTest::newRow("purchase type media_item is 2") << "PurchaseType" << "media_item" << 2 << "media_item";
        QTest::newRow("purchase type service is 1") << "PurchaseType" << "service" << 1 << "service";
        QTest::newRow("usage model UNKNOWN") << "UsageModel" << "UNKNOWN" << 0 << "UNKNOWN";
        QTest::newRow("usage model empty") << "UsageModel" << "" << 6 << "";
        QTest::newRow("usage model miss") << "UsageModel" << "RENT" << 0 << "UNKNOWN";
        QTest::newRow("quality 3D") << "QualityType" << "3D" << 3 << "3D";
        QTest::newRow("quality 4K") << "QualityType" << "4K" << 4 << "4K";
        QTest::newRow("quality lower case") << "QualityType" << "hd" << 0 << "";
        QTest::newRow("profile hotel guest") << "ProfileType" << "btb_hotel_guest" << 4 << "btb_hotel_guest";
        QTest::newRow("request action merge") << "RequestAction" << "merge_accounts" << 13 << "merge_accounts";
        QTest::newRow("duration day") << "DurationUnit" << "day" << 4 << "day";
        QTest::newRow("notification popup") << "NotificationDisplayType" << "popup" << 2 << "popup";
        QTest::newRow("error details") << "ErrorDetailsKey" << "media_view_alias" << 3 << "media_view_alias";
    }

    void wireStrings()
    {
        QFETCH(QString, dictionary);
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, encoded);
        if (dictionary == "PurchaseStatus")
            check(purchaseStatusDictionary(), text, number, encoded);
        else if (dictionary == "TicketStatus")
            check(ticketStatusDictionary(), text, number, encoded);
        else if (dictionary == "MediaItemType")
            check(mediaItemsDictionary(), text, number, encoded);
        else if (dictionary == "PaymentMethod")
            check(paymentMethodDictionary(), text, number, encoded);
        else if (dictionary == "PurchaseType")
            check(purchaseTypesDictionary(), text, number, encoded);
        else if (dictionary == "UsageModel")
            check(usageModelsDictionary(), text, number, encoded);
        else if (dictionary == "QualityType")
            check(qualityTypesDictionary(), text, number, encoded);
        else if (dictionary == "ProfileType")
            check(profileTypesDictionary(), text, number, encoded);
        else if (dictionary == "RequestAction")
            check(requestActionDictionary(), text, number, encoded);
        else if (dictionary == "DurationUnit")
            check(durationUnitDictionary(), text, number, encoded);
        else if (dictionary == "NotificationDisplayType")
            check(NotificationDisplayTypeDictionary(), text, number, encoded);
        else if (dictionary == "ErrorDetailsKey")
            check(errorDetailsKeysDictionary(), text, number, encoded);
        else
            QFAIL("no such dictionary in the test");
    }

    void membersWithoutWireString_data()
    {
        QTest::addColumn<QString>("encoded");
        QTest::addColumn<QString>("expected");
        QTest::newRow("week") << durationUnitDictionary().key(DurationUnit::Week) << "";
        QTest::newRow("persons banner") << bannerSizeDictionary().key(BannerSize::Persons) << "";
        QTest::newRow("reset pin code") << availableActionDictionary().key(AvailableAction::ResetPinCode) << "";
        QTest::newRow("not purchased") << usageModelsDictionary().key(UsageModel::NotPurchased) << "";
        QTest::newRow("payment unknown") << paymentMethodDictionary().key(PaymentMethod::Unknown) << "";
        QTest::newRow("usage unknown alias") << usageModelsDictionary().key(UsageModel::Unknown) << "UNKNOWN";
    }

    void membersWithoutWireString()
    {
        QFETCH(QString, encoded);
        QFETCH(QString, expected);
        QCOMPARE(encoded, expected);
    }

    void subscribeMode_data()
    {
        QTest::addColumn<int>("wire");
        QTest::addColumn<SubscribeMode>("mode");
        QTest::newRow("0") << 0 << SubscribeMode::CanNotSubcribeAndCanNotUnsubscribe;
        QTest::newRow("1") << 1 << SubscribeMode::CanSubscribeAndCanUnsubscribe;
        QTest::newRow("2") << 2 << SubscribeMode::CanSubscribeAndCanNotUnsubscribe;
        QTest::newRow("7") << 7 << SubscribeMode::Unknown;
        QTest::newRow("-1") << -1 << SubscribeMode::Unknown;
    }

    void subscribeMode()
    {
        QFETCH(int, wire);
        QFETCH(SubscribeMode, mode);
        QCOMPARE(subscribeModeDictionary().value(wire), mode);
        QCOMPARE(int(SubscribeMode::Unknown), 3);
    }

    // Names come from the namespace's meta-object, for logs and QVariant conversion.
    void namesByReflection_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("enumeration");
        QTest::addColumn<QString>("member");
        QTest::newRow("quality") << QString::fromLatin1(QMetaEnum::fromType<QualityType>().valueToKey(3))
                                 << "QualityType" << "The3D";
        QTest::newRow("payment") << QString::fromLatin1(QMetaEnum::fromType<PaymentMethod>().valueToKey(6))
                                 << "PaymentMethod" << "Unknown";
        QTest::newRow("voice") << QVariant::fromValue(VoiceAssistVolumeCommandType::Unmute).toString()
                               << "VoiceAssistVolumeCommandType" << "Unmute";
    }

    void namesByReflection()
    {
        QFETCH(QString, name);
        QFETCH(QString, member);
        QCOMPARE(name, member);
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
