#include "app/feedbackdialog.h"

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
    , m_send(new QPushButton(u"确定发送"_s, this))
{
    setWindowTitle(u"意见和建议"_s);
    m_type->addItems(Feedback::Types);
    m_type->setCurrentText(Feedback::DefaultType);
    m_content->setTabChangesFocus(true);
    m_content->setMinimumHeight(140);

    auto* heading = new QLabel(u"您的意见和建议，是我们不断前进的动力"_s, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* form = new QFormLayout;
    form->addRow(u"标题："_s, m_title);
    form->addRow(u"内容："_s, m_content);
    auto* contact = new QHBoxLayout;
    contact->addWidget(m_qq);
    contact->addWidget(new QLabel(u"Email："_s, this));
    contact->addWidget(m_email, 1);
    form->addRow(u"QQ："_s, contact);
    form->addRow(u"类型："_s, m_type);

    auto* mail =
        new QLabel(u"您也可以发送邮件至 <a href=\"mailto:%1\">%1</a> 提出您的意见和建议。"_s.arg(
                       Feedback::MakerMail),
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
        m_send->setToolTip(u"本版本没有配置反馈服务，请通过邮件发送"_s);
    connect(m_send, &QPushButton::clicked, this, [this] { send(); });
    resize(520, 380);
}

QCoro::Task<> FeedbackDialog::send()
{
    QPointer<FeedbackDialog> self = this;
    Prompts& prompts = *m_prompts;
    Feedback feedback{m_title->text(), m_type->currentText(), m_qq->text(), m_email->text(),
                      m_content->toPlainText()};
    if (const QString problem = feedback.problem(); !problem.isEmpty()) {
        co_await prompts.message(u"提示"_s, problem, PromptIcon::Information);
        co_return;
    }
    // Nothing is pretended: without a service the text stays for the e-mail.
    if (!m_endpoints->isReachable(Service::Maker)) {
        co_await prompts.message(
            u"提示"_s,
            u"本版本没有配置反馈服务，意见和建议无法从程序中发送。\n请发送邮件至 %1，您填写的内容仍保留在窗口中。"_s
                .arg(Feedback::MakerMail),
            PromptIcon::Information);
        co_return;
    }
    m_send->setText(u"正在提交"_s);
    m_send->setEnabled(false);
    co_await sendFeedback(*m_client, feedback.address(*m_endpoints));
    if (!self)
        co_return;
    co_await prompts.message(u"提示"_s, u"您的建议已经提交，非常感谢！"_s, PromptIcon::Information);
    if (!self)
        co_return;
    m_title->clear();
    m_content->clear();
    m_send->setText(u"确定发送"_s);
    m_send->setEnabled(true);
}

} // namespace marbleway
