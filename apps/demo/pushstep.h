#pragma once
// The demo's push-notification step: the receiver gets its websocket token from the
// platform through the engine, connects to the websocket that discovery named, and a
// message the platform pushes arrives as a typed notification.

#include <QString>

namespace fake { class FakePlatform; }
namespace tq { class TqContext; }

// `platform` is the front end that currently serves the platform API and `wsUrl` the
// "ws_url" its discovery answered. False when a step did not finish within its time limit.
bool showPushedNotification(tq::TqContext& context, fake::FakePlatform& platform, const QString& wsUrl);
