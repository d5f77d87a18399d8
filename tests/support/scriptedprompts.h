#pragma once

#include "core/prompts.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <optional>

namespace marbleway::test {

// Prompts that answer from a script and remember what was shown.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        QString kind; // "message", "confirm", "input", "open", "save"
        QString title;
        QString text;
    };

    // Answers for the next questions, in order. Without a queued answer a
    // confirmation says no and the other dialogs are cancelled.
    void answerConfirm(bool yes) { m_confirms.enqueue(yes); }
    void answerText(std::optional<QString> text) { m_texts.enqueue(std::move(text)); }

    const QList<Shown>& shown() const { return m_shown; }
    // The texts of every message box shown, in order.
    QStringList messages() const;
    void clear() { m_shown.clear(); }

    QCoro::Task<> message(QString title, QString text, PromptIcon icon) override;
    QCoro::Task<bool> confirm(QString title, QString text, PromptButtons buttons) override;
    QCoro::Task<std::optional<QString>> input(QString title, QString label) override;
    QCoro::Task<std::optional<QString>> openFileName(QString title, QString filter) override;
    QCoro::Task<std::optional<QString>> saveFileName(QString title, QString filter,
                                                     QString defaultSuffix) override;

private:
    std::optional<QString> nextText();

    QList<Shown> m_shown;
    QQueue<bool> m_confirms;
    QQueue<std::optional<QString>> m_texts;
};

} // namespace marbleway::test
