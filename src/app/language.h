#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

class QMenu;
class QSettings;

namespace marbleway {

class Prompts;

// The window's language: the user's choice from the menu, kept in the settings
// group "Window" beside the program's own keys. Read once at start-up; a new
// choice takes effect on the next start. Files the program writes keep their
// Chinese texts whatever the window speaks.
namespace language {

inline const QString Chinese = QStringLiteral("zh_CN");
inline const QString English = QStringLiteral("en");

// "zh_CN", "en", or empty for the system's language.
QString stored(const QSettings& settings);
// False when the settings file could not be written.
bool store(QSettings& settings, const QString& choice);
// What the window speaks for a choice: a Chinese system locale keeps the
// source texts, any other gets English.
QString resolve(const QString& choice, const QLocale& system = QLocale::system());

// "语言 / Language" with its three choices, under `parent`.
QMenu* addMenu(QMenu* parent, QSettings& settings, Prompts& prompts);

} // namespace language

// A text kept in its source language (it is compared, or stored) and marked
// with QT_TRANSLATE_NOOP(context, ...), as the window shows it.
QString translated(const char* context, const QString& source);

// The program's translation and Qt's own for one language, installed while
// this lives.
class Translations {
public:
    explicit Translations(const QString& language);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether the window's own texts are translated (not for Chinese).
    bool translatesProgram() const { return m_programInstalled; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_programInstalled = false;
    bool m_qtInstalled = false;
};

} // namespace marbleway
