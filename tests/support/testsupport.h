#pragma once

#include "core/clock.h"
#include "scaledclock.h"
#include "testhttpserver.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QNetworkAccessManager>
#include <qcoro/qcorotask.h>

namespace marbleway::test {

// Runs a coroutine to its end inside a local event loop (tests only).
template <typename T>
T await(QCoro::Task<T>&& task)
{
    return QCoro::waitFor(std::move(task));
}

inline void await(QCoro::Task<>&& task)
{
    QCoro::waitFor(std::move(task));
}

// Network access, a web client and endpoints that send every service to one
// test server.
struct WebFixture {
    explicit WebFixture(const TestHttpServer& server, const Clock& clock = Clock::system())
        : client(network, clock)
    {
        for (const Service service : Endpoints::AllServices)
            endpoints.setHost(service, server.hostAndPort());
    }

    QNetworkAccessManager network;
    WebClient client;
    Endpoints endpoints;
};

} // namespace marbleway::test
