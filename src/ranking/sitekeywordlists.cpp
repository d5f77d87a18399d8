#include "ranking/sitekeywordlists.h"

#include "core/textfile.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

struct ListTexts {
    QString addPrompt;
    QString deleteQuestion;
    QString importTitle;
    QString exportTitle;
    QString exported;
};

const ListTexts& textsOf(SiteKeywordLists::List list)
{
    static const ListTexts sites{
        QCoreApplication::translate("SiteKeywordLists", "请输入网址"),
        QCoreApplication::translate("SiteKeywordLists", "确实要删除选中的网站吗？"),
        QCoreApplication::translate("SiteKeywordLists", "导入网站列表"),
        QCoreApplication::translate("SiteKeywordLists", "导出网站列表"),
        QCoreApplication::translate("SiteKeywordLists", "网站列表导出成功！")};
    static const ListTexts keywords{
        QCoreApplication::translate("SiteKeywordLists", "请输入关键字"),
        QCoreApplication::translate("SiteKeywordLists", "确实要删除选中的关键词吗？"),
        QCoreApplication::translate("SiteKeywordLists", "导入关键词列表"),
        QCoreApplication::translate("SiteKeywordLists", "导出关键词列表"),
        QCoreApplication::translate("SiteKeywordLists", "关键词列表导出成功！")};
    return list == SiteKeywordLists::List::Sites ? sites : keywords;
}

const QString txtFilter = u"Txt (*.txt)"_s;

// The stored lists join their items with "$": an item holding one would come
// back as two.
constexpr QChar Separator = u'$';

QString separatorRefused(const QString& items)
{
    return QCoreApplication::translate("SiteKeywordLists",
                                       "以下内容含有“$”，无法保存，未加入列表：\n") +
           items;
}

std::vector<Row> items(const QStringList& texts, bool checked)
{
    std::vector<Row> rows;
    rows.reserve(size_t(texts.size()));
    for (const QString& text : texts)
        rows.push_back(checkedItem(text, checked));
    return rows;
}

} // namespace

const QString SiteKeywordLists::ManyToManyTip =
    QStringLiteral(QT_TRANSLATE_NOOP("SiteKeywordLists", "多个网站对应多个关键词！"));
const QString SiteKeywordLists::OneToManyTip =
    QStringLiteral(QT_TRANSLATE_NOOP("SiteKeywordLists", "一个网站对应多个关键词！"));

SiteKeywordLists::SiteKeywordLists(RankTabModel& model, SettingsStore& settings,
                                   const DataFolder& dataFolder, Prompts& prompts, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_settings(&settings)
    , m_dataFolder(dataFolder)
    , m_prompts(&prompts)
{
    connect(model.sites(), &RowModel::textEdited, this,
            [this](RowId id, const QString& before, const QString& after) {
                textEdited(List::Sites, id, before, after);
            });
    connect(model.keywords(), &RowModel::textEdited, this,
            [this](RowId id, const QString& before, const QString& after) {
                textEdited(List::Keywords, id, before, after);
            });
    connect(model.sites(), &RowModel::checkToggled, this,
            [this](RowId id, bool) { siteCheckChanged(id); });
}

RowModel& SiteKeywordLists::modelOf(List list)
{
    return list == List::Sites ? *m_model->sites() : *m_model->keywords();
}

bool SiteKeywordLists::keyrank_CheckExit1(const RowModel& list, const QString& text)
{
    const QStringView wanted = trimSpaces(text);
    for (int row = 0; row < list.size(); ++row) {
        if (trimSpaces(list.text(row)) == wanted)
            return true;
    }
    return false;
}

QString SiteKeywordLists::currentSiteText() const
{
    const int current = m_model->currentSite();
    RowModel& sites = *m_model->sites();
    return current > 0 && current <= sites.size() ? sites.text(current - 1) : QString();
}

void SiteKeywordLists::loadSites()
{
    m_sitesShown = false;
    const QString sites = m_settings->RegRead(u"settingurl"_s);
    if (sites.isEmpty())
        return;
    std::vector<Row> rows = items(sites.split(u'$'), true);
    for (Row& row : rows)
        row.tag = m_siteKeywords.value(row.cells.first());
    m_model->sites()->reset(std::move(rows));
    m_model->setCurrentSite(0);
}

void SiteKeywordLists::loadKeywords()
{
    m_keywordsShown = false;
    if (m_model->modeIndex() == 1) {
        // The current site and its own keywords, as they were before the reload.
        RowModel& sites = *m_model->sites();
        int current = 0;
        for (int row = 0; row < sites.size() && current == 0; ++row) {
            if (sites.text(row) == m_currentSiteName)
                current = row + 1;
        }
        for (int row = 0; row < sites.size(); ++row)
            sites.setChecked(row, row + 1 == current);
        m_model->setCurrentSite(current);
        if (current > 0) {
            chgkws(current - 1);
            return;
        }
        setKeywordList({});
        return;
    }
    // The shared list as stored; none stored is an empty list, never what
    // the screen showed before.
    QString joined = readAnsiFile(m_dataFolder.filePath(u"mykw.txt"_s)).value_or(QString());
    joined.remove(u"\r\n"_s);
    setKeywordList(joined.isEmpty() ? QStringList() : joined.split(u'$'));
}

void SiteKeywordLists::showingCombination()
{
    m_sitesShown = true;
    m_keywordsShown = true;
}

bool SiteKeywordLists::save(List list)
{
    if (list == List::Sites)
        return saveSites();
    return bool(saveKeywords());
}

bool SiteKeywordLists::saveSites()
{
    if (m_sitesShown)
        return true;
    if (m_settings->RegSave(u"settingurl"_s, m_model->sites()->columnTexts().join(u'$')))
        return true;
    Q_EMIT saveFailed(QCoreApplication::translate("SiteKeywordLists", "网站列表未能保存：%1")
                          .arg(m_settings->lastError()));
    return false;
}

WriteResult SiteKeywordLists::saveKeywords()
{
    if (m_keywordsShown)
        return {};
    const QString joined = m_model->keywords()->columnTexts().join(u'$');
    const int current = m_model->currentSite();
    if (m_model->modeIndex() == 1) {
        // A site's own keywords live with the site; the shared list stays as it is.
        if (current > 0 && current <= m_model->sites()->size()) {
            RowModel& sites = *m_model->sites();
            sites.setTag(sites.idAt(current - 1), joined);
            m_siteKeywords.insert(sites.text(current - 1), joined);
        }
        return {};
    }
    WriteResult written = m_dataFolder.write(u"mykw.txt"_s, crlfLines({joined}));
    if (!written)
        Q_EMIT saveFailed(
            QCoreApplication::translate("SiteKeywordLists", "关键词列表未能保存（mykw.txt）：%1")
                .arg(written.error));
    return written;
}

QCoro::Task<> SiteKeywordLists::add(List list)
{
    QPointer<SiteKeywordLists> self = this;
    if (list == List::Keywords && m_model->modeIndex() == 1 && m_model->currentSite() == 0) {
        co_await m_prompts->message(
            QCoreApplication::translate("SiteKeywordLists", "提示"),
            QCoreApplication::translate("SiteKeywordLists", "必须选定一个网站后再添加关键词！"),
            PromptIcon::Information);
        co_return;
    }
    const std::optional<QString> answer = co_await m_prompts->input(
        QCoreApplication::translate("SiteKeywordLists", "提示"), textsOf(list).addPrompt);
    if (!self)
        co_return;
    const QString text = trimSpaces(answer.value_or(QString())).toString();
    // A shown combination is not the stored list: the item joins the stored one.
    if (list == List::Sites && m_sitesShown)
        loadSites();
    if (list == List::Keywords && m_keywordsShown)
        loadKeywords();
    if (text.contains(Separator)) {
        co_await m_prompts->message(QCoreApplication::translate("SiteKeywordLists", "提示"),
                                    separatorRefused(text), PromptIcon::Information);
        co_return;
    }
    RowModel& model = modelOf(list);
    if (!text.isEmpty() && !keyrank_CheckExit1(model, text))
        model.append(checkedItem(text));
    save(list);
}

QCoro::Task<> SiteKeywordLists::remove(List list)
{
    QPointer<SiteKeywordLists> self = this;
    if (!co_await m_prompts->confirm(QCoreApplication::translate("SiteKeywordLists", "提示"),
                                     textsOf(list).deleteQuestion, PromptButtons::YesNo) ||
        !self)
        co_return;
    modelOf(list).removeChecked();
    if (list == List::Sites) {
        if (m_model->currentSite() > m_model->sites()->size())
            m_model->setCurrentSite(0);
    }
    save(list);
}

QCoro::Task<> SiteKeywordLists::importFile(List list)
{
    QPointer<SiteKeywordLists> self = this;
    const auto file = co_await m_prompts->openFileName(textsOf(list).importTitle, txtFilter);
    if (!file || !self)
        co_return;
    const auto text = readImportedTextFile(*file);
    if (!text) {
        co_await m_prompts->message(
            QCoreApplication::translate("SiteKeywordLists", "提示"),
            QCoreApplication::translate("SiteKeywordLists", "无法读取文件：%1").arg(*file),
            PromptIcon::Critical);
        co_return;
    }
    // Named, not a temporary in the loop head: GCC drops such temporaries too
    // early inside coroutines.
    const QStringList read = splitLines(*text);
    QStringList lines;
    QStringList refused;
    for (const QString& line : read) {
        if (line.contains(Separator))
            refused << line;
        else if (!trimSpaces(line).isEmpty())
            lines << line;
    }
    if (list == List::Sites && m_sitesShown)
        loadSites();
    if (list == List::Keywords && m_keywordsShown)
        loadKeywords();
    modelOf(list).append(items(lines, false));
    // Saved at once: an import the user sees is an import kept.
    const bool saved = save(list);
    // Named first: GCC mishandles temporaries of a conditional inside co_await.
    QString told =
        saved ? QCoreApplication::translate("SiteKeywordLists", "成功导入%1条记录！")
                    .arg(lines.size())
              : QCoreApplication::translate("SiteKeywordLists", "导入了%1条记录，但无法保存。")
                    .arg(lines.size());
    if (!refused.isEmpty())
        told += u"\n"_s + separatorRefused(refused.join(u'\n'));
    co_await m_prompts->message(QCoreApplication::translate("SiteKeywordLists", "提示"), told,
                                saved ? PromptIcon::Information : PromptIcon::Critical);
}

QCoro::Task<> SiteKeywordLists::exportFile(List list)
{
    QPointer<SiteKeywordLists> self = this;
    const RowModel& model = modelOf(list);
    if (model.size() == 0) {
        co_await m_prompts->message(
            QCoreApplication::translate("SiteKeywordLists", "导出数据"),
            QCoreApplication::translate("SiteKeywordLists", "没有数据需要导出！"),
            PromptIcon::Information);
        co_return;
    }
    const auto file =
        co_await m_prompts->saveFileName(textsOf(list).exportTitle, txtFilter, u"txt"_s);
    if (!file || !self)
        co_return;
    if (QFileInfo::exists(*file) &&
        !co_await m_prompts->confirm(
            QCoreApplication::translate("SiteKeywordLists", "提示"),
            QCoreApplication::translate("SiteKeywordLists", "该文件已经存在，是否覆盖?"),
            PromptButtons::OkCancel))
        co_return;
    if (!self)
        co_return;
    const QStringList texts = modelOf(list).columnTexts();
    QStringList lines;
    for (const QString& text : texts) {
        const QString trimmed = trimSpaces(text).toString();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    if (const WriteResult written = writeAnsiFile(*file, crlfLines(lines)); !written) {
        co_await m_prompts->message(
            QCoreApplication::translate("SiteKeywordLists", "提示"),
            QCoreApplication::translate("SiteKeywordLists", "无法写入文件：%1（%2）")
                .arg(*file, written.error),
            PromptIcon::Critical);
        co_return;
    }
    co_await m_prompts->message(QCoreApplication::translate("SiteKeywordLists", "提示"),
                                textsOf(list).exported, PromptIcon::Information);
}

QString SiteKeywordLists::toggleAll(List list, const QString& caption)
{
    const bool check = caption == u"全选"_s;
    modelOf(list).setAllChecked(check);
    return check ? QStringLiteral(QT_TRANSLATE_NOOP("SiteKeywordLists", "全不"))
                 : QStringLiteral(QT_TRANSLATE_NOOP("SiteKeywordLists", "全选"));
}

void SiteKeywordLists::setMode(int index)
{
    const bool changed = index != m_model->modeIndex();
    m_model->setModeIndex(index);
    if (index != 1) {
        // The shared keyword list comes back, so that nothing of a site's own
        // list is saved as the shared one.
        if (changed)
            loadKeywords();
        Q_EMIT modeTipChanged(ManyToManyTip);
        return;
    }
    RowModel& sites = *m_model->sites();
    int first = 0;
    for (int row = 0; row < sites.size(); ++row) {
        if (first == 0 && sites.at(row).checked)
            first = row + 1;
        sites.setChecked(row, false);
    }
    if (first > 0) {
        sites.setChecked(first - 1, true);
        const QString own = sites.at(first - 1).tag;
        if (!own.isEmpty()) {
            setKeywordList(own.split(u'$'));
        } else {
            const QString joined = m_model->keywords()->columnTexts().join(u'$');
            sites.setTag(sites.idAt(first - 1), joined);
            m_siteKeywords.insert(sites.text(first - 1), joined);
        }
    }
    makeCurrent(first);
    Q_EMIT modeTipChanged(OneToManyTip);
}

void SiteKeywordLists::makeCurrent(int site)
{
    m_model->setCurrentSite(site);
    m_currentSiteName = currentSiteText();
}

void SiteKeywordLists::setKeywordList(const QStringList& keywords)
{
    m_model->keywords()->reset(items(keywords, true));
}

void SiteKeywordLists::chgkws(int row)
{
    const QString own = m_model->sites()->at(row).tag;
    setKeywordList(own.isEmpty() ? QStringList() : own.split(u'$'));
}

void SiteKeywordLists::textEdited(List list, RowId id, const QString& before, const QString& after)
{
    if (after.contains(Separator)) {
        modelOf(list).setCell(id, 0, before);
        Q_EMIT saveFailed(separatorRefused(after));
        return;
    }
    if (list == List::Sites) {
        // A site's own keywords go with it to its new name.
        if (m_siteKeywords.contains(before))
            m_siteKeywords.insert(after, m_siteKeywords.take(before));
        if (m_currentSiteName == before &&
            m_model->sites()->indexOf(id) + 1 == m_model->currentSite())
            m_currentSiteName = after;
    }
    save(list);
}

void SiteKeywordLists::siteCheckChanged(RowId id)
{
    if (m_model->modeIndex() != 1)
        return;
    RowModel& sites = *m_model->sites();
    const int row = sites.indexOf(id);
    if (row < 0)
        return;
    for (int other = 0; other < sites.size(); ++other) {
        if (other != row)
            sites.setChecked(other, false);
    }
    makeCurrent(row + 1);
    // The click that changed the check box reports itself as a click on the site
    // too; that one is handled here already.
    m_checkedByClick = row;
    QTimer::singleShot(0, this, [this] { m_checkedByClick = -1; });
    Q_EMIT siteSelected(row);
    chgkws(row);
    if (!sites.hasChecked())
        setKeywordList({});
}

void SiteKeywordLists::siteClicked(int row)
{
    RowModel& sites = *m_model->sites();
    if (m_model->modeIndex() != 1 || row < 0 || row >= sites.size() || row == m_checkedByClick)
        return;
    for (int other = 0; other < sites.size(); ++other)
        sites.setChecked(other, other == row);
    // The clicked site is the one whose keywords are shown: it takes the next
    // change, not the site checked before.
    makeCurrent(row + 1);
    chgkws(row);
}

} // namespace marbleway
