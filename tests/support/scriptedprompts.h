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
    QStringList messages() const
    {
        QStringList texts;
        for (const Shown& shown : m_shown) {
            if (shown.kind == u"message")
                texts << shown.text;
        }
        return texts;
    }
    void clear() { m_shown.clear(); }

    QCoro::Task<> message(QString title, QString text, PromptIcon) override
    {
        m_shown.append({QStringLiteral("message"), title, text});
        co_return;
    }
    QCoro::Task<bool> confirm(QString title, QString text, PromptButtons) override
    {
        m_shown.append({QStringLiteral("confirm"), title, text});
        co_return m_confirms.isEmpty() ? false : m_confirms.dequeue();
    }
    QCoro::Task<std::optional<QString>> input(QString title, QString label, QString) override
    {
        co_return shownThenText(QStringLiteral("input"), title, label);
    }
    QCoro::Task<std::optional<QString>> openFileName(QString title, QString filter) override
    {
        co_return shownThenText(QStringLiteral("open"), title, filter);
    }
    QCoro::Task<std::optional<QString>> saveFileName(QString title, QString filter,
                                                     QString) override
    {
        co_return shownThenText(QStringLiteral("save"), title, filter);
    }

private:
    std::optional<QString> shownThenText(const QString& kind, const QString& title,
                                         const QString& text)
    {
        m_shown.append({kind, title, text});
        return m_texts.isEmpty() ? std::nullopt : m_texts.dequeue();
    }

    QList<Shown> m_shown;
    QQueue<bool> m_confirms;
    QQueue<std::optional<QString>> m_texts;
};

} // namespace marbleway::test
