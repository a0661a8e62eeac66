#include "platform/configurationmanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QVarLengthArray>

namespace stbconfig {
namespace {

constexpr std::array<int, 7> readOrder{Runtime, Authorization, System, Provider, Operator, User, Defaults};

QJsonObject groupedJson(const QHash<QString, QVariant>& layer)
{
    QVariantMap groups;
    for (auto it = layer.cbegin(); it != layer.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        const QString group = it.key().left(slash);
        QVariantMap keys = groups.value(group).toMap();
        keys.insert(it.key().mid(slash + 1), it.value());
        groups.insert(group, keys);
    }
    return QJsonObject::fromVariantMap(groups);
}

bool parseGrouped(const QByteArray& json, QHash<QString, QVariant>* out)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject groups = doc.object();
    for (auto g = groups.begin(); g != groups.end(); ++g) {
        if (!g.value().isObject())
            return false;
        const QJsonObject keys = g.value().toObject();
        for (auto k = keys.begin(); k != keys.end(); ++k)
            out->insert(g.key() + QLatin1Char('/') + k.key(), k.value().toVariant());
    }
    return true;
}

} // namespace

ConfigurationManager::ConfigurationManager(const QString& authorizationFile)
    : m_authorizationFile(authorizationFile)
{
    if (m_authorizationFile.isEmpty())
        return;
    const QFileInfo info(m_authorizationFile);
    const QFileInfo dir(info.absolutePath());
    m_authorizationWritable = info.exists() ? info.isWritable() : (dir.isDir() && dir.isWritable());
    loadAuthorizationFile();
}

QString ConfigurationManager::fullKey(const QString& group, const QString& key)
{
    return group + QLatin1Char('/') + key;
}

QVariant ConfigurationManager::value(const QString& group, const QString& key,
                                     const QVariant& defaultValue) const
{
    // Read on every request: the key is put together on the stack, not on the heap.
    QVarLengthArray<QChar, 128> joined;
    joined.append(group.constData(), group.size());
    joined.append(QLatin1Char('/'));
    joined.append(key.constData(), key.size());
    const QString k = QString::fromRawData(joined.constData(), joined.size());
    const QReadLocker lock(&m_lock);
    for (int type : readOrder) {
        if (m_layers[type].isEmpty())
            continue;
        const auto it = m_layers[type].constFind(k);
        if (it != m_layers[type].cend())
            return it.value();
    }
    return defaultValue;
}

void ConfigurationManager::setValue(const QString& group, const QString& key, const QVariant& value,
                                    SettingsType type)
{
    if (!isValidLayer(type))
        return;
    const QWriteLocker lock(&m_lock);
    m_layers[type].insert(fullKey(group, key), value);
    if (type == Authorization)
        saveAuthorizationLayer();
}

void ConfigurationManager::removeValue(const QString& group, const QString& key, SettingsType type)
{
    if (!isValidLayer(type))
        return;
    const QWriteLocker lock(&m_lock);
    if (m_layers[type].remove(fullKey(group, key)) && type == Authorization)
        saveAuthorizationLayer();
}

bool ConfigurationManager::contains(const QString& group, const QString& key, SettingsType type) const
{
    if (!isValidLayer(type))
        return false;
    const QReadLocker lock(&m_lock);
    return m_layers[type].contains(fullKey(group, key));
}

bool ConfigurationManager::storageAvailable(SettingsType type) const
{
    if (type != Authorization)
        return isValidLayer(type);
    const QReadLocker lock(&m_lock);
    return m_authorizationWritable;
}

bool ConfigurationManager::loadFile(const QString& path, SettingsType type)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return loadJson(file.readAll(), type);
}

bool ConfigurationManager::loadJson(const QByteArray& json, SettingsType type)
{
    if (!isValidLayer(type))
        return false;
    Layer parsed;
    if (!parseGrouped(json, &parsed))
        return false;
    const QWriteLocker lock(&m_lock);
    for (auto it = parsed.cbegin(); it != parsed.cend(); ++it)
        m_layers[type].insert(it.key(), it.value());
    if (type == Authorization)
        saveAuthorizationLayer();
    return true;
}

QVariantMap ConfigurationManager::effectiveValues() const
{
    Layer merged;
    {
        const QReadLocker lock(&m_lock);
        for (auto type = readOrder.rbegin(); type != readOrder.rend(); ++type)
            for (auto it = m_layers[*type].cbegin(); it != m_layers[*type].cend(); ++it)
                merged.insert(it.key(), it.value());
    }
    return groupedJson(merged).toVariantMap();
}

void ConfigurationManager::loadAuthorizationFile()
{
    QFile file(m_authorizationFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    Layer parsed;
    if (parseGrouped(file.readAll(), &parsed))
        m_layers[Authorization] = parsed;
}

bool ConfigurationManager::saveAuthorizationLayer()
{
    if (m_authorizationFile.isEmpty())
        return false;
    // QSaveFile writes a temporary and renames it, so a power cut never leaves half a file.
    QSaveFile file(m_authorizationFile);
    const bool ok = file.open(QIODevice::WriteOnly)
                    && file.write(QJsonDocument(groupedJson(m_layers[Authorization])).toJson()) >= 0
                    && file.commit();
    m_authorizationWritable = ok;
    return ok;
}

int LogsConfigWrapper::jsonLengthLimit() const
{
    return m_store->value(QStringLiteral("Logs"), QStringLiteral("jsonLengthLimit"), 1024).toInt();
}

bool LogsConfigWrapper::jsonFormattingEnabled() const
{
    return m_store->value(QStringLiteral("Logs"), QStringLiteral("jsonFormattingEnabled"), false).toBool();
}

bool LogsConfigWrapper::imageRequestsEnabled() const
{
    return m_store->value(QStringLiteral("Logs"), QStringLiteral("imageRequestsEnabled"), false).toBool();
}

} // namespace stbconfig
