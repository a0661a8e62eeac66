#pragma once
// The demo's push-notification step: the receiver gets its websocket token from the
// platform through the engine, connects to the fake notification server, and a message
// pushed by the server arrives as a typed notification.

namespace fake { class FakeHttpServer; }
namespace tq { class TqContext; }

// `api` is the front end that currently serves the platform API (it also hands out the
// websocket token). False when a step did not finish within its time limit.
bool showPushedNotification(tq::TqContext& context, fake::FakeHttpServer& api);
