#include "app/adwordstab.h"

#include "app/pagewidgets.h"
#include "app/reportlist.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

AdWordsTab::AdWordsTab(AdWordsResults& results, KeywordDatabaseList& database, QWidget* parent)
    : QWidget(parent)
    , m_keyword(new QLineEdit(this))
    , m_addToDatabase(new QPushButton(u"加入关键词数据库"_s, this))
    , m_start(pendingButton(u"开始查询"_s, this))
    , m_captcha(new QGroupBox(u"验证码"_s, this))
    , m_captchaAnswer(new QLineEdit(m_captcha))
    , m_refresh(pendingButton(u"重新获取"_s, m_captcha))
    , m_browserArea(new QStackedWidget(this))
    , m_results(makeListView(this, u"adwordsList"_s, results.list(), false, {170, 110, 110, 110}))
    , m_usage(new QGroupBox(u"使用说明"_s, this))
    , m_operations(new QGroupBox(u"相关操作"_s, this))
{
    auto* captchaLayout = new QHBoxLayout(m_captcha);
    captchaLayout->addWidget(new QLabel(u"验证码："_s, m_captcha));
    captchaLayout->addWidget(m_captchaAnswer, 1);
    captchaLayout->addWidget(m_refresh);

    auto* operations = new QVBoxLayout(m_operations);
    auto* keywordRow = new QHBoxLayout;
    keywordRow->addWidget(new QLabel(u"关键词："_s, m_operations));
    keywordRow->addWidget(m_keyword, 1);
    keywordRow->addWidget(m_start);
    operations->addLayout(keywordRow);
    operations->addWidget(m_captcha);
    operations->addWidget(hintLabel(
        u"请先输入页面上显示的正确验证码，再点击“开始查询”。每次查询最多可能需要一分钟。"_s,
        m_operations));

    auto* usage = new QVBoxLayout(m_usage);
    usage->addWidget(hintLabel(
        u"1. 在“关键词”框中输入要查询的关键词；\n2. 如页面要求验证码，请在“验证码”框中输入；\n"
        "3. 点击“开始查询”，查询结果将显示在下方列表中，可导出或加入关键词数据库。"_s,
        m_usage));

    auto* top = new QHBoxLayout;
    top->addWidget(m_operations, 3);
    top->addWidget(m_usage, 2);

    // The keyword tool page is shown here; the cover hides it while a query runs.
    auto* page = new QLabel(u"AdWords 关键词工具页面将在此处显示。"_s, m_browserArea);
    page->setAlignment(Qt::AlignCenter);
    page->setFrameShape(QFrame::StyledPanel);
    auto* cover = new QLabel(u"查询中，请稍后……"_s, m_browserArea);
    cover->setAlignment(Qt::AlignCenter);
    m_browserArea->addWidget(page);
    m_browserArea->addWidget(cover);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_browserArea);
    splitter->addWidget(m_results);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addToDatabase);
    buttons->addStretch();
    m_export = addExportButtons(buttons, u"导出至"_s);
    // The checked results, without counts, under the keyword asked for.
    connect(m_addToDatabase, &QPushButton::clicked, this, [this, &results, &database] {
        database.addUncounted(results.list()->checkedTexts(), m_keyword->text());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
}

void AdWordsTab::setFramesVisible(bool visible)
{
    m_usage->setVisible(visible);
    m_operations->setVisible(visible);
}

} // namespace marbleway
