#include "research/relatedoptions.h"

namespace marbleway {

using namespace Qt::StringLiterals;

const QString RelatedOptions::SettingName = u"setting1"_s;
const QString RelatedOptions::Default = u"0#1#1#0#0"_s;
const QStringList RelatedOptions::Captions = {
    QStringLiteral(QT_TRANSLATE_NOOP("RelatedOptions", "相关关键词中必须包含关键词")),
    QStringLiteral(QT_TRANSLATE_NOOP("RelatedOptions", "同时查询Google.com收录量")),
    QStringLiteral(QT_TRANSLATE_NOOP("RelatedOptions", "同时查询Yahoo.com收录量")),
    QStringLiteral(QT_TRANSLATE_NOOP("RelatedOptions", "同时查询Bing.com收录量")),
    QStringLiteral(QT_TRANSLATE_NOOP("RelatedOptions", "查询数据即时加入关键词数据库"))};

void RelatedOptions::apply(QStringView stored)
{
    const QList<QStringView> fields = stored.split(u'#');
    for (qsizetype i = 0; i < Count && i < fields.size(); ++i) {
        const QStringView field = fields.at(i).trimmed();
        if (field == u"0" || field == u"1")
            checked[static_cast<size_t>(i)] = field == u"1";
    }
}

QString RelatedOptions::toSetting() const
{
    QStringList fields;
    for (const bool on : checked)
        fields << (on ? u"1"_s : u"0"_s);
    return fields.join(u'#');
}

bool HasExcludedWord(const QString& text, const QString& words)
{
    if (words.isEmpty())
        return false;
    for (const QStringView word : QStringView(words).split(u'|')) {
        if (!word.isEmpty() && text.contains(word))
            return true;
    }
    return false;
}

} // namespace marbleway
