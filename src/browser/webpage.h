#pragma once

#include "browser/browserengine.h"

#include <QObject>

#include <memory>

namespace marbleway {

// One browser page of the program, as its jobs and widgets see it.
class WebPage : public QObject {
    Q_OBJECT
public:
    WebPage(std::unique_ptr<EnginePage> page, QObject* parent);
    ~WebPage() override;

    void load(const QUrl& url) { m_page->load(url); }
    QUrl url() const { return m_page->url(); }
    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done)
    {
        m_page->runJavaScript(script, std::move(done));
    }
    QWidget* createView(QWidget* parent) { return m_page->createView(parent); }
    EnginePage* enginePage() const { return m_page.get(); }

Q_SIGNALS:
    void loadFinished(bool ok);

private:
    std::unique_ptr<EnginePage> m_page;
};

} // namespace marbleway
