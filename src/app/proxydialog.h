#pragma once

#include <QDialog>
#include <qcoro/qcorotask.h>

class QCheckBox;
class QPlainTextEdit;
class QRadioButton;

namespace marbleway {

class Application;

// "代理服务器设置": no proxy, the system's, or a list taken in turn. Saved and
// put to work on "确定"; the browsers take it at the next start.
class ProxyDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProxyDialog(Application& app, QWidget* parent = nullptr);

    QRadioButton* noneButton() const { return m_none; }
    QRadioButton* systemButton() const { return m_system; }
    QRadioButton* listButton() const { return m_list; }
    QPlainTextEdit* listBox() const { return m_proxies; }
    QCheckBox* pacePerProxyBox() const { return m_pacePerProxy; }
    // "确定": checks the list, saves, applies, closes; stays open on a problem.
    QCoro::Task<> confirm();

private:
    Application* m_app;
    QRadioButton* m_none;
    QRadioButton* m_system;
    QRadioButton* m_list;
    QPlainTextEdit* m_proxies;
    QCheckBox* m_pacePerProxy;
};

} // namespace marbleway
