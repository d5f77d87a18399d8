#include "faults.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace marbleway::test {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 PieceBytes = 64 * 1024;
constexpr qint64 BacklogBytes = 256 * 1024; // unsent bytes held in the socket at most
constexpr int MaxHops = 1000;
constexpr std::chrono::milliseconds MaxTime{60'000}; // a connection lasts at most this
constexpr std::chrono::milliseconds DripTime{100};   // between two bytes of a drip

QByteArray head(const QByteArray& status, const QByteArray& headers = {})
{
    return "HTTP/1.1 "_ba + status + "\r\nContent-Type: text/html\r\nConnection: close\r\n" +
           headers + "\r\n";
}

// Resets instead of closing: the peer sees ECONNRESET, not the end of the body.
void reset(QTcpSocket* socket)
{
#ifdef Q_OS_UNIX
    const linger hard{1, 0};
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                 sizeof hard);
#endif
    socket->abort();
}

// Writes what `next` gives while the client keeps reading, so that the server
// never holds more than a backlog; an empty piece ends the body with `end`.
void pump(QTcpSocket* socket, std::function<QByteArray()> next,
          std::function<void(QTcpSocket*)> end)
{
    auto fill = [socket, next = std::move(next), end = std::move(end), done = false]() mutable {
        while (!done && socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < BacklogBytes) {
            QByteArray piece = next();
            if (piece.isEmpty()) {
                done = true;
                end(socket);
                return;
            }
            socket->write(piece);
        }
    };
    auto shared = std::make_shared<decltype(fill)>(std::move(fill));
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [shared] { (*shared)(); });
    (*shared)();
}

// Hands out `piece` until `budget` bytes have gone; the last one is cut to fit.
std::function<QByteArray()> repeat(QByteArray piece, qint64 budget)
{
    return [piece = std::move(piece), left = budget]() mutable {
        const QByteArray out =
            piece.first(std::min<qint64>(piece.size(), std::max<qint64>(left, 0)));
        left -= out.size();
        return out;
    };
}

// Fixed-Huffman deflate of zeros: one literal, then matches of 258 at distance
// 1. After its first two bytes the stream repeats these 13 (8 matches).
const QByteArray DeflateStart = "\x63\x18"_ba;
const QByteArray DeflateCycle = "\x05\xa3\x60\x14\x8c\x82\x51\x30\x0a\x46\xc1\x28\x18"_ba;

const QByteArray GzipHeader = "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03"_ba;

} // namespace

QString faultName(Fault fault)
{
    static constexpr std::array<const char*, AllFaults.size()> names{
        "endless", "fastbody", "drip", "reset", "redirectloop", "gzipbomb", "badgzip"};
    return QString::fromLatin1(names[static_cast<size_t>(fault)]);
}

void sendFault(QTcpSocket* socket, Fault fault, const FaultOptions& options, const QString& path,
               int hop)
{
    QTimer::singleShot(MaxTime, socket, [socket] { socket->abort(); });
    const auto close = [](QTcpSocket* done) { done->disconnectFromHost(); };
    QByteArray filler = options.filler.isEmpty() ? "x"_ba : options.filler;
    filler = filler.repeated(PieceBytes / filler.size() + 1).first(PieceBytes);

    switch (fault) {
    case Fault::Endless: {
        socket->write(head("200 OK", "Transfer-Encoding: chunked\r\n"));
        const QByteArray chunk = QByteArray::number(filler.size(), 16) + "\r\n" + filler + "\r\n";
        // Never the last chunk: the body is cut off when the budget is spent.
        pump(socket, repeat(chunk, options.bytes), reset);
        break;
    }
    case Fault::FastBody:
        socket->write(head("200 OK"));
        pump(socket, repeat(filler, options.bytes), close);
        break;
    case Fault::Drip: {
        socket->write(head("200 OK"));
        auto* tick = new QTimer(socket);
        QObject::connect(tick, &QTimer::timeout, socket,
                         [socket, filler, sent = qint64(0), left = options.bytes]() mutable {
                             if (sent < left)
                                 socket->write(filler.sliced(sent++ % filler.size(), 1));
                             else
                                 socket->disconnectFromHost();
                         });
        tick->start(DripTime);
        break;
    }
    case Fault::Reset: {
        const qint64 half = std::min(options.bytes / 2, PieceBytes);
        socket->write(head("200 OK", "Content-Length: " + QByteArray::number(2 * half) + "\r\n"));
        socket->write(filler.first(half));
        // Reset once the half has left, so that the client has read it.
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                reset(socket);
        });
        break;
    }
    case Fault::RedirectLoop:
        if (hop >= MaxHops) {
            socket->write(head("508 Loop Detected", "Content-Length: 0\r\n"));
        } else {
            const QByteArray next =
                QUrl::toPercentEncoding(path, "/") + "?hop=" + QByteArray::number(hop + 1);
            socket->write(head("302 Found", "Location: " + next + "\r\nContent-Length: 0\r\n"));
        }
        socket->disconnectFromHost();
        break;
    case Fault::GzipBomb: {
        socket->write(head("200 OK", "Content-Encoding: gzip\r\n") + GzipHeader + DeflateStart);
        // The stream is never finished: a reader that does not stop drowns first.
        pump(socket, repeat(DeflateCycle.repeated(PieceBytes / DeflateCycle.size()), options.bytes),
             close);
        break;
    }
    case Fault::BadGzip: {
        const qint64 size = std::min<qint64>(options.bytes, 1024 * 1024);
        socket->write(head("200 OK", "Content-Encoding: gzip\r\nContent-Length: " +
                                         QByteArray::number(GzipHeader.size() + 1 + size) +
                                         "\r\n") +
                      GzipHeader + "\x07"_ba); // a block of the reserved type
        pump(socket, repeat(filler, size), close);
        break;
    }
    }
}

} // namespace marbleway::test
