#include "app/widgetprompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <qcoro/qcorosignal.h>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Opens `dialog`, waits until it closes and disposes of it; nullopt when it went
// away unanswered (its parent closed).
template <typename Dialog>
QCoro::Task<std::optional<int>> shown(QPointer<Dialog> dialog)
{
    dialog->setWindowModality(dialog->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->open();
    const auto result = co_await qCoro(dialog.data(), &QDialog::finished);
    if (dialog)
        dialog->deleteLater();
    co_return result;
}

// The file chosen in a file dialog, or nullopt when it was cancelled.
QCoro::Task<std::optional<QString>> chosenFile(QPointer<QFileDialog> dialog)
{
    QString chosen;
    QObject::connect(dialog.data(), &QFileDialog::fileSelected, dialog.data(),
                     [&chosen](const QString& file) { chosen = file; });
    const auto result = co_await shown(dialog);
    if (result != QDialog::Accepted || chosen.isEmpty())
        co_return std::nullopt;
    co_return chosen;
}

} // namespace

QCoro::Task<> WidgetPrompts::message(QString title, QString text, PromptIcon icon)
{
    QPointer<QMessageBox> box =
        new QMessageBox(boxIcon(icon), title, text, QMessageBox::Ok, m_parent.data());
    box->button(QMessageBox::Ok)->setText(QCoreApplication::translate("WidgetPrompts", "确定"));
    co_await shown(box);
}

QCoro::Task<bool> WidgetPrompts::confirm(QString title, QString text, PromptButtons buttons)
{
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent.data());
    QPushButton* accept = nullptr;
    if (buttons == PromptButtons::YesNo) {
        // Yes-or-no questions delete something or end the program: a stray
        // Enter keeps things as they are.
        accept = box->addButton(QCoreApplication::translate("WidgetPrompts", "是(&Y)"),
                                QMessageBox::YesRole);
        QPushButton* no = box->addButton(QCoreApplication::translate("WidgetPrompts", "否(&N)"),
                                         QMessageBox::NoRole);
        box->setDefaultButton(no);
        box->setEscapeButton(no);
    } else {
        accept = box->addButton(QCoreApplication::translate("WidgetPrompts", "确定"),
                                QMessageBox::AcceptRole);
        box->setDefaultButton(accept);
        box->setEscapeButton(box->addButton(QCoreApplication::translate("WidgetPrompts", "取消"),
                                            QMessageBox::RejectRole));
    }
    QPointer<QPushButton> yes = accept;
    // The clicked button is known once the box has closed, before it is deleted.
    bool accepted = false;
    QObject::connect(box.data(), &QMessageBox::buttonClicked, box.data(),
                     [yes, &accepted](QAbstractButton* clicked) { accepted = clicked == yes; });
    co_await shown(box);
    co_return accepted;
}

QCoro::Task<std::optional<QString>> WidgetPrompts::input(QString title, QString label,
                                                         QString initial)
{
    QPointer<QInputDialog> dialog = new QInputDialog(m_parent.data());
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setTextValue(initial);
    dialog->setOkButtonText(QCoreApplication::translate("WidgetPrompts", "确定"));
    dialog->setCancelButtonText(QCoreApplication::translate("WidgetPrompts", "取消"));
    QString text;
    QObject::connect(dialog.data(), &QInputDialog::textValueSelected, dialog.data(),
                     [&text](const QString& value) { text = value; });
    const auto result = co_await shown(dialog);
    if (result != QDialog::Accepted)
        co_return std::nullopt;
    co_return text;
}

QCoro::Task<std::optional<QString>> WidgetPrompts::openFileName(QString title, QString filter)
{
    QPointer<QFileDialog> dialog = new QFileDialog(m_parent.data(), title, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    co_return co_await chosenFile(dialog);
}

QCoro::Task<std::optional<QString>> WidgetPrompts::saveFileName(QString title, QString filter,
                                                                QString defaultSuffix)
{
    QPointer<QFileDialog> dialog = new QFileDialog(m_parent.data(), title, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(defaultSuffix);
    // The caller asks its own overwrite question.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    co_return co_await chosenFile(dialog);
}

} // namespace marbleway
