#include "app/feedbackdialog.h"

#include "app/language.h"
#include "core/prompts.h"
#include "shell/feedback.h"
#include "web/endpoints.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

FeedbackDialog::FeedbackDialog(const WebClient& client, const Endpoints& endpoints,
                               Prompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_client(&client)
    , m_endpoints(&endpoints)
    , m_prompts(&prompts)
    , m_title(new QLineEdit(this))
    , m_content(new QPlainTextEdit(this))
    , m_qq(new QLineEdit(this))
    , m_email(new QLineEdit(this))
    , m_type(new QComboBox(this))
    , m_send(new QPushButton(tr("确定发送"), this))
{
    setWindowTitle(tr("意见和建议"));
    // The type is sent as its source text.
    for (const QString& type : Feedback::Types)
        m_type->addItem(translated("Feedback", type), type);
    m_type->setCurrentIndex(int(Feedback::Types.indexOf(Feedback::DefaultType)));
    m_content->setTabChangesFocus(true);
    m_content->setMinimumHeight(140);

    auto* heading = new QLabel(tr("您的意见和建议，是我们不断前进的动力"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* form = new QFormLayout;
    form->addRow(tr("标题："), m_title);
    form->addRow(tr("内容："), m_content);
    auto* contact = new QHBoxLayout;
    contact->addWidget(m_qq);
    contact->addWidget(new QLabel(tr("Email："), this));
    contact->addWidget(m_email, 1);
    form->addRow(tr("QQ："), contact);
    form->addRow(tr("类型："), m_type);

    auto* mail =
        new QLabel(tr("您也可以发送邮件至 <a href=\"mailto:%1\">%1</a> 提出您的意见和建议。")
                       .arg(Feedback::MakerMail),
                   this);
    mail->setObjectName(u"makerMail"_s);
    mail->setOpenExternalLinks(true);
    mail->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mail, 1);
    buttons->addWidget(m_send);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addLayout(buttons);

    m_send->setDefault(true);
    if (!m_endpoints->isReachable(Service::Maker))
        m_send->setToolTip(tr("本版本没有配置反馈服务，请通过邮件发送"));
    connect(m_send, &QPushButton::clicked, this, [this] { send(); });
    resize(520, 380);
}

QCoro::Task<> FeedbackDialog::send()
{
    QPointer<FeedbackDialog> self = this;
    Prompts& prompts = *m_prompts;
    Feedback feedback{m_title->text(), m_type->currentData().toString(), m_qq->text(),
                      m_email->text(), m_content->toPlainText()};
    if (const QString problem = feedback.problem(); !problem.isEmpty()) {
        co_await prompts.message(tr("提示"), problem, PromptIcon::Information);
        co_return;
    }
    // Nothing is pretended: without a service the text stays for the e-mail.
    if (!m_endpoints->isReachable(Service::Maker)) {
        co_await prompts.message(tr("提示"),
                                 tr("本版本没有配置反馈服务，意见和建议无法从程序中发送。\n请发送邮"
                                    "件至 %1，您填写的内容仍保留在窗口中。")
                                     .arg(Feedback::MakerMail),
                                 PromptIcon::Information);
        co_return;
    }
    m_send->setText(tr("正在提交"));
    m_send->setEnabled(false);
    co_await sendFeedback(*m_client, feedback.address(*m_endpoints));
    if (!self)
        co_return;
    co_await prompts.message(tr("提示"), tr("您的建议已经提交，非常感谢！"),
                             PromptIcon::Information);
    if (!self)
        co_return;
    m_title->clear();
    m_content->clear();
    m_send->setText(tr("确定发送"));
    m_send->setEnabled(true);
}

} // namespace marbleway
