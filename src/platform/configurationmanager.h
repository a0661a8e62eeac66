#pragma once
// Stand-in for the box's configuration store: layered (group, key) -> QVariant values.
//
// Layers, by precedence when reading (first holder wins):
//   Runtime (5) > Authorization (6) > System (4) > Provider (3) > Operator (2) > User (1) > Defaults (0)
// The runtime layer lives only in memory; the authorization layer is written to the file
// named at construction after every change and read back from it on start; the defaults
// layer can be filled from a JSON file {"Group": {"key": value, ...}, ...}.
// All operations may be called from any thread.

#include "tqglobal.h"

#include <QHash>
#include <QReadWriteLock>
#include <QString>
#include <QVariant>

#include <array>

namespace stbconfig {

enum SettingsType : int {
    Defaults = 0,
    User = 1,
    Operator = 2,
    Provider = 3,
    System = 4,
    Runtime = 5,
    Authorization = 6,
};

class TQ_EXPORT ConfigurationManager
{
public:
    // authorizationFile: where layer 6 is kept; empty means layer 6 is unavailable.
    explicit ConfigurationManager(const QString& authorizationFile = QString());
    ConfigurationManager(const ConfigurationManager&) = delete;
    ConfigurationManager& operator=(const ConfigurationManager&) = delete;

    QVariant value(const QString& group, const QString& key,
                   const QVariant& defaultValue = QVariant()) const;
    void setValue(const QString& group, const QString& key, const QVariant& value,
                  SettingsType type);
    void removeValue(const QString& group, const QString& key, SettingsType type);
    bool contains(const QString& group, const QString& key, SettingsType type) const;
    bool storageAvailable(SettingsType type) const;

    // Fills a layer from a JSON file of groups of keys. Returns false (and changes
    // nothing) when the file cannot be read or is not such an object.
    bool loadFile(const QString& path, SettingsType type = Defaults);
    bool loadJson(const QByteArray& json, SettingsType type = Defaults);

    // Every effective value as {"Group": {"key": value}} for diagnostics.
    QVariantMap effectiveValues() const;

private:
    using Layer = QHash<QString, QVariant>; // "group/key" -> value
    static constexpr int LayerCount = 7;

    static QString fullKey(const QString& group, const QString& key);
    static bool isValidLayer(int type) { return type >= 0 && type < LayerCount; }
    void loadAuthorizationFile();
    bool saveAuthorizationLayer(); // with the write lock held

    mutable QReadWriteLock m_lock;
    std::array<Layer, LayerCount> m_layers;
    QString m_authorizationFile;
    bool m_authorizationWritable = false;
};

// The three logging switches the HTTP tracing reads (group "Logs").
class TQ_EXPORT LogsConfigWrapper
{
public:
    explicit LogsConfigWrapper(const ConfigurationManager* store) : m_store(store) {}

    int jsonLengthLimit() const;        // "jsonLengthLimit", default 1024
    bool jsonFormattingEnabled() const; // "jsonFormattingEnabled", default false
    bool imageRequestsEnabled() const;  // "imageRequestsEnabled", default false

private:
    const ConfigurationManager* m_store;
};

} // namespace stbconfig
