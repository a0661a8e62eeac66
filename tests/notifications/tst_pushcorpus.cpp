// Replays the seeds of the notification and device-management fuzzers (and the shared JSON
// conformance corpus when it is on the machine) through the fuzzers' entry points.

#include "pushentries.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tq::fuzzing;

namespace {

using Entry = int (*)(const uint8_t*, size_t);

int feed(Entry entry, const QByteArray& input)
{
    return entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
}

} // namespace

class TestPushCorpus : public QObject
{
    Q_OBJECT

private slots:
    void seeds_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("file");
        for (const QString& target : {QStringLiteral("notification_json"), QStringLiteral("rdm_command")}) {
            const QDir dir(QStringLiteral(TQ_FUZZ_CORPUS "/") + target);
            const QStringList files = dir.entryList(QDir::Files, QDir::Name);
            QVERIFY2(!files.isEmpty(), qPrintable("no seeds in " + dir.path()));
            for (const QString& file : files)
                QTest::newRow(qPrintable(target + "/" + file)) << target << dir.filePath(file);
        }
    }

    void seeds()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        QFile input(file);
        QVERIFY(input.open(QIODevice::ReadOnly));
        QCOMPARE(feed(target == "rdm_command" ? rdmCommandJson : notificationJson, input.readAll()), 0);
    }

    void jsonTestSuite()
    {
        const QDir dir(qEnvironmentVariable("TQ_CORPORA") + "/json/test_parsing");
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("shared JSON corpus not found (TQ_CORPORA)");
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray document = file.readAll();
            QCOMPARE(feed(notificationJson, "{\"event_code\": \"message\", \"display\": " + document + "}"), 0);
            QCOMPARE(feed(rdmCommandJson, document), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestPushCorpus)
#include "tst_pushcorpus.moc"
