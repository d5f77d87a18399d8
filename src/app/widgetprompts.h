#pragma once

#include "core/prompts.h"

#include <QPointer>
#include <QWidget>

namespace marbleway {

// Prompts as the program's dialogs: window-modal over the main window, opened
// without an event loop of their own and awaited until they close.
class WidgetPrompts final : public Prompts {
public:
    // Dialogs open over `parent`, or on their own until it is set.
    void setParent(QWidget* parent) { m_parent = parent; }

    QCoro::Task<> message(QString title, QString text, PromptIcon icon) override;
    QCoro::Task<bool> confirm(QString title, QString text, PromptButtons buttons) override;
    QCoro::Task<std::optional<QString>> input(QString title, QString label,
                                              QString text = {}) override;
    QCoro::Task<std::optional<QString>> openFileName(QString title, QString filter) override;
    QCoro::Task<std::optional<QString>> saveFileName(QString title, QString filter,
                                                     QString defaultSuffix) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace marbleway
