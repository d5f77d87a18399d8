#pragma once

#include "lists/resultfilter.h"
#include "web/engines.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace marbleway::cli {

struct FetchOptions {
    QString url;
    QString charset; // empty: detect
    int timeoutSeconds = 10;
};

struct RankOptions {
    QStringList sites;    // every site is checked for every keyword
    QStringList keywords; // from --keyword, then the lines of --keywords-file
    QString keywordsFile;
    QString savePages; // a folder to keep every result page in
    QList<SearchEngine> engines;
    int depthResults = 10;
    bool allPositions = false;
    QString output; // a file for the rows too, its format from the extension
};

struct RelatedSearchOptions {
    QString seed;
    bool mustContain = false;
    std::optional<QString> exclude; // "w1|w2"
    QList<SearchEngine> counts;
    bool store = false;
    QString output;
};

struct FavouritesOptions {
    enum class Action { List, Run, History };
    Action action = Action::List;
    QString name; // --history: favourites whose site or keyword holds it; all when empty
    QString output;
};

struct DbOptions {
    enum class Action { List, Update, Delete, Add };
    Action action = Action::List;
    ResultFilter filter;         // list
    QList<SearchEngine> engines; // update
    QStringList keywords;        // delete, add
    QString parent;              // add
    QString output;              // list
};

struct ResourcesOptions {
    int category = 6;
    QString type;
    int fromPage = 1;
    QString output;
};

struct BaiduOptions {
    QStringList keywords;
    QString parent; // the keyword itself when empty
};

struct ShowHelp {
    QString command; // its own help; the whole help when empty
};
struct ShowVersion {};

struct UsageError {
    QString message;
};

using Invocation =
    std::variant<ShowHelp, ShowVersion, UsageError, FetchOptions, RankOptions, FavouritesOptions,
                 RelatedSearchOptions, DbOptions, ResourcesOptions, BaiduOptions>;

// Reads the command line (program name first). `--proxy URL` (anywhere after
// the command) goes to `proxy` when given.
Invocation parseArguments(const QStringList& arguments, QString* proxy = nullptr);

QString usageText();
// The part of the help about one command ("db": every db command); empty when
// there is no such command.
QString commandHelp(const QString& command);

} // namespace marbleway::cli
