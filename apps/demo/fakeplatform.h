#pragma once
// The offline platform the demo host talks to: two front ends of the TV platform (the
// second one is where a rebalance moves the session), its image and static-data servers.

#include "fakehttpserver.h"

class FakePlatform
{
public:
    FakePlatform();

    fake::FakeHttpServer frontEnd;    // the first platform front end
    fake::FakeHttpServer newFrontEnd; // where the session moves after a rebalance
    fake::FakeHttpServer services;    // images, static data, shop

    bool frontEndDown = false; // platform answers 502 while set
    int busyCalls = 0;
};
