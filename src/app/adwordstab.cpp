#include "app/adwordstab.h"

#include "adwords/adwordstool.h"
#include "app/language.h"
#include "app/pagewidgets.h"
#include "app/reportlist.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

AdWordsTab::AdWordsTab(AdWordsResults& results, KeywordDatabaseList& database, QWidget* parent)
    : QWidget(parent)
    , m_keyword(new QLineEdit(this))
    , m_addToDatabase(new QPushButton(tr("加入关键词数据库"), this))
    , m_start(new QPushButton(tr("开始查询"), this))
    , m_captcha(new QGroupBox(tr("验证码"), this))
    , m_captchaAnswer(new QLineEdit(m_captcha))
    , m_refresh(new QPushButton(tr("重新获取"), m_captcha))
    , m_browserArea(new QStackedWidget(this))
    , m_cover(new QLabel(tr("查询中，请稍后……"), m_browserArea))
    , m_results(makeListView(this, u"adwordsList"_s, results.list(), false, {170, 110, 110, 110}))
    , m_usage(new QGroupBox(tr("使用说明"), this))
    , m_operations(new QGroupBox(tr("相关操作"), this))
{
    auto* captchaLayout = new QHBoxLayout(m_captcha);
    captchaLayout->addWidget(new QLabel(tr("验证码："), m_captcha));
    captchaLayout->addWidget(m_captchaAnswer, 1);
    captchaLayout->addWidget(m_refresh);

    auto* operations = new QVBoxLayout(m_operations);
    auto* keywordRow = new QHBoxLayout;
    keywordRow->addWidget(new QLabel(tr("关键词："), m_operations));
    keywordRow->addWidget(m_keyword, 1);
    keywordRow->addWidget(m_start);
    operations->addLayout(keywordRow);
    operations->addWidget(m_captcha);
    operations->addWidget(hintLabel(
        tr("请先输入页面上显示的正确验证码，再点击“开始查询”。每次查询最多可能需要一分钟。"),
        m_operations));

    auto* usage = new QVBoxLayout(m_usage);
    usage->addWidget(hintLabel(
        tr("1. 在“关键词”框中输入要查询的关键词；\n2. 如页面要求验证码，请在“验证码”框中输入；\n"
           "3. 点击“开始查询”，查询结果将显示在下方列表中，可导出或加入关键词数据库。"),
        m_usage));

    auto* top = new QHBoxLayout;
    top->addWidget(m_operations, 3);
    top->addWidget(m_usage, 2);

    // The keyword tool page is shown here once it has loaded; the cover hides
    // it while a query runs and when the page asks for no captcha.
    auto* note = new QLabel(tr("正在打开 AdWords 关键词工具页面……"), m_browserArea);
    note->setAlignment(Qt::AlignCenter);
    note->setFrameShape(QFrame::StyledPanel);
    note->setWordWrap(true);
    static_cast<QLabel*>(m_cover)->setAlignment(Qt::AlignCenter);
    m_browserArea->addWidget(note);
    m_browserArea->addWidget(m_cover);
    // The page stays shown under its cover: a hidden page runs its timers once
    // a second at most, which would slow every query by a second.
    static_cast<QStackedLayout*>(m_browserArea->layout())
        ->setStackingMode(QStackedLayout::StackAll);
    for (QWidget* panel : {static_cast<QWidget*>(note), m_cover}) {
        panel->setAutoFillBackground(true);
        panel->setBackgroundRole(QPalette::Window);
    }
    m_browserArea->setMinimumHeight(240);
    // Live once the tool page has loaded; as wide as its busy caption, so the
    // keyword box keeps its width during a query.
    m_start->setEnabled(false);
    m_start->setMinimumWidth(m_start->fontMetrics().horizontalAdvance(
                                 translated("AdWordsTool", AdWordsTool::BusyCaption)) +
                             24);
    m_refresh->setEnabled(false);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_browserArea);
    splitter->addWidget(m_results);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addToDatabase);
    buttons->addStretch();
    m_export = addExportButtons(buttons, tr("导出至"));
    // The checked results, without counts, under the keyword asked for.
    connect(m_addToDatabase, &QPushButton::clicked, this, [this, &results, &database] {
        database.addUncounted(results.list()->checkedTexts(), m_keyword->text());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
}

void AdWordsTab::attach(AdWordsTool* tool)
{
    if (m_tool == tool)
        return;
    m_tool = tool;
    m_view = tool->page()->createView(m_browserArea);
    m_view->setObjectName(u"adwordsBrowser"_s);
    // The page's own menu is cancelled too (see the tool's page handler).
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_browserArea->insertWidget(1, m_view);

    connect(tool, &AdWordsTool::changed, this, &AdWordsTab::showTool);
    connect(m_start, &QPushButton::clicked, tool, [this] { m_tool->start(m_keyword->text()); });
    connect(m_keyword, &QLineEdit::returnPressed, m_start, [this] {
        if (m_start->isEnabled() && !m_tool->isQuerying())
            m_start->click();
    });
    connect(m_refresh, &QPushButton::clicked, tool, &AdWordsTool::refresh);
    connect(m_captchaAnswer, &QLineEdit::textEdited, tool, &AdWordsTool::setCaptchaAnswer);
    showTool();
}

void AdWordsTab::showTool()
{
    const AdWordsTool& tool = *m_tool;
    m_start->setText(translated("AdWordsTool", tool.startCaption()));
    m_start->setEnabled(tool.isStartEnabled());
    m_start->setToolTip(tool.isQuerying() && tool.isStartEnabled() ? tr("再次点击结束本次查询")
                                                                   : QString());
    m_captcha->setVisible(tool.isCaptchaShown());
    m_captcha->setEnabled(tool.isCaptchaEnabled());
    m_refresh->setEnabled(tool.isRefreshEnabled());
    if (m_captchaAnswer->text() != tool.captchaAnswer())
        m_captchaAnswer->setText(tool.captchaAnswer());
    static_cast<QLabel*>(m_cover)->setText(
        tool.isQuerying() ? tr("查询中，请稍后……")
        : tool.isLoadFailed()
            ? translated("AdWordsTool", AdWordsTool::PageFailed)
            : tr("AdWords 关键词工具页面已就绪，无需验证码，可直接点击“开始查询”。"));
    m_browserArea->setCurrentWidget(tool.isCoverShown()     ? m_cover
                                    : tool.isBrowserShown() ? static_cast<QWidget*>(m_view)
                                                            : m_browserArea->widget(0));
}

void AdWordsTab::showUnavailable(const QString& reason)
{
    auto* note = static_cast<QLabel*>(m_browserArea->widget(0));
    note->setText(reason);
    m_browserArea->setCurrentWidget(note);
}

void AdWordsTab::setFramesVisible(bool visible)
{
    m_usage->setVisible(visible);
    m_operations->setVisible(visible);
}

} // namespace marbleway
