#include "app/crawlsettingsdialog.h"

#include "app/pagewidgets.h"
#include "browser/browsers.h"
#include "browser/webpage.h"
#include "core/settingsstore.h"
#include "research/crawlpacer.h"
#include "web/endpoints.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

CrawlSettingsDialog::CrawlSettingsDialog(SettingsStore& settings, CrawlPacer& pacer,
                                         Browsers* browsers, const Endpoints& endpoints,
                                         QWidget* parent, const QString& blockedPage)
    : QDialog(parent)
    , m_settings(&settings)
    , m_pacer(&pacer)
{
    setWindowTitle(tr("搜索引擎屏蔽设置"));
    setObjectName(u"frm_setse"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        hintLabel(tr("当软件执行某些通过抓取谷歌等搜索引擎获取数据的操作时，由于在短时间内"
                     "连续执行相同操作会导致软件被搜索引擎屏蔽，从而"
                     "无法正常获取数据。解决方案是：设置软件抓取搜索引擎的时间间隔，越长越好。"),
                  this));
    auto* form = new QFormLayout;
    for (const SearchEngine each : AllSearchEngines) {
        const auto engine = size_t(each);
        auto* box = new QComboBox(this);
        for (int seconds = 3; seconds <= 10; ++seconds)
            box->addItem(QString::number(seconds));
        box->setCurrentIndex(-1);
        auto* row = new QHBoxLayout;
        row->addWidget(box);
        row->addWidget(new QLabel(tr("秒"), this));
        row->addStretch();
        form->addRow(tr("抓取%1时间间隔：").arg(engineDisplayName(each)), row);
        m_boxes[engine] = box;
    }
    layout->addLayout(form);

    auto* note =
        hintLabel(tr("如果以下浏览器显示有被屏蔽提示，并提示您输入验证码，请按照其提示输入，"
                     "验证通过后，短时间内不会再出现被屏蔽的现象。"),
                  this);
    layout->addWidget(note);
    if (browsers) {
        auto* pages = new QSplitter(this);
        pages->setObjectName(u"enginePages"_s);
        const QString first = blockedPage.isEmpty() ? googlePage(endpoints) : blockedPage;
        for (const QString& address : {first, baiduPage(endpoints)}) {
            WebPage* page = browsers->newPage(pages);
            if (!page)
                break;
            page->load(QUrl(address));
            QWidget* view = page->createView(pages);
            // The page goes after the view that shows it.
            page->setParent(view);
            pages->addWidget(view);
        }
        pages->setMinimumHeight(260);
        layout->addWidget(pages, 1);
    } else {
        auto* pages = new QLabel(tr("搜索引擎页面将在此处显示。"), this);
        pages->setAlignment(Qt::AlignCenter);
        pages->setFrameShape(QFrame::StyledPanel);
        pages->setMinimumHeight(120);
        layout->addWidget(pages, 1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(browsers ? 900 : 560, browsers ? 640 : 420);

    // Opening shows the stored intervals; choosing one stores it at once.
    for (const SearchEngine each : AllSearchEngines) {
        const int engine = int(each);
        const int seconds = pacer.interval(each);
        connect(m_boxes[size_t(engine)], &QComboBox::currentIndexChanged, this,
                [this, engine] { chosen(engine); });
        // An interval outside 3 to 10 (edited elsewhere) shows no choice and stays.
        m_boxes[size_t(engine)]->setCurrentIndex(seconds >= 3 && seconds <= 10 ? seconds - 3 : -1);
    }
}

QString CrawlSettingsDialog::googlePage(const Endpoints& endpoints)
{
    return endpoints.secureUrl(Service::Google, u"/?wd=seo"_s);
}

QString CrawlSettingsDialog::baiduPage(const Endpoints& endpoints)
{
    // The pages Baidu holds of its own host.
    const QString host = QUrl(u"http://"_s + endpoints.host(Service::Baidu)).host();
    return endpoints.secureUrl(Service::Baidu, u"/s?wd=site%3A"_s + host);
}

void CrawlSettingsDialog::chosen(int engine)
{
    const QComboBox* box = m_boxes[size_t(engine)];
    if (box->currentIndex() < 0)
        return;
    m_settings->RegCreate();
    m_settings->RegSave(engineInfo(static_cast<SearchEngine>(engine)).intervalSetting.toString(),
                        box->currentText());
    m_pacer->setInterval(static_cast<SearchEngine>(engine), box->currentText().toInt());
}

} // namespace marbleway
