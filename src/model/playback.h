#pragma once
// Playback family: where a channel or a film is played from, with its CDN token and the
// DRM license servers.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

namespace tq {

// Stream addresses by name (quality, protocol, ...).
using TextMap = QMap<QString, QString>;

class TQ_EXPORT CdnToken : public DecodedObject<CdnToken, AbstractCborObject>
{
    TQ_DECODED(CdnToken)
public:
    qint64 expireAt = 0;
    QString cookieParameters;

    static constexpr auto fields()
    {
        return std::make_tuple(field("expire_at", &CdnToken::expireAt),
                               field("cookie_parameters", &CdnToken::cookieParameters));
    }
};

class TQ_EXPORT ChannelSource : public DecodedObject<ChannelSource, AbstractCborObject>
{
    TQ_DECODED(ChannelSource)
public:
    QString backupUrl1;
    QString backupUrl2;
    CdnToken cdnToken;
    QString drmProvider;
    bool isCrypted = false;
    bool isHevc = false;
    bool isPurchased = false;
    bool isTokenized = false;
    QString type;
    QString url;
    QString pvrUrl;
    TextMap urls;
    TextMap pvrUrls;

    bool operator==(const ChannelSource& other) const;

    static constexpr auto fields()
    {
        using S = ChannelSource;
        return std::make_tuple(field("backup_url_1", &S::backupUrl1), field("backup_url_2", &S::backupUrl2),
                               field("cdn_token", &S::cdnToken), field("drm_provider", &S::drmProvider),
                               field("is_crypted", &S::isCrypted), field("is_hevc", &S::isHevc),
                               field("is_purchased", &S::isPurchased), field("is_tokenized", &S::isTokenized),
                               field("type", &S::type), field("url", &S::url), field("pvr_url", &S::pvrUrl),
                               field("urls", &S::urls), field("pvr_urls", &S::pvrUrls));
    }
};

class TQ_EXPORT ContentAsset : public DecodedObject<ContentAsset>
{
    TQ_DECODED(ContentAsset)
public:
    QString drmProvider;
    CdnToken cdnToken;
    qint64 id = -1;
    QString ifn;
    bool isCrypted = false;
    bool isPreview = false;
    bool isPurchased = false;
    bool isTokenized = false;
    QualityType quality = QualityType::Unknown;
    QString url;
    TextMap urls;

    bool operator==(const ContentAsset& other) const;
    bool operator!=(const ContentAsset& other) const { return !(*this == other); }

    static constexpr auto fields()
    {
        using A = ContentAsset;
        return std::make_tuple(field("drm_provider", &A::drmProvider), field("cdn_token", &A::cdnToken),
                               idField("id", &A::id), field("ifn", &A::ifn), field("is_crypted", &A::isCrypted),
                               field("is_preview", &A::isPreview), field("is_purchased", &A::isPurchased),
                               field("is_tokenized", &A::isTokenized), field("quality", &A::quality),
                               field("url", &A::url), field("urls", &A::urls));
    }
};

// The film's own streams and its previews.
class TQ_EXPORT Assets : public DecodedObject<Assets>
{
    TQ_DECODED(Assets)
public:
    QList<ContentAsset> contentAssets;
    QList<ContentAsset> previewAssets;

    bool isValid() const { return !contentAssets.isEmpty() || !previewAssets.isEmpty(); }

    static constexpr auto fields()
    {
        return std::make_tuple(field("content_assets", &Assets::contentAssets),
                               field("preview_assets", &Assets::previewAssets));
    }
};

class TQ_EXPORT GetDrmSettingsResponse : public DecodedObject<GetDrmSettingsResponse, AbstractResponse>
{
    TQ_DECODED(GetDrmSettingsResponse)
public:
    QString defaultDrmProvider;
    // License server URLs by DRM provider; the answer nests each map under "urls".
    QHash<QString, TextMap> licenseServers;

    static constexpr auto fields()
    {
        using R = GetDrmSettingsResponse;
        return std::make_tuple(field("default_drm_provider", &R::defaultDrmProvider),
                               field("license_servers", &R::licenseServers).valuesUnder("urls"));
    }
};

} // namespace tq
