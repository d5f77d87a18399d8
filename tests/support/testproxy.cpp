#include "testproxy.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace marbleway::test {

TestProxy::TestProxy(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    if (m_server->listen(QHostAddress::LocalHost))
        m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::newConnection, this, &TestProxy::accept);
}

void TestProxy::requireCredentials(const QString& user, const QString& password)
{
    m_credentials = (user + u':' + password).toUtf8().toBase64();
}

void TestProxy::accept()
{
    while (QTcpSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QTcpSocket::readyRead, this, [this, client] { readFrom(client); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }
}

void TestProxy::readFrom(QTcpSocket* client)
{
    QByteArray head = client->property("head").toByteArray() + client->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        client->setProperty("head", head);
        return;
    }
    client->setProperty("head", QByteArray());
    QList<QByteArray> lines = head.first(end).split('\n');
    const QList<QByteArray> requestLine = lines.takeFirst().trimmed().split(' ');
    QByteArray authorization;
    QByteArray forwarded;
    for (const QByteArray& line : std::as_const(lines)) {
        const QByteArray name = line.left(line.indexOf(':')).trimmed().toLower();
        if (name == "proxy-authorization")
            authorization = line.mid(line.indexOf(':') + 1).trimmed();
        else if (!name.startsWith("proxy-") && name != "connection")
            forwarded += line.trimmed() + "\r\n";
    }
    if (!m_credentials.isEmpty() && authorization != "Basic " + m_credentials) {
        client->write("HTTP/1.1 407 Proxy Authentication Required\r\n"
                      "Proxy-Authenticate: Basic realm=\"test\"\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    const QUrl target(QString::fromLatin1(requestLine.value(1)));
    auto* upstream = new QTcpSocket(client);
    const QByteArray request =
        requestLine.value(0) + ' ' + target.path(QUrl::FullyEncoded).toLatin1() +
        (target.hasQuery() ? '?' + target.query(QUrl::FullyEncoded).toLatin1() : QByteArray()) +
        " HTTP/1.1\r\n" + forwarded + "Connection: close\r\n\r\n";
    connect(upstream, &QTcpSocket::connected, upstream,
            [upstream, request] { upstream->write(request); });
    connect(upstream, &QTcpSocket::readyRead, client,
            [client, upstream] { client->write(upstream->readAll()); });
    connect(upstream, &QTcpSocket::disconnected, client, [client, upstream] {
        client->write(upstream->readAll());
        client->disconnectFromHost();
    });
    ++m_relayed;
    upstream->connectToHost(target.host(), quint16(target.port(80)));
}

} // namespace marbleway::test
