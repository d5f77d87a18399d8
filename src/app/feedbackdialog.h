#pragma once

#include <QDialog>
#include <qcoro/qcorotask.h>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace marbleway {

class Endpoints;
class Prompts;
class WebClient;

// "意见和建议": a suggestion for the maker. While the program has no
// suggestion service to send to, the send button says so and names the
// maker's e-mail address instead.
class FeedbackDialog : public QDialog {
    Q_OBJECT
public:
    FeedbackDialog(const WebClient& client, const Endpoints& endpoints, Prompts& prompts,
                   QWidget* parent = nullptr);

    QLineEdit* titleBox() const { return m_title; }
    QPlainTextEdit* contentBox() const { return m_content; }
    QLineEdit* qqBox() const { return m_qq; }
    QLineEdit* emailBox() const { return m_email; }
    QComboBox* typeBox() const { return m_type; }
    QPushButton* sendButton() const { return m_send; }

private:
    QCoro::Task<> send();

    const WebClient* m_client;
    const Endpoints* m_endpoints;
    Prompts* m_prompts;
    QLineEdit* m_title;
    QPlainTextEdit* m_content;
    QLineEdit* m_qq;
    QLineEdit* m_email;
    QComboBox* m_type;
    QPushButton* m_send;
};

} // namespace marbleway
