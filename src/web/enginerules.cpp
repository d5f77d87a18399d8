#include "web/enginerules.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

enum class Kind {
    Text,         // any text
    Marker,       // text that cannot be empty
    Path,         // "/...", holding "{keyword}"
    Count,        // a whole number from 0
    Shift,        // a whole number from -100 to 100
    Flag,         // true or false
    Fetch,        // "http" or "browser"
    SiteIn,       // "block" or "firstLink"
    Replacements, // [["from", "to"], ...]
    Texts,        // ["text", ...]
    Markers,      // [{"text": ..., "page": "captcha" | "javascript" | "consent"}, ...]
};

// Every key an engine's rules have, by its path.
const QHash<QString, Kind>& schema()
{
    static const QHash<QString, Kind> keys = {
        {u"fetch"_s, Kind::Fetch},
        {u"waitFor"_s, Kind::Text},
        {u"rank.path"_s, Kind::Path},
        {u"rank.marker"_s, Kind::Marker},
        {u"rank.firstBlock"_s, Kind::Count},
        {u"rank.positionShift"_s, Kind::Shift},
        {u"rank.siteIn"_s, Kind::SiteIn},
        {u"rank.sitePrefix"_s, Kind::Text},
        {u"rank.link.from"_s, Kind::Marker},
        {u"rank.link.to"_s, Kind::Marker},
        {u"rank.link.prefix"_s, Kind::Text},
        {u"rank.link.replace"_s, Kind::Replacements},
        {u"blocked"_s, Kind::Markers},
        {u"count.path"_s, Kind::Path},
        {u"count.from"_s, Kind::Marker},
        {u"count.to"_s, Kind::Marker},
        {u"count.after"_s, Kind::Text},
        {u"count.before"_s, Kind::Text},
        {u"count.trim"_s, Kind::Flag},
        {u"related.path"_s, Kind::Path},
        {u"related.from"_s, Kind::Text},
        {u"related.to"_s, Kind::Text},
        {u"related.split"_s, Kind::Marker},
        {u"related.dropFirst"_s, Kind::Flag},
        {u"related.candidate.from"_s, Kind::Marker},
        {u"related.candidate.to"_s, Kind::Marker},
        {u"related.candidate.firstFrom"_s, Kind::Text},
        {u"related.candidate.remove"_s, Kind::Texts},
    };
    return keys;
}

const QStringList blockPageNames = {u"captcha"_s, u"javascript"_s, u"consent"_s};

// What is wrong with `value` for a key of this kind; empty when nothing is.
QString problemOf(Kind kind, const QJsonValue& value)
{
    switch (kind) {
    case Kind::Text:
        return value.isString() ? QString() : u"must be a text"_s;
    case Kind::Marker:
        return value.isString() && !value.toString().isEmpty()
                   ? QString()
                   : u"must be a text that is not empty"_s;
    case Kind::Path:
        if (!value.isString() || !value.toString().startsWith(u'/'))
            return u"must be a text starting with \"/\""_s;
        return value.toString().contains(u"{keyword}"_s) ? QString() : u"must hold \"{keyword}\""_s;
    case Kind::Count:
        return value.isDouble() && value.toDouble() == value.toInt() && value.toInt() >= 0
                   ? QString()
                   : u"must be a whole number from 0"_s;
    case Kind::Shift:
        return value.isDouble() && value.toDouble() == value.toInt() && value.toInt() >= -100 &&
                       value.toInt() <= 100
                   ? QString()
                   : u"must be a whole number from -100 to 100"_s;
    case Kind::Flag:
        return value.isBool() ? QString() : u"must be true or false"_s;
    case Kind::Fetch:
        return value == u"http"_s || value == u"browser"_s ? QString()
                                                           : u"must be \"http\" or \"browser\""_s;
    case Kind::SiteIn:
        return value == u"block"_s || value == u"firstLink"_s
                   ? QString()
                   : u"must be \"block\" or \"firstLink\""_s;
    case Kind::Replacements:
        if (!value.isArray())
            return u"must be a list of [\"from\", \"to\"] pairs"_s;
        for (const QJsonValue& pair : value.toArray()) {
            const QJsonArray texts = pair.toArray();
            if (texts.size() != 2 || !texts.at(0).isString() || texts.at(0).toString().isEmpty() ||
                !texts.at(1).isString())
                return u"must be a list of [\"from\", \"to\"] pairs"_s;
        }
        return {};
    case Kind::Texts:
        if (!value.isArray())
            return u"must be a list of texts"_s;
        for (const QJsonValue& text : value.toArray()) {
            if (!text.isString() || text.toString().isEmpty())
                return u"must be a list of texts that are not empty"_s;
        }
        return {};
    case Kind::Markers:
        if (!value.isArray())
            return u"must be a list of {\"text\": ..., \"page\": ...}"_s;
        for (const QJsonValue& entry : value.toArray()) {
            const QJsonObject marker = entry.toObject();
            if (!marker.value(u"text"_s).isString() || marker.value(u"text"_s).toString().isEmpty())
                return u"each entry needs a \"text\" that is not empty"_s;
            if (!blockPageNames.contains(marker.value(u"page"_s).toString()))
                return u"each entry's \"page\" must be \"captcha\", \"javascript\" or \"consent\""_s;
            if (marker.size() != 2)
                return u"an entry holds only \"text\" and \"page\""_s;
        }
        return {};
    }
    return {};
}

// Puts the valid leaves of `from` into `into` (an engine's rules), telling
// each problem under `engine`.
void overlay(const QJsonObject& from, QJsonObject& into, const QString& engine,
             const QString& prefix, QStringList& problems)
{
    for (auto it = from.begin(); it != from.end(); ++it) {
        const QString path = prefix.isEmpty() ? it.key() : prefix + u'.' + it.key();
        const auto kind = schema().constFind(path);
        if (kind != schema().constEnd()) {
            if (const QString problem = problemOf(*kind, it.value()); !problem.isEmpty())
                problems << u"%1: %2 %3"_s.arg(engine, path, problem);
            else
                into.insert(it.key(), it.value());
            continue;
        }
        const bool section =
            std::any_of(schema().keyBegin(), schema().keyEnd(),
                        [&path](const QString& key) { return key.startsWith(path + u'.'); });
        if (!section) {
            problems << u"%1: unknown key %2"_s.arg(engine, path);
            continue;
        }
        if (!it.value().isObject()) {
            problems << u"%1: %2 must be an object"_s.arg(engine, path);
            continue;
        }
        QJsonObject inner = into.value(it.key()).toObject();
        overlay(it.value().toObject(), inner, engine, path, problems);
        into.insert(it.key(), inner);
    }
}

QJsonValue at(const QJsonObject& rules, QStringView path)
{
    QJsonValue value = rules;
    for (const QStringView key : path.split(u'.'))
        value = value.toObject().value(key);
    return value;
}

EngineRules toRules(const QJsonObject& json)
{
    const auto text = [&json](QStringView path) { return at(json, path).toString(); };
    EngineRules rules;
    rules.inBrowser = text(u"fetch") == u"browser"_s;
    rules.waitFor = text(u"waitFor");
    rules.rankPath = text(u"rank.path");
    rules.rankMarker = text(u"rank.marker");
    rules.firstBlock = at(json, u"rank.firstBlock").toInt();
    rules.positionShift = at(json, u"rank.positionShift").toInt();
    rules.siteInFirstLink = text(u"rank.siteIn") == u"firstLink"_s;
    rules.sitePrefix = text(u"rank.sitePrefix");
    rules.linkFrom = text(u"rank.link.from");
    rules.linkTo = text(u"rank.link.to");
    rules.linkPrefix = text(u"rank.link.prefix");
    for (const QJsonValue& pair : at(json, u"rank.link.replace").toArray())
        rules.linkReplace.append(
            {pair.toArray().at(0).toString(), pair.toArray().at(1).toString()});
    for (const QJsonValue& entry : at(json, u"blocked").toArray()) {
        const QJsonObject marker = entry.toObject();
        const auto page = BlockPage(blockPageNames.indexOf(marker.value(u"page"_s).toString()) + 1);
        rules.blocked.append({marker.value(u"text"_s).toString().toLower(), page});
    }
    rules.countPath = text(u"count.path");
    rules.countFrom = text(u"count.from");
    rules.countTo = text(u"count.to");
    rules.countAfter = text(u"count.after");
    rules.countBefore = text(u"count.before");
    rules.countTrim = at(json, u"count.trim").toBool();
    rules.relatedPath = text(u"related.path");
    rules.relatedFrom = text(u"related.from");
    rules.relatedTo = text(u"related.to");
    rules.relatedSplit = text(u"related.split");
    rules.relatedDropFirst = at(json, u"related.dropFirst").toBool();
    rules.candidateFrom = text(u"related.candidate.from");
    rules.candidateTo = text(u"related.candidate.to");
    rules.candidateFirstFrom = text(u"related.candidate.firstFrom");
    for (const QJsonValue& tag : at(json, u"related.candidate.remove").toArray())
        rules.candidateRemove << tag.toString();
    return rules;
}

QJsonObject builtIn()
{
    QFile file(u":/marbleway/engines.json"_s);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

QStringList readEngineRules(const QString& overrides,
                            std::array<EngineRules, AllSearchEngines.size()>& rules)
{
    static const QJsonObject defaults = builtIn();
    QJsonObject merged = defaults;
    QStringList problems;
    if (!overrides.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(overrides.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError) {
            problems << u"not valid JSON at character %1 (%2); the built-in rules are used"_s.arg(
                QString::number(error.offset), error.errorString());
        } else if (!document.isObject()) {
            problems << u"must hold an object of engines; the built-in rules are used"_s;
        } else {
            const QJsonObject user = document.object();
            for (auto it = user.begin(); it != user.end(); ++it) {
                if (!engineFromKey(it.key()) || it.key() != it.key().toLower()) {
                    problems << u"unknown engine \"%1\" (google, yahoo or bing)"_s.arg(it.key());
                    continue;
                }
                if (!it.value().isObject()) {
                    problems << u"%1: must be an object"_s.arg(it.key());
                    continue;
                }
                QJsonObject engine = merged.value(it.key()).toObject();
                overlay(it.value().toObject(), engine, it.key(), QString(), problems);
                merged.insert(it.key(), engine);
            }
        }
    }
    for (const SearchEngine engine : AllSearchEngines)
        rules[size_t(engine)] = toRules(merged.value(engineKey(engine)).toObject());
    return problems;
}

} // namespace marbleway
