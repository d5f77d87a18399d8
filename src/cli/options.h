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
    QString site;
    QString keyword;
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
    bool run = false; // false: list them
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

struct ShowHelp {};
struct ShowVersion {};

struct UsageError {
    QString message;
};

using Invocation =
    std::variant<ShowHelp, ShowVersion, UsageError, FetchOptions, RankOptions, FavouritesOptions,
                 RelatedSearchOptions, DbOptions, ResourcesOptions, BaiduOptions>;

// Reads the command line (program name first).
Invocation parseArguments(const QStringList& arguments);

QString usageText();

} // namespace marbleway::cli
