#pragma once

#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace marbleway::test {

// An HTTP proxy on 127.0.0.1 for plain http addresses: it takes requests in
// proxy form ("GET http://host:port/path"), asks for Basic credentials when
// some are required, and relays each exchange to its target, one request a
// connection.
class TestProxy : public QObject {
    Q_OBJECT
public:
    explicit TestProxy(QObject* parent = nullptr);

    void requireCredentials(const QString& user, const QString& password);
    quint16 port() const { return m_port; }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    // Requests relayed to their target so far.
    int relayed() const { return m_relayed; }

private:
    void accept();
    void readFrom(QTcpSocket* client);

    QTcpServer* m_server;
    quint16 m_port = 0;
    QByteArray m_credentials; // "user:password" in base 64, or empty
    int m_relayed = 0;
};

} // namespace marbleway::test
