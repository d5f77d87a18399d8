#pragma once

#include "web/engines.h"

#include <QDialog>

#include <array>

class QComboBox;

namespace marbleway {

class Browsers;
class CrawlPacer;
class Endpoints;
class SettingsStore;

// "搜索引擎屏蔽设置": the pause between two requests to each engine. Every
// choice is written to the settings and to the pacing at once. Two engine pages
// below let a blocked user answer the engine's captcha; the browsers share
// their cookies with the program's requests. Without `browsers` a note stands
// in their place.
class CrawlSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `blockedPage`, when given, is shown in place of the Google page.
    CrawlSettingsDialog(SettingsStore& settings, CrawlPacer& pacer, Browsers* browsers,
                        const Endpoints& endpoints, QWidget* parent = nullptr,
                        const QString& blockedPage = {});

    // The addresses of the two engine pages.
    static QString googlePage(const Endpoints& endpoints);
    static QString baiduPage(const Endpoints& endpoints);

    // The list of Google (0), Yahoo (1) or Bing (2): "3" to "10".
    QComboBox* intervalBox(int engine) const { return m_boxes[size_t(engine)]; }

private:
    void chosen(int engine);

    SettingsStore* m_settings;
    CrawlPacer* m_pacer;
    std::array<QComboBox*, AllSearchEngines.size()> m_boxes{};
};

} // namespace marbleway
