#include "resources/resourcelibrary.h"

namespace marbleway {

using namespace Qt::StringLiterals;

ResourceLibrary::ResourceLibrary(QObject* parent)
    : QObject(parent)
    , m_categories({u"分类名称"_s, u"语言"_s, u"资源数量"_s})
    , m_resources({u"资源名称"_s, u"资源URL"_s, u"PR"_s, u"备注&说明"_s})
{}

void ResourceLibrary::ensureCategories()
{
    if (m_categories.size() > 0)
        return;
    struct Category {
        QString name, language, count, tip;
    };
    const Category builtIn[] = {
        {u"Blog Service Provider"_s, u"英文"_s, u"38"_s, u"英文博客托管网站"_s},
        {u"Social Bookmarks"_s, u"英文"_s, u"155"_s, u"英文社会化书签"_s},
        {u"Web Directory"_s, u"英文"_s, u"7300"_s, u"英文网站目录"_s},
    };
    std::vector<Row> rows;
    for (const Category& category : builtIn) {
        Row row;
        row.cells = {category.name, category.language, category.count};
        row.checkable = true;
        row.tip = category.tip;
        rows.push_back(std::move(row));
    }
    m_categories.reset(std::move(rows));
}

} // namespace marbleway
