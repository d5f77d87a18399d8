#pragma once

#include "web/engines.h"

#include <QDialog>

#include <array>

class QComboBox;

namespace marbleway {

class CrawlPacer;
class SettingsStore;

// "搜索引擎屏蔽设置": the pause between two requests to each engine. Every
// choice is written to the settings and to the pacing at once.
class CrawlSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CrawlSettingsDialog(SettingsStore& settings, CrawlPacer& pacer, QWidget* parent = nullptr);

    // The list of Google (0), Yahoo (1) or Bing (2): "3" to "10".
    QComboBox* intervalBox(int engine) const { return m_boxes[size_t(engine)]; }

private:
    void chosen(int engine);

    SettingsStore* m_settings;
    CrawlPacer* m_pacer;
    std::array<QComboBox*, AllSearchEngines.size()> m_boxes{};
};

} // namespace marbleway
