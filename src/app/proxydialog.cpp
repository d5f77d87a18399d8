#include "app/proxydialog.h"

#include "app/application.h"
#include "app/pagewidgets.h"
#include "web/proxies.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

ProxyDialog::ProxyDialog(Application& app, QWidget* parent)
    : QDialog(parent)
    , m_app(&app)
    , m_none(new QRadioButton(tr("不使用代理"), this))
    , m_system(new QRadioButton(tr("使用系统的代理设置"), this))
    , m_list(new QRadioButton(tr("轮流使用以下代理服务器（每行一个）"), this))
    , m_proxies(new QPlainTextEdit(this))
    , m_pacePerProxy(new QCheckBox(tr("每个代理分别计算抓取时间间隔"), this))
{
    setWindowTitle(tr("代理服务器设置"));
    m_proxies->setPlaceholderText(
        tr("http://127.0.0.1:8080\nsocks5://用户名:密码@proxy.example.com:1080"));
    m_proxies->setTabChangesFocus(true);

    const ProxySettings stored = ProxySettings::load(app.settings().settings());
    (stored.mode == ProxySettings::Mode::None     ? m_none
     : stored.mode == ProxySettings::Mode::System ? m_system
                                                  : m_list)
        ->setChecked(true);
    m_proxies->setPlainText(stored.list.join(u'\n'));
    m_pacePerProxy->setChecked(stored.pacePerProxy);
    const auto listChosen = [this] {
        m_proxies->setEnabled(m_list->isChecked());
        m_pacePerProxy->setEnabled(m_list->isChecked());
    };
    connect(m_list, &QRadioButton::toggled, this, listChosen);
    listChosen();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_none);
    layout->addWidget(m_system);
    layout->addWidget(m_list);
    layout->addWidget(m_proxies, 1);
    layout->addWidget(m_pacePerProxy);
    layout->addWidget(
        hintLabel(tr("查询时依次使用各代理；无法连接的代理会暂停使用 5 分钟。"
                     "内嵌浏览器（AdWords 工具页等）使用第一个代理，在下次启动后生效。"),
                  this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { confirm(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 380);
}

QCoro::Task<> ProxyDialog::confirm()
{
    QPointer<ProxyDialog> self = this;
    ProxySettings chosen;
    chosen.mode = m_none->isChecked()     ? ProxySettings::Mode::None
                  : m_system->isChecked() ? ProxySettings::Mode::System
                                          : ProxySettings::Mode::List;
    for (const QString& line : m_proxies->toPlainText().split(u'\n')) {
        if (!line.trimmed().isEmpty())
            chosen.list << line.trimmed();
    }
    chosen.pacePerProxy = m_pacePerProxy->isChecked();
    QString problem;
    if (chosen.mode == ProxySettings::Mode::List && chosen.list.isEmpty())
        problem = tr("请至少输入一个代理服务器。");
    else if (chosen.mode == ProxySettings::Mode::List && !chosen.problems().isEmpty())
        problem =
            tr("以下代理地址无法使用（第几行：原因）：\n%1").arg(chosen.problems().join(u'\n'));
    if (!problem.isEmpty()) {
        co_await m_app->prompts().message(tr("提示"), problem, PromptIcon::Information);
        co_return;
    }
    chosen.save(m_app->settings().settings());
    m_app->applyProxies(chosen);
    if (self)
        accept();
}

} // namespace marbleway
