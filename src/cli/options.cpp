#include "cli/options.h"

#include "export/report.h"
#include "ranking/ranktext.h"
#include "resources/resourcelibrary.h"
#include "web/charset.h"
#include "web/proxies.h"

#include <QCommandLineParser>

namespace marbleway::cli {

using namespace Qt::StringLiterals;

namespace {

bool wantsHelp(const QStringList& arguments)
{
    // Only in the place of a command or alone after it: "-h" may be a keyword.
    const auto isOption = [](const QString& word) {
        return word == u"--help"_s || word == u"-h"_s;
    };
    return (arguments.size() > 1 && (isOption(arguments.at(1)) || arguments.at(1) == u"help"_s)) ||
           (arguments.size() == 3 && isOption(arguments.at(2)));
}

// Parses the options after the command words; an error is a message.
std::variant<UsageError, QStringList> parseCommand(QCommandLineParser& parser,
                                                   const QStringList& arguments, int words = 1)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QStringList rest = arguments;
    rest.remove(1, words);
    if (!parser.parse(rest))
        return UsageError{parser.errorText()};
    return parser.positionalArguments();
}

// "google,yahoo" or repeated options: engines in the order given, once each.
std::variant<UsageError, QList<SearchEngine>> engineList(const QStringList& values,
                                                         const QString& option)
{
    QList<SearchEngine> engines;
    for (const QString& value : values) {
        for (const QString& name : value.split(u',', Qt::SkipEmptyParts)) {
            const auto engine = engineFromKey(name.trimmed());
            if (!engine)
                return UsageError{
                    u"unknown engine \"%1\" in %2 (google, yahoo or bing)"_s.arg(name, option)};
            if (!engines.contains(*engine))
                engines << *engine;
        }
    }
    return engines;
}

const QCommandLineOption outputOption(u"output"_s, u"Write the rows to FILE too."_s, u"FILE"_s);

// Reads --output into `file`; a message when its extension names no format.
std::optional<UsageError> readOutput(const QCommandLineParser& parser, QString& file)
{
    file = parser.value(outputOption);
    if (!parser.isSet(outputOption) || formatOfFile(file))
        return std::nullopt;
    return UsageError{
        u"--output needs a file ending in .txt, .htm, .html, .xlsx or .csv, not \"%1\""_s.arg(
            file)};
}

Invocation parseFetch(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption charset(u"charset"_s, u"Character set of the page."_s, u"LABEL"_s);
    const QCommandLineOption timeout(u"timeout"_s, u"Time-out in seconds."_s, u"SECONDS"_s);
    parser.addOptions({charset, timeout});
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    const QStringList positional = std::get<QStringList>(parsed);
    if (positional.size() != 1)
        return UsageError{u"fetch takes exactly one URL"_s};

    FetchOptions options;
    options.url = positional.first();
    if (parser.isSet(charset)) {
        options.charset = parser.value(charset).trimmed();
        if (!isKnownCharset(options.charset))
            return UsageError{u"unknown character set \"%1\" (try utf-8, gb2312, gbk, big5)"_s.arg(
                options.charset)};
    }
    if (parser.isSet(timeout)) {
        bool ok = false;
        options.timeoutSeconds = parser.value(timeout).toInt(&ok);
        if (!ok || options.timeoutSeconds < 0 || options.timeoutSeconds > 3600)
            return UsageError{
                u"--timeout must be a whole number of seconds from 0 to 3600, not \"%1\""_s.arg(
                    parser.value(timeout))};
    }
    return options;
}

Invocation parseRank(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption site(u"site"_s, u"Site to look for."_s, u"SITE"_s);
    const QCommandLineOption keyword(u"keyword"_s, u"Keyword to search."_s, u"KEYWORD"_s);
    const QCommandLineOption keywordsFile(u"keywords-file"_s, u"Keywords, one a line."_s,
                                          u"FILE"_s);
    const QCommandLineOption engine(u"engine"_s, u"Engine to ask."_s, u"ENGINE"_s);
    const QCommandLineOption depth(u"depth"_s, u"Results to read."_s, u"RESULTS"_s);
    const QCommandLineOption all(u"all"_s, u"Every position, not only the first."_s);
    const QCommandLineOption savePages(u"save-pages"_s, u"Keep every result page."_s, u"DIR"_s);
    parser.addOptions({site, keyword, keywordsFile, engine, depth, all, savePages, outputOption});
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    const QStringList positional = std::get<QStringList>(parsed);
    if (!positional.isEmpty())
        return UsageError{u"unexpected argument \"%1\""_s.arg(positional.first())};

    RankOptions options;
    // Each once, in the order given.
    const auto addTrimmed = [](QStringList& to, const QStringList& values) {
        for (const QString& value : values) {
            const QString text = value.trimmed();
            if (!text.isEmpty() && !to.contains(text))
                to << text;
        }
    };
    addTrimmed(options.sites, parser.values(site));
    addTrimmed(options.keywords, parser.values(keyword));
    options.keywordsFile = parser.value(keywordsFile);
    options.savePages = parser.value(savePages);
    if (options.sites.isEmpty())
        return UsageError{u"rank needs --site SITE"_s};
    if (options.keywords.isEmpty() && !parser.isSet(keywordsFile))
        return UsageError{u"rank needs --keyword KEYWORD or --keywords-file FILE"_s};
    for (const QString& name : parser.values(engine)) {
        const auto found = engineFromKey(name.trimmed());
        if (!found)
            return UsageError{u"unknown engine \"%1\" (google, yahoo or bing)"_s.arg(name)};
        if (!options.engines.contains(*found))
            options.engines.append(*found);
    }
    if (options.engines.isEmpty())
        options.engines = {AllSearchEngines.begin(), AllSearchEngines.end()};
    if (parser.isSet(depth)) {
        bool ok = false;
        options.depthResults = parser.value(depth).toInt(&ok);
        if (!ok || depthIndexForResults(options.depthResults) < 0)
            return UsageError{
                u"--depth must be 10, 20 or 50, not \"%1\""_s.arg(parser.value(depth))};
    }
    options.allPositions = parser.isSet(all);
    if (auto error = readOutput(parser, options.output))
        return *error;
    return options;
}

Invocation parseFavourites(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption list(u"list"_s, u"Print every favourite."_s);
    const QCommandLineOption run(u"run"_s, u"Query every favourite and keep today's ranks."_s);
    const QCommandLineOption history(u"history"_s, u"Print the rank history."_s);
    parser.addOptions({list, run, history, outputOption});
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    const QStringList positional = std::get<QStringList>(parsed);
    if (int(parser.isSet(list)) + int(parser.isSet(run)) + int(parser.isSet(history)) != 1)
        return UsageError{u"favourites needs one of --list, --run and --history"_s};
    FavouritesOptions options;
    options.action = parser.isSet(run)       ? FavouritesOptions::Action::Run
                     : parser.isSet(history) ? FavouritesOptions::Action::History
                                             : FavouritesOptions::Action::List;
    if (options.action == FavouritesOptions::Action::History && positional.size() == 1)
        options.name = positional.first();
    else if (!positional.isEmpty())
        return UsageError{u"unexpected argument \"%1\""_s.arg(positional.first())};
    if (auto error = readOutput(parser, options.output))
        return *error;
    return options;
}

Invocation parseRelated(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption mustContain(u"must-contain"_s,
                                         u"Keep only keywords holding the seed."_s);
    const QCommandLineOption exclude(u"exclude"_s, u"Drop keywords holding a word."_s, u"WORDS"_s);
    const QCommandLineOption counts(u"counts"_s, u"Engines to ask for page counts."_s,
                                    u"ENGINES"_s);
    const QCommandLineOption store(u"store"_s, u"Keep the keywords in the keyword database."_s);
    parser.addOptions({mustContain, exclude, counts, store, outputOption});
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    const QStringList positional = std::get<QStringList>(parsed);
    if (positional.size() != 1 || positional.first().trimmed().isEmpty())
        return UsageError{u"related takes exactly one seed keyword"_s};
    RelatedSearchOptions options;
    options.seed = positional.first();
    options.mustContain = parser.isSet(mustContain);
    if (parser.isSet(exclude))
        options.exclude = parser.value(exclude);
    auto engines = engineList(parser.values(counts), u"--counts"_s);
    if (auto* error = std::get_if<UsageError>(&engines))
        return *error;
    options.counts = std::get<QList<SearchEngine>>(engines);
    options.store = parser.isSet(store);
    if (auto error = readOutput(parser, options.output))
        return *error;
    return options;
}

Invocation parseDb(const QStringList& arguments)
{
    const QString action = arguments.value(2);
    QCommandLineParser parser;
    const QCommandLineOption contains(u"contains"_s, u"Keywords holding WORD."_s, u"WORD"_s);
    const QCommandLineOption notContains(u"not-contains"_s, u"Keywords without WORD."_s, u"WORD"_s);
    std::array<QCommandLineOption, 3> counts = {
        QCommandLineOption(u"google"_s, u"Google count."_s, u"RELATION"_s),
        QCommandLineOption(u"yahoo"_s, u"Yahoo count."_s, u"RELATION"_s),
        QCommandLineOption(u"bing"_s, u"Bing count."_s, u"RELATION"_s)};
    const QCommandLineOption engines(u"engines"_s, u"Engines to ask."_s, u"ENGINES"_s);
    const QCommandLineOption parent(u"parent"_s, u"Parent keyword."_s, u"PARENT"_s);
    DbOptions options;
    if (action == u"list"_s) {
        options.action = DbOptions::Action::List;
        parser.addOptions({contains, notContains, counts[0], counts[1], counts[2], outputOption});
    } else if (action == u"update"_s) {
        options.action = DbOptions::Action::Update;
        parser.addOption(engines);
    } else if (action == u"delete"_s) {
        options.action = DbOptions::Action::Delete;
    } else if (action == u"add"_s) {
        options.action = DbOptions::Action::Add;
        parser.addOption(parent);
    } else {
        return UsageError{
            action.isEmpty()
                ? u"db needs list, update, delete or add"_s
                : u"unknown db command \"%1\" (list, update, delete or add)"_s.arg(action)};
    }
    auto parsed = parseCommand(parser, arguments, 2);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    const QStringList positional = std::get<QStringList>(parsed);
    switch (options.action) {
    case DbOptions::Action::List: {
        if (!positional.isEmpty())
            return UsageError{u"unexpected argument \"%1\""_s.arg(positional.first())};
        if (parser.isSet(contains) && parser.isSet(notContains))
            return UsageError{u"give --contains or --not-contains, not both"_s};
        options.filter.wordExcluded = parser.isSet(notContains);
        options.filter.word = parser.value(options.filter.wordExcluded ? notContains : contains);
        if (auto error = readOutput(parser, options.output))
            return *error;
        for (size_t engine = 0; engine < counts.size(); ++engine) {
            if (!parser.isSet(counts[engine]))
                continue;
            const QString value = parser.value(counts[engine]).trimmed();
            options.filter.counts[engine] =
                ResultFilter::countCriterion(value.left(1), value.mid(1));
            if (!options.filter.counts[engine])
                return UsageError{
                    u"--%1 takes a relation and a number, like '>1000', '<5' or '=0', not \"%2\""_s
                        .arg(counts[engine].names().first(), value)};
        }
        break;
    }
    case DbOptions::Action::Update: {
        if (!positional.isEmpty())
            return UsageError{u"unexpected argument \"%1\""_s.arg(positional.first())};
        auto chosen = engineList(parser.values(engines), u"--engines"_s);
        if (auto* error = std::get_if<UsageError>(&chosen))
            return *error;
        options.engines = std::get<QList<SearchEngine>>(chosen);
        if (options.engines.isEmpty())
            options.engines = {AllSearchEngines.begin(), AllSearchEngines.end()};
        break;
    }
    case DbOptions::Action::Delete:
    case DbOptions::Action::Add:
        for (const QString& keyword : positional) {
            if (!keyword.trimmed().isEmpty())
                options.keywords << keyword;
        }
        if (options.keywords.isEmpty())
            return UsageError{u"db %1 needs at least one keyword"_s.arg(action)};
        if (options.action == DbOptions::Action::Add)
            options.parent = parser.value(parent);
        break;
    }
    return options;
}

Invocation parseResources(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption category(u"category"_s, u"6, 7 or 8."_s, u"NUMBER"_s);
    const QCommandLineOption type(u"type"_s, u"Second-level type of category 8."_s, u"TEXT"_s);
    const QCommandLineOption fromPage(u"from-page"_s, u"First page to read."_s, u"N"_s);
    parser.addOptions({category, type, fromPage, outputOption});
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    if (!std::get<QStringList>(parsed).isEmpty())
        return UsageError{
            u"unexpected argument \"%1\""_s.arg(std::get<QStringList>(parsed).first())};
    ResourcesOptions options;
    bool ok = false;
    options.category = parser.value(category).toInt(&ok);
    if (!ok || ResourceLibrary::lastPage(options.category) == 0)
        return UsageError{u"resources needs --category 6, 7 or 8"_s};
    if (parser.isSet(type)) {
        options.type = parser.value(type);
        if (options.category != 8 || ResourceLibrary::DirectoryTypes.indexOf(options.type) < 1)
            return UsageError{u"--type is one of %1, for --category 8 only"_s.arg(
                ResourceLibrary::DirectoryTypes.mid(1).join(u", "_s))};
    }
    if (parser.isSet(fromPage)) {
        options.fromPage = parser.value(fromPage).toInt(&ok);
        const int last = ResourceLibrary::lastPage(options.category);
        if (!ok || options.fromPage < 1 || options.fromPage > last)
            return UsageError{u"--from-page must be from 1 to %1"_s.arg(last)};
    }
    if (auto error = readOutput(parser, options.output))
        return *error;
    return options;
}

Invocation parseBaidu(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption parent(u"parent"_s, u"The keyword they were found for."_s,
                                    u"KEYWORD"_s);
    parser.addOption(parent);
    auto parsed = parseCommand(parser, arguments);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    BaiduOptions options;
    options.keywords = std::get<QStringList>(parsed);
    options.parent = parser.value(parent);
    options.keywords.removeIf([](const QString& keyword) { return keyword.trimmed().isEmpty(); });
    if (options.keywords.isEmpty())
        return UsageError{u"baidu needs at least one keyword"_s};
    return options;
}

} // namespace

QString usageText()
{
    return uR"(Usage: marbleway-cli COMMAND [OPTIONS]

Commands:
  fetch URL [--charset LABEL] [--timeout SECONDS]
      Print the page at URL as Marbleway reads it, in UTF-8. Without --charset
      the character set the page declares is used (default gb2312). The
      time-out is in whole seconds (default 10); a page that cannot be had
      prints nothing.

  rank --site SITE... (--keyword KEYWORD... | --keywords-file FILE)
       [--engine google|yahoo|bing]... [--depth 10|20|50] [--all] [--output FILE]
       [--save-pages DIR]
      Find the position of each SITE in the organic results for each KEYWORD
      (--site and --keyword may be given several times; FILE holds one keyword
      a line). Prints one tab-separated line per result as it is found:
      engine, position, link of the result, address of the result page. The
      position is 0 when the site is not within the depth, and a word when the
      page could not be read: "failed" (network, time-out, HTTP error),
      "blocked" (a captcha, consent or JavaScript page) or "unrecognised" (no
      results on the page: the engine's layout has changed); the link field
      then says why, and the exit status is 3. With more than one site or
      keyword each combination's lines follow a line with the combination
      (engines#site#keyword#depth#all, as "favourites" names them). Engines
      default to google, yahoo and bing, in that order; depth to 10. With
      --all every position within the depth is listed, not only the first.
      --save-pages keeps every result page read in DIR (made when missing),
      with an index.txt (replaced) of file, address and HTTP status (or why
      it failed), so that you can see why nothing was found and adjust a
      rule in engines.json.

  related SEED [--must-contain] [--exclude "W1|W2"] [--counts google,yahoo,bing]
          [--store] [--output FILE]
      Collect the related searches Yahoo, Google and Bing suggest for SEED.
      Prints one tab-separated line per keyword: keyword, Google count, Yahoo
      count, Bing count ("-" for a count not asked). --must-contain keeps only
      keywords holding SEED, --exclude drops those holding one of the words,
      --counts asks those engines for their page counts (paced by the crawl
      intervals set in the window), --store keeps the keywords in the keyword
      database; it may run while the window uses the same data folder.

  favourites --list | --run | --history [NAME] [--output FILE]
      --list prints every favourite, one tab-separated line each: engines,
      site, keyword, depth (10, 20 or 50 results), and "all" or "first"
      (every position or the first). --run queries each of them as the window
      does, prints its rows as "rank" does under a line with the favourite
      (engines#site#keyword#depth#all, the depth as 0, 1, 2 for 10, 20, 50),
      and keeps today's ranks in its history; a lookup that fails is recorded
      as failed and never replaces the day's ranks read earlier (exit status
      3). --history prints the rank history of every favourite whose site or
      keyword holds NAME (all without NAME): under a line with the favourite,
      one line per day and engine: date, engine, position (0 when not within
      the depth; "failed", "blocked" or "unrecognised" for a lookup that was
      not read), link. Run --run daily from a scheduler, e.g.
      cron: 0 7 * * * marbleway-cli favourites --run

  db list [--contains WORD | --not-contains WORD] [--google RELATION]
          [--yahoo RELATION] [--bing RELATION] [--output FILE]
      Print the keyword database, newest first, one tab-separated line per
      keyword: keyword, parent keyword, Google, Yahoo and Bing counts, date
      (a tab, line break or backslash in a keyword is written \t, \n, \\).
      The criteria are those of the window's filter and all must hold: the
      word is matched as typed (case counts); a RELATION is >, < or = and a
      number, e.g. --google '>1000'. A count that is "-" or empty never drops
      its keyword.

  db update [--engines google,yahoo,bing]
      Ask the engines (default all three) for the page counts of every stored
      keyword, paced as in the window, keep them with today's date, and print
      each keyword's line as "db list" does once it is done.

  db delete KEYWORD...
      Delete the keywords; prints those that were stored.

  db add KEYWORD... [--parent PARENT]
      Store the keywords not yet stored, without counts ("-"); prints those
      added.

  resources --category 6|7|8 [--type TEXT] [--from-page N] [--output FILE]
      Page through the maker's backlink resource list of a category (6 blog
      hosts, 7 social bookmarks, 8 web directories; --type narrows 8 to one
      of 免费, 付费, 互链, 免费&付费, 免费&互链, 互链&付费, 文章目录) and print one
      tab-separated line per resource: name, address, PageRank, remark. It
      stops after the category's last page or after three pages that could not
      be read (exit status 3). The service's host is the "maker" host.

  baidu KEYWORD... [--parent KEYWORD]
      Ask for each keyword's Baidu figures as the related keyword tab's
      "重查当前项" does and print one tab-separated line per keyword: keyword,
      monthly average and last day's search volume, Baidu's page count and the
      optimisation index (volume x 10000 / pages). --parent names the keyword
      they were found for in the report to the maker's figure service.

Options:
  --proxy URL    Send this run's requests through one proxy
                 (http://[user:password@]host:port or socks5://...), instead
                 of the proxy setting of the window's "代理服务器设置".
  --output FILE  Also write the rows to FILE as the window's export buttons
                 would: .txt and .htm/.html reports (GBK), an .xlsx workbook,
                 or .csv (UTF-8). An existing FILE is replaced.
  -h, --help     Show this help.
  --version      Show the version.

Environment:
  MARBLEWAY_HOME    The data folder (default ~/.local/share/Marbleway).
  MARBLEWAY_HOSTS   Send requests elsewhere, e.g.
                    google=127.0.0.1:8081,yahoo=127.0.0.1:8082,bing=127.0.0.1:8083

Exit status: 0 when the command ran, 1 when what it found could not be kept
(a favourite's history, the keyword database; the lines still print) or the
command could not run (hosts that cannot be used, a keyword database that
cannot be opened; the reason goes to the standard error), 2 when the command
line was wrong, 3 when some pages could not be read.
)"_s;
}

QString commandHelp(const QString& command)
{
    // The commands' paragraphs: each starts with two spaces and its name.
    const QString usage = usageText();
    const qsizetype commandsStart = usage.indexOf(u"Commands:\n"_s);
    const qsizetype optionsStart = usage.indexOf(u"\nOptions:\n"_s);
    const QStringList paragraphs =
        usage.sliced(commandsStart + 10, optionsStart - commandsStart - 10).split(u"\n\n"_s);
    QStringList mine;
    for (const QString& paragraph : paragraphs) {
        if (paragraph.startsWith(u"  "_s + command + u' ') ||
            paragraph.startsWith(u"  "_s + command + u'\n'))
            mine << paragraph.trimmed().prepend(u"  "_s);
    }
    if (mine.isEmpty())
        return {};
    return u"Usage:\n"_s + mine.join(u"\n\n"_s) + u"\n\n"_s + usage.sliced(optionsStart + 1);
}

Invocation parseArguments(const QStringList& given, QString* proxy)
{
    // One proxy for this run, whatever the command: taken out before the
    // command reads its options.
    QStringList arguments;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString& word = given.at(i);
        QString value;
        if (i >= 2 && word == u"--proxy"_s) {
            if (i + 1 >= given.size())
                return UsageError{
                    u"--proxy needs a URL (http://host:port or socks5://host:port)"_s};
            value = given.at(++i);
        } else if (i >= 2 && word.startsWith(u"--proxy="_s)) {
            value = word.mid(8);
        } else {
            arguments << word;
            continue;
        }
        QString problem;
        if (!parseProxy(value, &problem))
            return UsageError{u"--proxy: "_s + problem};
        if (proxy)
            *proxy = value;
    }
    if (wantsHelp(arguments)) {
        // "help rank", "rank --help": that command's part; "--help": all of it.
        const bool helpFirst = arguments.at(1) == u"help"_s || arguments.at(1) == u"--help"_s ||
                               arguments.at(1) == u"-h"_s;
        const QString command = arguments.size() == 3 ? arguments.at(helpFirst ? 2 : 1) : QString();
        if (!command.isEmpty() && commandHelp(command).isEmpty())
            return UsageError{u"unknown command \"%1\""_s.arg(command)};
        return ShowHelp{command};
    }
    if (arguments.size() == 2 && arguments.at(1) == u"--version"_s)
        return ShowVersion{};
    if (arguments.size() < 2)
        return UsageError{u"no command given"_s};
    const QString& command = arguments.at(1);
    if (command == u"fetch"_s)
        return parseFetch(arguments);
    if (command == u"rank"_s)
        return parseRank(arguments);
    if (command == u"favourites"_s)
        return parseFavourites(arguments);
    if (command == u"related"_s)
        return parseRelated(arguments);
    if (command == u"db"_s)
        return parseDb(arguments);
    if (command == u"resources"_s)
        return parseResources(arguments);
    if (command == u"baidu"_s)
        return parseBaidu(arguments);
    return UsageError{u"unknown command \"%1\""_s.arg(command)};
}

} // namespace marbleway::cli
