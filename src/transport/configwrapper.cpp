#include "transport/configwrapper.h"

#include "platform/logging.h"

#include <QJsonDocument>

#include <algorithm>

using std::chrono::seconds;
using stbconfig::SettingsType;

namespace tq {
namespace {

const QString& sessionGroup() { static const QString g = QStringLiteral("TqClientFacade"); return g; }
const QString& sessionKey() { static const QString k = QStringLiteral("session_id"); return k; }

QSet<qint64> integerSet(const QVariant& value)
{
    QSet<qint64> result;
    for (const QVariant& item : value.toList())
        result.insert(item.toLongLong());
    return result;
}

} // namespace

// ---- ConfigView ----

QVariant ConfigView::value(const QString& group, const QString& key, const QVariant& def) const
{
    return m_store->value(group, key, def);
}

QString ConfigView::string(const QString& group, const QString& key) const
{
    return value(group, key).toString();
}

bool ConfigView::flag(const QString& group, const QString& key, const QVariant& def) const
{
    return value(group, key, def).toBool();
}

int ConfigView::integer(const QString& group, const QString& key, int def) const
{
    return value(group, key, def).toInt();
}

seconds ConfigView::seconds(const QString& group, const QString& key, int def) const
{
    return std::chrono::seconds(static_cast<qint64>(integer(group, key, def)));
}

void ConfigView::setRuntimeValue(const QString& group, const QString& key, const QVariant& v)
{
    m_store->setValue(group, key, v, stbconfig::Runtime);
}

void ConfigView::removeRuntimeValue(const QString& group, const QString& key)
{
    m_store->removeValue(group, key, stbconfig::Runtime);
}

// ---- TqConfigWrapper: the table ----

#define TQ_CONFIG_DEF_STR(get, group, key)                                                         \
    QString TqConfigWrapper::get() const { return string(QStringLiteral(group), QStringLiteral(key)); }
#define TQ_CONFIG_DEF_STR_RT(get, set, group, key)                                                 \
    TQ_CONFIG_DEF_STR(get, group, key)                                                              \
    void TqConfigWrapper::set(const QString& v) { setRuntimeValue(QStringLiteral(group), QStringLiteral(key), v); }
#define TQ_CONFIG_DEF_BOOL(get, group, key, def)                                                   \
    bool TqConfigWrapper::get() const { return flag(QStringLiteral(group), QStringLiteral(key), def); }
#define TQ_CONFIG_DEF_BOOL_RT(get, set, group, key, def)                                           \
    TQ_CONFIG_DEF_BOOL(get, group, key, def)                                                        \
    void TqConfigWrapper::set(bool v) { setRuntimeValue(QStringLiteral(group), QStringLiteral(key), v); }
#define TQ_CONFIG_DEF_INT(get, group, key, def)                                                    \
    int TqConfigWrapper::get() const { return integer(QStringLiteral(group), QStringLiteral(key), def); }
#define TQ_CONFIG_DEF_SECS(get, group, key, def)                                                   \
    seconds TqConfigWrapper::get() const { return seconds(QStringLiteral(group), QStringLiteral(key), def); }
#define TQ_CONFIG_DEF_EXPIRY(get, group)                                                           \
    seconds TqConfigWrapper::get() const { return connectionCacheExpiryTimeout(QStringLiteral(group)); }
#define TQ_CONFIG_DEF_REMOVE(name, group, key)                                                     \
    void TqConfigWrapper::name() { removeRuntimeValue(QStringLiteral(group), QStringLiteral(key)); }
#define TQ_CONFIG_DEFINE(kind, ...) TQ_CONFIG_DEF_##kind(__VA_ARGS__)

TQ_CONFIG_TABLE(TQ_CONFIG_DEFINE)

// ---- TqConfigWrapper: accessors with rules of their own ----

QString TqConfigWrapper::tqGroup() { return QStringLiteral("TQ"); }
QString TqConfigWrapper::spyUrlKey() { return QStringLiteral("spyUrl"); }

void TqConfigWrapper::setDeviceUid(const QString& uid)
{
    m_store->setValue(sessionGroup(), QStringLiteral("uid"), uid, stbconfig::Authorization);
}

void TqConfigWrapper::clearDeviceUid()
{
    m_store->removeValue(sessionGroup(), QStringLiteral("uid"), stbconfig::Authorization);
}

void TqConfigWrapper::setFingerprint(const QString& fingerprint)
{
    m_store->setValue(sessionGroup(), QStringLiteral("fingerprint"), fingerprint, stbconfig::Authorization);
}

void TqConfigWrapper::clearFingerprint()
{
    m_store->removeValue(sessionGroup(), QStringLiteral("fingerprint"), stbconfig::Authorization);
}

bool TqConfigWrapper::isAuthStorageAvailable() const
{
    return m_store->storageAvailable(stbconfig::Authorization);
}

bool TqConfigWrapper::hasSession() const
{
    return value(sessionGroup(), sessionKey()).isValid();
}

void TqConfigWrapper::setSessionId(const QString& id)
{
    removeRuntimeValue(sessionGroup(), sessionKey());
    m_store->setValue(sessionGroup(), sessionKey(), id, stbconfig::Authorization);
}

void TqConfigWrapper::setTemporarySessionId(const QString& id)
{
    setRuntimeValue(sessionGroup(), sessionKey(), id);
}

void TqConfigWrapper::clearTemporarySessionId()
{
    removeRuntimeValue(sessionGroup(), sessionKey());
}

void TqConfigWrapper::clearSessionId()
{
    removeRuntimeValue(sessionGroup(), sessionKey());
    m_store->removeValue(sessionGroup(), sessionKey(), stbconfig::Authorization);
}

void TqConfigWrapper::setBalancerUrl(const QString& url)
{
    m_store->setValue(tqGroup(), QStringLiteral("balancerUrl"), url, stbconfig::User);
}

void TqConfigWrapper::removeSystemBalancerUrl()
{
    m_store->removeValue(tqGroup(), QStringLiteral("balancerUrl"), stbconfig::System);
}

bool TqConfigWrapper::hasSystemBalancerUrl() const
{
    return m_store->contains(tqGroup(), QStringLiteral("balancerUrl"), stbconfig::System);
}

int TqConfigWrapper::numberOfConnectionsWithProxy() const
{
    const int count = integer(tqGroup(), QStringLiteral("numberOfConnectionsWithProxy"), 1);
    return std::max(std::min(count, 6), 1);
}

void TqConfigWrapper::setNumberOfConnectionsWithProxy(int count)
{
    setRuntimeValue(tqGroup(), QStringLiteral("numberOfConnectionsWithProxy"), count);
}

seconds TqConfigWrapper::newCacheRequestTimeoutInterval() const
{
    return seconds(tqGroup(), QStringLiteral("requestTimeout"), 120);
}

void TqConfigWrapper::setNewCacheRequestTimeoutInterval(std::chrono::seconds interval)
{
    setRuntimeValue(tqGroup(), QStringLiteral("requestTimeout"), qint64(interval.count()));
}

QUrl TqConfigWrapper::speedTestFile() const
{
    return value(QStringLiteral("Network"), QStringLiteral("speedTestFile")).toUrl();
}

IncrementalTimerParams TqConfigWrapper::incrementalTimerParams() const
{
    const QString network = QStringLiteral("Network");
    IncrementalTimerParams p;
    p.multiplier = integer(network, QStringLiteral("incrementalTimerMultiplier"), 2);
    p.interval = integer(network, QStringLiteral("incrementalTimerInterval"), 30);
    p.multiplicationsCount = integer(network, QStringLiteral("incrementalTimerMultiplicationsCount"), 6);
    return p;
}

QString TqConfigWrapper::vemoServicesAvailabilityUrl() const
{
    static const QString fallback = QStringLiteral("http://" TQ_SERVICES_HOST "/generate_204");
    return value(QStringLiteral("Network"), QStringLiteral("vemoServicesAvailabilityUrl"), fallback).toString();
}

void TqConfigWrapper::removeAdValues()
{
    const QString ad = QStringLiteral("Ad");
    removeRuntimeValue(ad, QStringLiteral("adUrl"));
    removeRuntimeValue(ad, QStringLiteral("adKey"));
    removeRuntimeValue(ad, QStringLiteral("isAdEnabled"));
}

void TqConfigWrapper::removeGetShopValues()
{
    const QString getShop = QStringLiteral("GetShop");
    removeRuntimeValue(getShop, QStringLiteral("getShopUrl"));
    removeRuntimeValue(getShop, QStringLiteral("getShopKey"));
}

QString TqConfigWrapper::adStreamMrfUrl(const QString& mrf) const
{
    const QVariant urls = value(QStringLiteral("AdStream"), QStringLiteral("mrf_urls"));
    if (urls.typeId() != QMetaType::QVariantMap && urls.typeId() != QMetaType::QVariantHash)
        return QString();
    return urls.toMap().value(mrf).toString();
}

QSet<qint64> TqConfigWrapper::adStreamChannelNums() const
{
    return integerSet(value(QStringLiteral("AdStream"), QStringLiteral("channel_nums")));
}

QSet<qint64> TqConfigWrapper::adStreamSubLocations() const
{
    return integerSet(value(QStringLiteral("AdStream"), QStringLiteral("sub_locations")));
}

seconds TqConfigWrapper::connectionCacheExpiryTimeout(const QString& group) const
{
    return seconds(group, QStringLiteral("connectionCacheExpiryTimeout"), 120);
}

Scte35ConfigWrapper TqConfigWrapper::scte35Configuration() const
{
    return Scte35ConfigWrapper(m_store);
}

// ---- Scte35ConfigWrapper ----

QString Scte35ConfigWrapper::nscGroupName() { return QStringLiteral("Scte35Nsc"); }
QString Scte35ConfigWrapper::pmGroupName() { return QStringLiteral("Scte35Pm"); }
QString Scte35ConfigWrapper::nscAdServer() { return QStringLiteral("nsc"); }
QString Scte35ConfigWrapper::pmAdServer() { return QStringLiteral("pm"); }

bool Scte35ConfigWrapper::isEnabled(const QString& group) const
{
    return flag(group, QStringLiteral("enabled"), false);
}

QString Scte35ConfigWrapper::url(const QString& group) const
{
    return string(group, QStringLiteral("url"));
}

bool Scte35ConfigWrapper::nullDurationAllowed(const QString& group) const
{
    return flag(group, QStringLiteral("nullDurationAllowed"), QVariant());
}

bool Scte35ConfigWrapper::stopAfterEof(const QString& group) const
{
    return flag(group, QStringLiteral("stopAfterEof"), QVariant());
}

seconds Scte35ConfigWrapper::maxDuration(const QString& group) const
{
    return seconds(group, QStringLiteral("maxDuration"), 300);
}

seconds Scte35ConfigWrapper::requestTimeout(const QString& group) const
{
    return seconds(group, QStringLiteral("requestTimeout"), 120);
}

seconds Scte35ConfigWrapper::pixelsRequestTimeout(const QString& group) const
{
    return seconds(group, QStringLiteral("pixelsRequestTimeout"), 120);
}

seconds Scte35ConfigWrapper::connectionCacheExpiryTimeout(const QString& group) const
{
    return seconds(group, QStringLiteral("connectionCacheExpiryTimeout"), 120);
}

QJsonArray Scte35ConfigWrapper::channelParams(const QString& group) const
{
    const QVariant v = value(group, QStringLiteral("channelParams"));
    if (v.typeId() == QMetaType::QVariantList)
        return QJsonDocument::fromVariant(v).array();
    if (v.typeId() == QMetaType::QByteArray)
        return QJsonDocument::fromJson(v.toByteArray()).array();
    return QJsonArray();
}

QList<qint64> Scte35ConfigWrapper::subLocations(const QString& group) const
{
    QList<qint64> result;
    for (const QString& text : value(group, QStringLiteral("sub_locations")).toStringList())
        result.append(text.toLongLong(nullptr, 10));
    return result;
}

QString Scte35ConfigWrapper::nscOpc() const
{
    return string(nscGroupName(), QStringLiteral("opc"));
}

int Scte35ConfigWrapper::nscCnt() const
{
    return integer(nscGroupName(), QStringLiteral("cnt"), 50);
}

} // namespace tq

// ---- rdm::ConfigWrapper ----

namespace rdm {
namespace {
const QString& rdmGroup() { static const QString g = QStringLiteral("RDM"); return g; }
constexpr qint64 defaultSettingsInterval = 21600;
constexpr unsigned defaultPollMin = 300;
constexpr unsigned defaultPollMax = 900;
} // namespace

QString ConfigWrapper::url() const
{
    static const QString fallback = QStringLiteral("https://" TQ_RDM_HOST "/rdm/api/v1");
    return value(rdmGroup(), QStringLiteral("url"), fallback).toString();
}

void ConfigWrapper::setUrl(const QString& url, SettingsType type)
{
    m_store->setValue(rdmGroup(), QStringLiteral("url"), url, type);
}

seconds ConfigWrapper::requestSettingsInterval() const
{
    bool ok = false;
    const qint64 count = value(rdmGroup(), QStringLiteral("requestSettingsInterval"), defaultSettingsInterval)
                             .toLongLong(&ok);
    return std::chrono::seconds(ok && count > 0 ? count : defaultSettingsInterval);
}

void ConfigWrapper::setRequestSettingsInterval(std::chrono::seconds interval, SettingsType type)
{
    m_store->setValue(rdmGroup(), QStringLiteral("requestSettingsInterval"), qint64(interval.count()), type);
}

qint64 ConfigWrapper::rebootCommandId() const
{
    return value(rdmGroup(), QStringLiteral("rebootCommandId"), qint64(-1)).toLongLong();
}

void ConfigWrapper::setRebootCommandId(qint64 id, SettingsType type)
{
    m_store->setValue(rdmGroup(), QStringLiteral("rebootCommandId"), id, type);
}

void ConfigWrapper::removeRebootCommandId(SettingsType type)
{
    m_store->removeValue(rdmGroup(), QStringLiteral("rebootCommandId"), type);
}

std::pair<seconds, seconds> ConfigWrapper::requestPollIntervalLimits() const
{
    bool minOk = false;
    bool maxOk = false;
    const QVariant minValue = value(rdmGroup(), QStringLiteral("requestPollMinInterval"), defaultPollMin);
    const QVariant maxValue = value(rdmGroup(), QStringLiteral("requestPollMaxInterval"), defaultPollMax);
    const unsigned min = minValue.toUInt(&minOk);
    const unsigned max = maxValue.toUInt(&maxOk);
    if (minOk && maxOk && max >= min)
        return {std::chrono::seconds(min), std::chrono::seconds(max)};

    TQ_LOG(logging::Warning, QStringLiteral("ConfigWrapper"))
        << QStringLiteral("incorrect min=%1 and(or) max=%2 values of the request poll interval, "
                          "will use default values=[%3, %4]")
               .arg(minValue.toString(), maxValue.toString())
               .arg(defaultPollMin)
               .arg(defaultPollMax);
    return {std::chrono::seconds(defaultPollMin), std::chrono::seconds(defaultPollMax)};
}

} // namespace rdm
