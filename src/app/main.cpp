#include "app/application.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "app/widgetprompts.h"
#include "browser/browsers.h"
#include "core/version.h"
#include "web/webclient.h"

#include <QApplication>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTimer>

#include <cstdio>

using namespace marbleway;
using namespace Qt::StringLiterals;

namespace {

QIcon programIcon()
{
    // The installed theme's icon, or the same one built in.
    QIcon builtIn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(u":/icons/marbleway-%1.png"_s.arg(size), QSize(size, size));
    return QIcon::fromTheme(u"marbleway"_s, builtIn);
}

QCoro::Task<> startUp(Application* application, WidgetPrompts* prompts)
{
    const Application::StartResult result = co_await application->start();
    if (result != Application::StartResult::Running) {
        QCoreApplication::exit(result == Application::StartResult::Failed ? 1 : 0);
        co_return;
    }
    prompts->setParent(application->window());
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before anything needs a display.
    if (argc == 2 && qstrcmp(argv[1], "--version") == 0) {
        std::printf("marbleway %s\n", qPrintable(BuildVersion.toString()));
        return 0;
    }
    prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Marbleway"_s);
    QApplication::setOrganizationName(u"Marbleway"_s);
    QApplication::setApplicationVersion(ProgramVersion.toString());
    QApplication::setWindowIcon(programIcon());
    // The window decides when the program ends (it may refuse to close).
    QApplication::setQuitOnLastWindowClosed(false);

    const auto network = makeNetworkAccess();
    WidgetPrompts prompts;
    AppEnvironment environment = AppEnvironment::forUser(*network, prompts);
    // Before the first widget: texts are translated when they are made.
    const Translations translations(
        language::resolve(language::stored(environment.settings->settings())));
    Application application(std::move(environment));
    QObject::connect(&application, &Application::finished, &app, &QCoreApplication::quit);
    QTimer::singleShot(0, &application,
                       [&application, &prompts] { startUp(&application, &prompts); });
    return QApplication::exec();
}
