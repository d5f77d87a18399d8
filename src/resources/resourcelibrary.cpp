#include "resources/resourcelibrary.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

constexpr int firstCategory = 6;
constexpr std::array lastPages = {20, 30, 800};

} // namespace

const QStringList ResourceLibrary::DirectoryTypes = {
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "选择二级类别")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "免费")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "付费")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "互链")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "免费&付费")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "免费&互链")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "互链&付费")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResourceLibrary", "文章目录"))};

ResourceLibrary::ResourceLibrary(QObject* parent)
    : QObject(parent)
    , m_categories({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "分类名称")),
                    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "语言")),
                    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "资源数量"))})
    , m_resources({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "资源名称")),
                   QStringLiteral(QT_TRANSLATE_NOOP("Columns", "资源URL")), u"PR"_s,
                   QStringLiteral(QT_TRANSLATE_NOOP("Columns", "备注&说明"))})
    , m_visible(m_resources)
{
    connect(&m_categories, &RowModel::checkToggled, this, &ResourceLibrary::checkToggled);
}

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

void ResourceLibrary::chooseCategory(int row)
{
    if (row < 0 || row >= m_categories.size())
        return;
    m_choosing = true;
    for (int each = 0; each < m_categories.size(); ++each)
        m_categories.setChecked(each, each == row);
    m_choosing = false;
    fillTypes();
}

void ResourceLibrary::checkToggled(RowId id, bool checked)
{
    if (m_choosing)
        return;
    const int row = m_categories.indexOf(id);
    if (checked) {
        chooseCategory(row);
        return;
    }
    fillTypes();
}

int ResourceLibrary::category() const
{
    for (int row = 0; row < m_categories.size(); ++row) {
        if (m_categories.at(row).checked)
            return row + firstCategory;
    }
    return 0;
}

int ResourceLibrary::lastPage(int category)
{
    const int index = category - firstCategory;
    return index >= 0 && index < int(lastPages.size()) ? lastPages[size_t(index)] : 0;
}

void ResourceLibrary::fillTypes()
{
    // Only the web directories have second-level types.
    m_types = category() == firstCategory + 2 ? DirectoryTypes : QStringList();
    m_typeIndex = m_types.isEmpty() ? -1 : 0;
    Q_EMIT categoryChanged();
}

QString ResourceLibrary::type() const
{
    return m_typeIndex > 0 ? m_types.value(m_typeIndex) : QString();
}

} // namespace marbleway
