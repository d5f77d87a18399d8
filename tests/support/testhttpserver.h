#pragma once

#include "faults.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;
class QThread;

namespace marbleway::test {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// A request as it reached the server.
struct Request {
    QString path;
    QByteArray rawQuery; // as sent, without "?"
    HeaderList headers;  // names as sent
    std::chrono::steady_clock::time_point arrived;

    // First header of that name (any case), or a null array.
    QByteArray header(QByteArrayView name) const;
    // Percent-decoded value of a query key (UTF-8; "+" stays "+"), or nullopt.
    std::optional<QString> query(QStringView key) const;
    // Query keys in the order sent.
    QStringList queryKeys() const;
};

// What the server sends back.
struct Response {
    int status = 200;
    QByteArray body;
    HeaderList headers{{"Content-Type", "text/html"}};
    std::chrono::milliseconds delay{0}; // wait before answering
    bool drop = false;                  // close the connection without answering
    std::optional<Fault> fault;         // misbehaves so instead of answering
    FaultOptions options;               // how long and how much a fault goes on

    // `text` encoded in `charset` (any label Qt knows; UTF-8 when unknown).
    static Response page(const QString& text, const char* charset = "utf-8");
    static Response withStatus(int status, const QString& text = {});
    static Response dropped();
    static Response faulty(Fault fault, FaultOptions options = {});

    Response& after(std::chrono::milliseconds wait);
};

// An HTTP/1.1 server on 127.0.0.1 (keep-alive included), answering from canned
// routes and recording every request; unknown paths get 404. Routes and the
// request log may be used from any thread.
class TestHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<std::optional<Response>(const Request&)>;

    explicit TestHttpServer(QObject* parent = nullptr, quint16 port = 0);

    bool isListening() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString hostAndPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QString url(QStringView pathAndQuery = u"/") const
    {
        return QStringLiteral("http://") + hostAndPort() + pathAndQuery;
    }

    // Answers `path` when the query holds every key=value of `query` (values as
    // decoded by Request::query). The route with most keys wins; among equals
    // the one added last.
    void serve(const QString& path, const QList<QPair<QString, QString>>& query, Response response);
    void serve(const QString& path, Response response) { serve(path, {}, std::move(response)); }
    // Asked before the routes; returning nullopt passes the request on.
    void setHandler(Handler handler);
    // Serves every fault at "/fault/" + its name.
    void serveFaults(const FaultOptions& options = {});

    QList<Request> requests() const;
    // Requests for `path`, or all requests when `path` is empty.
    qsizetype requestCount(QStringView path = {}) const;
    void clearRequests();

private:
    struct Route {
        QString path;
        QList<QPair<QString, QString>> query;
        Response response;
    };
    struct Connection;

    void accept();
    void readFrom(Connection* connection);
    void answer(Connection* connection, const Request& request, const Response& response);
    Response respond(const Request& request) const;

    QTcpServer* m_server;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QList<Route> m_routes;
    Handler m_handler;
    QList<Request> m_requests;
};

// A TestHttpServer on a thread of its own: measurements leave out its work.
class BackgroundHttpServer {
public:
    BackgroundHttpServer();
    ~BackgroundHttpServer();
    BackgroundHttpServer(const BackgroundHttpServer&) = delete;
    BackgroundHttpServer& operator=(const BackgroundHttpServer&) = delete;

    TestHttpServer& server() { return *m_server; }

private:
    QThread* m_thread;
    QObject* m_context; // on m_thread: the server is made and deleted there
    TestHttpServer* m_server = nullptr;
};

} // namespace marbleway::test
