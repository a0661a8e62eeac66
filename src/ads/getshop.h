#pragma once
// The shopping-banner service's objects: a playlist of timed banner events per channel,
// banners that refresh themselves, and microsites (small multi-screen forms driven with
// the remote control). The host renders them; where isValid() applies is its choice.

#include "tqglobal.h"

#include "model/fields.h"
#include "model/constantsdictionary.h"

#include <QJsonDocument>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

namespace gs {
Q_NAMESPACE_EXPORT(TQ_EXPORT)

enum class EventType : int { Unknown = 0, BannerDisplay = 1, PlaylistUpdate = 2 };
Q_ENUM_NS(EventType)

enum class CommandType : int {
    Unknown = 0,
    Screen = 1, // no wire name: a target that is no command
    Close = 2,
    Back = 3,
    NewCode = 4,
    Add = 5,
    Apply = 6,
    DeleteChoosed = 7,
    ConfirmPhone = 8,
    ScrollUp = 9,
    ScrollDown = 10,
};
Q_ENUM_NS(CommandType)

enum class ScreenType : int { Unknown = 0, PhoneNew = 1, PhoneCode = 2, PhoneConfirm = 3, Info = 4 };
Q_ENUM_NS(ScreenType)

enum class InputType : int { Unknown = 0, Phone = 1, Code = 2 };
Q_ENUM_NS(InputType)

enum class CaptionType : int { Unknown = 0, InputNormal = 1, InputError = 2, InputTimerError = 3, InputSuccess = 4 };
Q_ENUM_NS(CaptionType)

enum class BannerCloseType : int { Unknown = 0, CloseTimeout = 1, CloseImmediately = 2 };
Q_ENUM_NS(BannerCloseType)

enum class TimerMode : int { Unknown = 0, ResetOnVisit = 1, PauseOnLeave = 2, ContinueOnLeave = 3 };
Q_ENUM_NS(TimerMode)

enum class UpdateMode : int { Unknown = 0, OnlyText = 1, OnlyImage = 2, EntireBanner = 3 };
Q_ENUM_NS(UpdateMode)

// The remote-control key names the service knows (log events carry them).
TQ_EXPORT const QStringList& remoteKeyNames();

} // namespace gs

TQ_WIRE_STRINGS_IN(gs, EventType, eventTypeDictionary, Unknown,
                 {"banner", E::BannerDisplay}, {"playlist_update", E::PlaylistUpdate})
TQ_WIRE_STRINGS_IN(gs, CommandType, commandTypeDictionary, Unknown,
                 {"$close", E::Close}, {"$back", E::Back}, {"$newcode", E::NewCode}, {"$add", E::Add},
                 {"$apply", E::Apply}, {"$delete_choosed", E::DeleteChoosed}, {"$confirm_phone", E::ConfirmPhone},
                 {"$scroll_up", E::ScrollUp}, {"$scroll_down", E::ScrollDown})
TQ_WIRE_STRINGS_IN(gs, ScreenType, pageTypeDictionary, Unknown,
                 {"new", E::PhoneNew}, {"code", E::PhoneCode}, {"confirm", E::PhoneConfirm}, {"info", E::Info})
TQ_WIRE_STRINGS_IN(gs, InputType, inputTypeDictionary, Unknown, {"phone", E::Phone}, {"code", E::Code})
TQ_WIRE_STRINGS_IN(gs, CaptionType, captionTypeDictionary, Unknown, // InputTimerError has no name
                 {"input_normal", E::InputNormal}, {"input_error", E::InputError},
                 {"input_success", E::InputSuccess})
TQ_WIRE_STRINGS_IN(gs, BannerCloseType, bannerCloseTypeDictionary, Unknown,
                 {"ad_end", E::CloseTimeout}, {"microsite_close", E::CloseImmediately})
TQ_WIRE_STRINGS_IN(gs, TimerMode, timerModeDictionary, Unknown,
                 {"reset_on_visit", E::ResetOnVisit}, {"pause_on_leave", E::PauseOnLeave},
                 {"continue_on_leave", E::ContinueOnLeave})
TQ_WIRE_STRINGS_IN(gs, UpdateMode, updateModeDictionary, Unknown,
                 {"only_text", E::OnlyText}, {"only_image", E::OnlyImage}, {"entire_banner", E::EntireBanner})

namespace gs {

using tq::field;

// Position and size shared by images, text areas and inputs.
struct TQ_EXPORT Geometry
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    QRect rect() const { return QRect(left, top, width, height); }
    bool hasValidRect() const { return width >= 0 && height >= 0; }
    static constexpr auto fields()
    {
        return std::make_tuple(field("left", &Geometry::left), field("top", &Geometry::top),
                               field("width", &Geometry::width), field("height", &Geometry::height));
    }
};

struct TQ_EXPORT AuditPixels : tq::DecodedObject<AuditPixels>
{
    TQ_DECODED(AuditPixels)
public:
    QStringList view;
    QStringList click;
    static constexpr auto fields()
    {
        return std::make_tuple(field("view", &AuditPixels::view), field("click", &AuditPixels::click));
    }
};

// How a banner refreshes itself.
struct TQ_EXPORT AutoUpdate : tq::DecodedObject<AutoUpdate>
{
    TQ_DECODED(AutoUpdate)
public:
    QString id;
    int rate = 0;
    UpdateMode mode = UpdateMode::Unknown;
    static constexpr auto fields()
    {
        return std::make_tuple(field("rate", &AutoUpdate::rate), field("mode", &AutoUpdate::mode),
                               field("id", &AutoUpdate::id).lenient());
    }
};

struct TQ_EXPORT Banner : tq::DecodedObject<Banner>
{
    TQ_DECODED(Banner)
public:
    qint64 datetime = 0;
    int duration = 0;
    QString caption;
    QString image;
    AuditPixels auditPixels;
    AutoUpdate autoUpdate;
    bool hasMicrosite = false;
    static constexpr auto fields()
    {
        using B = Banner;
        return std::make_tuple(field("datetime", &B::datetime), field("duration", &B::duration),
                               field("caption", &B::caption), field("image", &B::image),
                               field("audit_pixels", &B::auditPixels), field("auto_update", &B::autoUpdate),
                               field("has_microsite", &B::hasMicrosite));
    }
};

struct TQ_EXPORT Event : tq::DecodedObject<Event>
{
    TQ_DECODED(Event)
public:
    EventType type = EventType::Unknown;
    QString id;
    qint64 datetime = 0;
    Banner banner;
    static constexpr auto fields()
    {
        return std::make_tuple(field("type", &Event::type), field("id", &Event::id), field("banner", &Event::banner),
                               field("datetime", &Event::datetime).lenient());
    }
};

struct TQ_EXPORT PlaylistResponse : tq::DecodedObject<PlaylistResponse>
{
    TQ_DECODED(PlaylistResponse)
public:
    qint64 deviceTimestamp = 0;
    QList<Event> events;
    static constexpr auto fields()
    {
        return std::make_tuple(field("device_timestamp", &PlaylistResponse::deviceTimestamp).lenient(),
                               field("events", &PlaylistResponse::events).lenient());
    }
};

struct TQ_EXPORT Image : tq::DecodedObject<Image, Geometry>
{
    TQ_DECODED(Image)
public:
    QString image;
    bool isValid() const { return hasValidRect() && !image.isEmpty(); }
    static constexpr auto fields()
    {
        return std::tuple_cat(Geometry::fields(), std::make_tuple(field("image", &Image::image)));
    }
};

struct TQ_EXPORT Caption : tq::DecodedObject<Caption>
{
    TQ_DECODED(Caption)
public:
    QString text;
    int top = 0;
    int left = 0;
    CaptionType type = CaptionType::Unknown;
    int textFontSize = 0;
    bool isValid() const { return !text.isEmpty(); }
    static constexpr auto fields()
    {
        return std::make_tuple(field("text", &Caption::text), field("type", &Caption::type),
                               field("text_font_size", &Caption::textFontSize),
                               field("top", &Caption::top).lenient(), field("left", &Caption::left).lenient());
    }
};

struct TQ_EXPORT ButtonImages : tq::DecodedObject<ButtonImages>
{
    TQ_DECODED(ButtonImages)
public:
    QString blur;
    QString focus;
    static constexpr auto fields()
    {
        return std::make_tuple(field("blur", &ButtonImages::blur), field("focus", &ButtonImages::focus));
    }
};

struct TQ_EXPORT Button : tq::DecodedObject<Button>
{
    TQ_DECODED(Button)
public:
    QString id;
    QString target; // a screen id or a command
    ButtonImages images;
    int timerTop = 0;
    int timerLeft = 0;
    int textFontSize = 0;
    CommandType command() const { return commandTypeDictionary().value(target); }
    static constexpr auto fields()
    {
        return std::make_tuple(field("id", &Button::id), field("target", &Button::target),
                               field("images", &Button::images), field("text_font_size", &Button::textFontSize),
                               field("timer_top", &Button::timerTop).lenient(), field("timer_left", &Button::timerLeft).lenient());
    }
};

struct TQ_EXPORT Input : tq::DecodedObject<Input, Geometry>
{
    TQ_DECODED(Input)
public:
    InputType type = InputType::Unknown;
    QString mask;
    QString target;
    int textFontSize = 0;
    bool isValid() const { return type != InputType::Unknown && !mask.isEmpty() && hasValidRect(); }
    static constexpr auto fields()
    {
        return std::tuple_cat(Geometry::fields(),
                              std::make_tuple(field("type", &Input::type), field("mask", &Input::mask),
                                              field("target", &Input::target),
                                              field("text_font_size", &Input::textFontSize)));
    }
};

struct TQ_EXPORT TextArea : tq::DecodedObject<TextArea, Geometry>
{
    TQ_DECODED(TextArea)
public:
    QString textUrl;
    int textFontSize = 0;
    bool isValid() const { return hasValidRect() && !textUrl.isEmpty(); }
    static constexpr auto fields()
    {
        return std::tuple_cat(Geometry::fields(), std::make_tuple(field("text_url", &TextArea::textUrl),
                                                                  field("text_font_size", &TextArea::textFontSize)));
    }
};

struct TQ_EXPORT TimerText : tq::DecodedObject<TimerText>
{
    TQ_DECODED(TimerText)
public:
    QString mask;
    int textFontSize = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("mask", &TimerText::mask), field("text_font_size", &TimerText::textFontSize));
    }
};

struct TQ_EXPORT Timer : tq::DecodedObject<Timer>
{
    TQ_DECODED(Timer)
public:
    QString id;
    TimerMode mode = TimerMode::Unknown;
    int duration = 0;
    TimerText text;
    QString target;
    static constexpr auto fields()
    {
        return std::make_tuple(field("mode", &Timer::mode), field("duration", &Timer::duration),
                               field("text", &Timer::text), field("target", &Timer::target),
                               field("id", &Timer::id).lenient());
    }
};

// How often a microsite screen refreshes itself: only the rate.
struct TQ_EXPORT ScreenAutoUpdate : tq::DecodedObject<ScreenAutoUpdate>
{
    TQ_DECODED(ScreenAutoUpdate)
public:
    int rate = 0;
    static constexpr auto fields() { return std::make_tuple(field("rate", &ScreenAutoUpdate::rate)); }
};

struct TQ_EXPORT Screen : tq::DecodedObject<Screen>
{
    TQ_DECODED(Screen)
public:
    QString id;
    QString background;
    ScreenType type = ScreenType::Unknown;
    QList<Image> images;
    QList<Caption> captions;
    QList<Button> controls;
    Input input;
    TextArea textArea;
    Timer timer;
    ScreenAutoUpdate autoUpdate;
    static constexpr auto fields()
    {
        using S = Screen;
        return std::make_tuple(field("id", &S::id), field("background", &S::background), field("type", &S::type),
                               field("input", &S::input), field("text_area", &S::textArea),
                               field("timer", &S::timer), field("auto_update", &S::autoUpdate),
                               field("images", &Screen::images).lenient(), field("captions", &Screen::captions).lenient(),
                               field("controls", &Screen::controls).lenient());
    }
};

struct TQ_EXPORT Microsite : tq::DecodedObject<Microsite>
{
    TQ_DECODED(Microsite)
public:
    BannerCloseType bannerCloseType = BannerCloseType::Unknown;
    qint64 micrositeCloseTime = 0;
    QString terms;
    QList<Screen> screens;
    static constexpr auto fields()
    {
        return std::make_tuple(field("banner_close_type", &Microsite::bannerCloseType),
                               field("microsite_close_time", &Microsite::micrositeCloseTime),
                               field("terms", &Microsite::terms),
                               field("screens", &Microsite::screens).lenient());
    }
};

struct TQ_EXPORT PhoneInfo : tq::DecodedObject<PhoneInfo>
{
    TQ_DECODED(PhoneInfo)
public:
    QString id;
    QString phone;
    bool verified = false;
    static constexpr auto fields()
    {
        return std::make_tuple(field("id", &PhoneInfo::id), field("phone", &PhoneInfo::phone),
                               field("verified", &PhoneInfo::verified));
    }
};

struct TQ_EXPORT ClientInfoResponse : tq::DecodedObject<ClientInfoResponse>
{
    TQ_DECODED(ClientInfoResponse)
public:
    QList<PhoneInfo> phones;
    static constexpr auto fields()
    {
        return std::make_tuple(field("phones", &ClientInfoResponse::phones).lenient());
    }
};

struct TQ_EXPORT TextResponse : tq::DecodedObject<TextResponse>
{
    TQ_DECODED(TextResponse)
public:
    QString text;
    static constexpr auto fields() { return std::make_tuple(field("text", &TextResponse::text)); }
};

// One viewer action for the service's log; only the members that are set are encoded.
struct TQ_EXPORT LogEvent : tq::DecodedObject<LogEvent>
{
    TQ_DECODED(LogEvent)
public:
    qint64 timestamp = 0;
    QString message;
    QString screenId;
    QString key; // one of remoteKeyNames()
    QString buttonId;
    static constexpr auto fields()
    {
        return std::make_tuple(field("timestamp", &LogEvent::timestamp), field("message", &LogEvent::message),
                               field("screen_id", &LogEvent::screenId), field("key", &LogEvent::key),
                               field("button_id", &LogEvent::buttonId));
    }
    QJsonObject toJson() const;
};

} // namespace gs

Q_DECLARE_METATYPE(gs::PlaylistResponse)
Q_DECLARE_METATYPE(gs::Banner)
Q_DECLARE_METATYPE(gs::Microsite)
Q_DECLARE_METATYPE(gs::Screen)
Q_DECLARE_METATYPE(gs::ClientInfoResponse)
Q_DECLARE_METATYPE(gs::TextResponse)
