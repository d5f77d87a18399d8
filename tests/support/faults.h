#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class QTcpSocket;

namespace marbleway::test {

// Ways a hostile or broken server answers. Each ends by itself: after its
// bytes, after its time, or when the client goes.
enum class Fault {
    Endless,      // a chunked body that never ends
    FastBody,     // a large body without a length, as fast as the client reads, then close
    Drip,         // one byte at a time, slowly
    Reset,        // the connection reset halfway through the body
    RedirectLoop, // every answer redirects to yet another address
    GzipBomb,     // gzip that inflates about 160 times
    BadGzip,      // a gzip header followed by bytes that do not inflate
};

inline constexpr std::array AllFaults{Fault::Endless, Fault::FastBody,     Fault::Drip,
                                      Fault::Reset,   Fault::RedirectLoop, Fault::GzipBomb,
                                      Fault::BadGzip};

// "endless", "fastbody", "drip", "reset", "redirectloop", "gzipbomb", "badgzip".
QString faultName(Fault fault);

struct FaultOptions {
    qint64 bytes = 256LL * 1024 * 1024; // body bytes sent at most (compressed for gzip)
    // Repeated to make the bodies that are not gzip: text a reader would take
    // for a page if it kept what such a body delivers.
    QByteArray filler{"x"};
};

// Answers one request with `fault`; `hop` is the redirect loop's count so far.
void sendFault(QTcpSocket* socket, Fault fault, const FaultOptions& options, const QString& path,
               int hop);

} // namespace marbleway::test
