#pragma once
// Checks of wire texts against what a test writes out.

#include "model/constantsdictionary.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>

#include <utility>

namespace fake {

using WireTable = QList<std::pair<QString, int>>;

// Holds a wire-string dictionary to a table: each text decodes to its number (also from UTF-8
// bytes, as the CBOR reader looks it up) and the number encodes back to that text; the
// dictionary holds no other text; members without a text encode to an empty one; a text it
// does not hold, in another case or padded, decodes to `unknown`.
template<class E>
void checkWireTable(const tq::ConstantsDictionary<QString, E>& dictionary, const WireTable& table,
                    const QList<int>& without, int unknown)
{
    QStringList texts;
    for (const auto& [text, number] : table) {
        texts.append(text);
        QCOMPARE(int(dictionary.value(text)), number);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(int(dictionary.valueUtf8(utf8.constData(), utf8.size())), number);
        // Two texts may share a number; the one written back is then either of them.
        QStringList sameNumber;
        for (const auto& entry : table) {
            if (entry.second == number)
                sameNumber.append(entry.first);
        }
        const QString encoded = dictionary.key(E(number));
        QVERIFY2(sameNumber.contains(encoded), qPrintable(QStringLiteral("%1 encodes to '%2'").arg(number).arg(encoded)));
    }
    QCOMPARE(int(dictionary.size()), int(table.size()));
    for (int number : without)
        QCOMPARE(dictionary.key(E(number)), QString());

    QStringList misses{QStringLiteral("no such text"), QString()};
    for (const QString& text : std::as_const(texts))
        misses << text.toUpper() << text.toLower() << QLatin1Char(' ') + text;
    for (const QString& miss : std::as_const(misses)) {
        if (!texts.contains(miss))
            QVERIFY2(int(dictionary.value(miss)) == unknown, qPrintable(QStringLiteral("'%1' is no miss").arg(miss)));
    }
}

// Decodes an answer written with every key of its object and writes it back: the keys read
// are the keys written, and no key is lost or added on the way.
template<class T>
void checkAnswerKeys(const QByteArray& answer)
{
    const QJsonObject sent = QJsonDocument::fromJson(answer).object();
    QVERIFY(!sent.isEmpty());
    T object;
    object.fromJson(sent);
    QCOMPARE(object.toJson(), sent);
}

using AnswerKeys = std::function<void(const QByteArray&)>;

template<class T>
AnswerKeys answerKeys()
{
    return &checkAnswerKeys<T>;
}

} // namespace fake

Q_DECLARE_METATYPE(fake::AnswerKeys)
