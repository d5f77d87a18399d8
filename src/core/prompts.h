#pragma once

#include <QString>
#include <qcoro/qcorotask.h>

#include <optional>

namespace marbleway {

enum class PromptIcon { None, Information, Question, Critical };
enum class PromptButtons { YesNo, OkCancel };

// Every message box, question, input box and file dialog of the program goes
// through this: the window shows real dialogs, tests script the answers. Each
// call is awaited; none runs an event loop of its own.
class Prompts {
public:
    virtual ~Prompts() = default;

    virtual QCoro::Task<> message(QString title, QString text,
                                  PromptIcon icon = PromptIcon::Information) = 0;
    // True for Yes or OK.
    virtual QCoro::Task<bool> confirm(QString title, QString text, PromptButtons buttons) = 0;
    // The text entered, or nullopt when cancelled.
    // A line of text, `text` offered to edit; nothing when cancelled.
    virtual QCoro::Task<std::optional<QString>> input(QString title, QString label,
                                                      QString text = {}) = 0;
    // A file chosen to read or to write, or nullopt when cancelled. `filter` is
    // in Qt's form, "Txt (*.txt)".
    virtual QCoro::Task<std::optional<QString>> openFileName(QString title, QString filter) = 0;
    virtual QCoro::Task<std::optional<QString>> saveFileName(QString title, QString filter,
                                                             QString defaultSuffix) = 0;
};

} // namespace marbleway
