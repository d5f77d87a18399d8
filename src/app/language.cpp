#include "app/language.h"

#include "core/prompts.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QSettings>

#include <array>

namespace marbleway::language {

using namespace Qt::StringLiterals;

namespace {

const QString settingKey = u"Window/language"_s;

QCoro::Task<> tellChosen(Prompts* prompts, QString spoken, bool saved)
{
    // In the language chosen: the window itself changes only on the next start.
    const bool english = spoken == English;
    if (!saved) {
        co_await prompts->message(
            english ? u"Language"_s : u"语言"_s,
            english ? u"The language could not be saved: the settings file cannot be written."_s
                    : u"语言未能保存：设置文件无法写入。"_s,
            PromptIcon::Critical);
        co_return;
    }
    co_await prompts->message(
        english ? u"Language"_s : u"语言"_s,
        english ? u"The window will be in English the next time Marbleway starts."_s
                : u"下次启动 Marbleway 时窗口将使用中文。"_s,
        PromptIcon::Information);
}

} // namespace

QString stored(const QSettings& settings)
{
    const QString choice = settings.value(settingKey).toString();
    return choice == Chinese || choice == English ? choice : QString();
}

bool store(QSettings& settings, const QString& choice)
{
    settings.setValue(settingKey, choice);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString resolve(const QString& choice, const QLocale& system)
{
    if (choice == Chinese || choice == English)
        return choice;
    return system.language() == QLocale::Chinese ? Chinese : English;
}

QMenu* addMenu(QMenu* parent, QSettings& settings, Prompts& prompts)
{
    // Both languages in every caption: whoever cannot read the window finds it.
    QMenu* menu = parent->addMenu(u"语言 / Language"_s);
    menu->setObjectName(u"languageMenu"_s);
    auto* group = new QActionGroup(menu);
    const QString current = stored(settings);
    const std::array<std::pair<QString, QString>, 3> choices = {{
        {u"跟随系统 / System"_s, QString()},
        {u"中文"_s, Chinese},
        {u"English"_s, English},
    }};
    for (const auto& [caption, choice] : choices) {
        QAction* action = menu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(choice == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [&settings, &prompts, choice = choice] {
            const bool saved = store(settings, choice);
            tellChosen(&prompts, resolve(choice), saved);
        });
    }
    return menu;
}

} // namespace marbleway::language

namespace marbleway {

using namespace Qt::StringLiterals;

QString translated(const char* context, const QString& source)
{
    return QCoreApplication::translate(context, source.toUtf8().constData());
}

Translations::Translations(const QString& language)
{
    const QLocale locale(language);
    if (language != language::Chinese && m_program.load(u":/i18n/marbleway_"_s + language))
        m_programInstalled = QCoreApplication::installTranslator(&m_program);
    // Qt's own dialogs (file choosers, standard buttons) in the same language.
    if (m_qt.load(locale, u"qt"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    if (m_programInstalled)
        QCoreApplication::removeTranslator(&m_program);
    if (m_qtInstalled)
        QCoreApplication::removeTranslator(&m_qt);
}

} // namespace marbleway
