#include "scriptedprompts.h"

namespace marbleway::test {

using namespace Qt::StringLiterals;

QStringList ScriptedPrompts::messages() const
{
    QStringList texts;
    for (const Shown& shown : m_shown) {
        if (shown.kind == u"message"_s)
            texts << shown.text;
    }
    return texts;
}

std::optional<QString> ScriptedPrompts::nextText()
{
    return m_texts.isEmpty() ? std::nullopt : m_texts.dequeue();
}

QCoro::Task<> ScriptedPrompts::message(QString title, QString text, PromptIcon)
{
    m_shown.append({u"message"_s, title, text});
    co_return;
}

QCoro::Task<bool> ScriptedPrompts::confirm(QString title, QString text, PromptButtons)
{
    m_shown.append({u"confirm"_s, title, text});
    co_return m_confirms.isEmpty() ? false : m_confirms.dequeue();
}

QCoro::Task<std::optional<QString>> ScriptedPrompts::input(QString title, QString label)
{
    m_shown.append({u"input"_s, title, label});
    co_return nextText();
}

QCoro::Task<std::optional<QString>> ScriptedPrompts::openFileName(QString title, QString filter)
{
    m_shown.append({u"open"_s, title, filter});
    co_return nextText();
}

QCoro::Task<std::optional<QString>> ScriptedPrompts::saveFileName(QString title, QString filter,
                                                                  QString)
{
    m_shown.append({u"save"_s, title, filter});
    co_return nextText();
}

} // namespace marbleway::test
