#include "browser/webpage.h"

namespace marbleway {

WebPage::WebPage(std::unique_ptr<EnginePage> page, QObject* parent)
    : QObject(parent)
    , m_page(std::move(page))
{
    m_page->loadFinished = [this](bool ok) { Q_EMIT loadFinished(ok); };
}

WebPage::~WebPage()
{
    m_page->loadFinished = nullptr;
}

} // namespace marbleway
