#pragma once

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QString>
#include <QTimer>

namespace marbleway {

// The cookies the program's own requests and its embedded browsers share, so
// that a captcha answered in a browser lets the next request through too.
// Lasting cookies are kept in a file of the data folder.
class CookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    enum class Saving { Save, ReadOnly };
    // In the data folder.
    static constexpr QStringView FileName = u"cookies.txt";

    // Reads `file` when it exists; an empty name keeps cookies in memory only.
    // A read-only jar (the command line beside a running window) never writes it.
    explicit CookieJar(QString file = {}, Saving saving = Saving::Save, QObject* parent = nullptr);
    // Writes what changed since the last save.
    ~CookieJar() override;

    // Cookies a server set on a request of the program: they go to the
    // browsers too (see received()).
    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;

    // Cookies a browser set or dropped; not echoed back to the browsers.
    void addFromBrowser(const QNetworkCookie& cookie);
    void removeFromBrowser(const QNetworkCookie& cookie);

    QList<QNetworkCookie> cookies() const { return allCookies(); }

    // Writes the lasting cookies that have not expired, replacing the file
    // whole; false when it could not be written (the old file stays).
    bool save();

Q_SIGNALS:
    void received(const QList<QNetworkCookie>& cookies, const QUrl& url);

private:
    void changed();

    QString m_file;
    Saving m_saving;
    QTimer m_saveSoon;
    bool m_dirty = false;
};

} // namespace marbleway
