#include "testhttpserver.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

// Under AddressSanitizer, freed memory is scribbled over: Qt is not
// instrumented, and its use of an object deleted under it must crash a test
// instead of going unnoticed.
extern "C" const char* __asan_default_options()
{
    return "max_free_fill_size=1048576:free_fill_byte=190";
}

namespace marbleway::test {

using namespace Qt::StringLiterals;

namespace {

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString decoded(const QByteArray& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}

} // namespace

QByteArray Request::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers) {
        if (sameName(key, name))
            return value.isNull() ? QByteArray(""_ba) : value;
    }
    return {};
}

std::optional<QString> Request::query(QStringView key) const
{
    for (const QByteArray& pair : rawQuery.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (decoded(pair.first(equals < 0 ? pair.size() : equals)) == key)
            return decoded(equals < 0 ? QByteArray() : pair.sliced(equals + 1));
    }
    return std::nullopt;
}

QStringList Request::queryKeys() const
{
    QStringList keys;
    for (const QByteArray& pair : rawQuery.split('&')) {
        if (!pair.isEmpty())
            keys << decoded(pair.split('=').first());
    }
    return keys;
}

Response Response::page(const QString& text, const char* charset)
{
    QStringEncoder encoder(charset);
    if (!encoder.isValid())
        encoder = QStringEncoder(QStringConverter::Utf8);
    Response response;
    response.body = encoder.encode(text);
    return response;
}

Response Response::withStatus(int status, const QString& text)
{
    Response response = page(text);
    response.status = status;
    return response;
}

Response Response::dropped()
{
    Response response;
    response.drop = true;
    return response;
}

Response Response::faulty(Fault fault, FaultOptions options)
{
    Response response;
    response.fault = fault;
    response.options = std::move(options);
    return response;
}

Response& Response::after(std::chrono::milliseconds wait)
{
    delay = wait;
    return *this;
}

struct TestHttpServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray buffer;
    bool answering = false; // a delayed answer is pending; later requests wait
};

TestHttpServer::TestHttpServer(QObject* parent, quint16 port)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
    if (m_server->listen(QHostAddress::LocalHost, port))
        m_port = m_server->serverPort();
}

void TestHttpServer::serve(const QString& path, const QList<QPair<QString, QString>>& query,
                           Response response)
{
    QMutexLocker lock(&m_mutex);
    m_routes.append(Route{path, query, std::move(response)});
}

void TestHttpServer::setHandler(Handler handler)
{
    QMutexLocker lock(&m_mutex);
    m_handler = std::move(handler);
}

void TestHttpServer::serveFaults(const FaultOptions& options)
{
    for (const Fault fault : AllFaults)
        serve(u"/fault/"_s + faultName(fault), Response::faulty(fault, options));
}

QList<Request> TestHttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

qsizetype TestHttpServer::requestCount(QStringView path) const
{
    QMutexLocker lock(&m_mutex);
    if (path.isEmpty())
        return m_requests.size();
    return std::count_if(m_requests.cbegin(), m_requests.cend(),
                         [path](const Request& request) { return request.path == path; });
}

void TestHttpServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

void TestHttpServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        connect(socket, &QTcpSocket::readyRead, socket,
                [this, connection] { readFrom(connection.get()); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readFrom(Connection* connection)
{
    QTcpSocket* socket = connection->socket;
    connection->buffer += socket->readAll();
    while (!connection->answering) {
        const qsizetype headerEnd = connection->buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = connection->buffer.first(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        if (requestLine.size() < 2) {
            socket->abort();
            return;
        }
        // Clients here only GET: no body follows the header.
        Request request;
        const QByteArray target = requestLine.at(1);
        const qsizetype question = target.indexOf('?');
        request.path = QString::fromUtf8(
            QByteArray::fromPercentEncoding(question < 0 ? target : target.first(question)));
        request.rawQuery = question < 0 ? QByteArray() : target.sliced(question + 1);
        for (const QByteArray& line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.append(
                    {line.first(colon).trimmed(), line.sliced(colon + 1).trimmed()});
        }
        connection->buffer.remove(0, headerEnd + 4);
        request.arrived = std::chrono::steady_clock::now();
        {
            QMutexLocker lock(&m_mutex);
            m_requests.append(request);
        }

        const Response response = respond(request);
        if (response.delay > std::chrono::milliseconds::zero()) {
            connection->answering = true;
            QTimer::singleShot(response.delay, Qt::PreciseTimer, socket,
                               [this, connection, request, response] {
                                   connection->answering = false;
                                   answer(connection, request, response);
                                   readFrom(connection);
                               });
            return;
        }
        answer(connection, request, response);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void TestHttpServer::answer(Connection* connection, const Request& request,
                            const Response& response)
{
    QTcpSocket* socket = connection->socket;
    if (response.drop) {
        socket->abort();
        return;
    }
    if (response.fault) {
        // The connection serves nothing else.
        connection->answering = true;
        sendFault(socket, *response.fault, response.options, request.path,
                  request.query(u"hop").value_or(QString()).toInt());
        return;
    }
    const bool close = sameName(request.header("Connection"), "close");
    // Clients read the code, not the phrase.
    QByteArray head = "HTTP/1.1 "_ba + QByteArray::number(response.status) +
                      (response.status == 200 ? " OK\r\n" : " Status\r\n");
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    head += "Content-Length: "_ba + QByteArray::number(response.body.size()) + "\r\n";
    head += close ? "Connection: close\r\n\r\n"_ba : "Connection: keep-alive\r\n\r\n"_ba;
    socket->write(head + response.body);
    if (close)
        socket->disconnectFromHost();
}

Response TestHttpServer::respond(const Request& request) const
{
    Handler handler;
    {
        QMutexLocker lock(&m_mutex);
        handler = m_handler;
    }
    if (handler) {
        if (std::optional<Response> answer = handler(request))
            return *answer;
    }
    QMutexLocker lock(&m_mutex);
    const Route* best = nullptr;
    for (const Route& route : m_routes) {
        if (route.path != request.path)
            continue;
        const bool matches =
            std::all_of(route.query.cbegin(), route.query.cend(), [&request](const auto& pair) {
                return request.query(pair.first) == std::optional<QString>(pair.second);
            });
        if (matches && (!best || route.query.size() >= best->query.size()))
            best = &route;
    }
    if (best)
        return best->response;
    return Response::withStatus(404, u"not found"_s);
}

BackgroundHttpServer::BackgroundHttpServer()
    : m_thread(new QThread)
    , m_context(new QObject)
{
    m_context->moveToThread(m_thread);
    m_thread->start();
    QMetaObject::invokeMethod(
        m_context, [this] { m_server = new TestHttpServer; }, Qt::BlockingQueuedConnection);
}

BackgroundHttpServer::~BackgroundHttpServer()
{
    QMetaObject::invokeMethod(
        m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_context->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

} // namespace marbleway::test
