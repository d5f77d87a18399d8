#include "web/cookiejar.h"

#include "core/textfile.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkCookie>

namespace marbleway {

namespace {

// One cookie a line, as a Set-Cookie header would carry it.
QByteArray serialise(const QList<QNetworkCookie>& cookies)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QByteArray text;
    for (const QNetworkCookie& cookie : cookies) {
        // Cookies for this run only die with it, as in any browser.
        if (cookie.isSessionCookie() || cookie.expirationDate() <= now)
            continue;
        text += cookie.toRawForm(QNetworkCookie::Full) + '\n';
    }
    return text;
}

QList<QNetworkCookie> parse(const QByteArray& text)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> cookies;
    for (const QByteArray& line : text.split('\n')) {
        for (const QNetworkCookie& cookie : QNetworkCookie::parseCookies(line.trimmed())) {
            if (!cookie.domain().isEmpty() && !cookie.isSessionCookie() &&
                cookie.expirationDate() > now)
                cookies << cookie;
        }
    }
    return cookies;
}

} // namespace

CookieJar::CookieJar(QString file, Saving saving, QObject* parent)
    : QNetworkCookieJar(parent)
    , m_file(std::move(file))
    , m_saving(saving)
{
    // A burst of cookies (one page sets several) costs one write.
    m_saveSoon.setSingleShot(true);
    m_saveSoon.setInterval(2000);
    connect(&m_saveSoon, &QTimer::timeout, this, &CookieJar::save);
    if (m_file.isEmpty())
        return;
    QFile in(m_file);
    if (in.open(QIODevice::ReadOnly))
        setAllCookies(parse(in.readAll()));
}

CookieJar::~CookieJar()
{
    if (m_dirty)
        save();
}

bool CookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url)
{
    const bool taken = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    if (taken) {
        changed();
        Q_EMIT received(cookies, url);
    }
    return taken;
}

void CookieJar::addFromBrowser(const QNetworkCookie& cookie)
{
    if (insertCookie(cookie))
        changed();
}

void CookieJar::removeFromBrowser(const QNetworkCookie& cookie)
{
    if (deleteCookie(cookie))
        changed();
}

void CookieJar::changed()
{
    if (m_file.isEmpty() || m_saving == Saving::ReadOnly)
        return;
    m_dirty = true;
    m_saveSoon.start();
}

bool CookieJar::save()
{
    m_saveSoon.stop();
    if (m_file.isEmpty() || m_saving == Saving::ReadOnly)
        return true;
    const bool saved = bool(writeWholeFile(m_file, serialise(allCookies())));
    m_dirty = !saved;
    return saved;
}

} // namespace marbleway
