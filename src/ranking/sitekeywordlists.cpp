#include "ranking/sitekeywordlists.h"

#include "core/textfile.h"
#include "web/textutil.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// The list's stored text, to tell an edit from a check.
constexpr int ShownTextRole = Qt::UserRole + 2;

struct ListTexts {
    QString addPrompt;
    QString deleteQuestion;
    QString importTitle;
    QString exportTitle;
    QString exported;
};

const ListTexts& textsOf(SiteKeywordLists::List list)
{
    static const ListTexts sites{u"请输入网址"_s, u"确实要删除选中的网站吗？"_s, u"导入网站列表"_s,
                                 u"导出网站列表"_s, u"网站列表导出成功！"_s};
    static const ListTexts keywords{u"请输入关键字"_s, u"确实要删除选中的关键词吗？"_s,
                                    u"导入关键词列表"_s, u"导出关键词列表"_s,
                                    u"关键词列表导出成功！"_s};
    return list == SiteKeywordLists::List::Sites ? sites : keywords;
}

const QString txtFilter = u"Txt (*.txt)"_s;

} // namespace

const QString SiteKeywordLists::ManyToManyTip = u"多个网站对应多个关键词！"_s;
const QString SiteKeywordLists::OneToManyTip = u"一个网站对应多个关键词！"_s;

SiteKeywordLists::SiteKeywordLists(RankTabModel& model, SettingsStore& settings,
                                   const DataFolder& dataFolder, Prompts& prompts, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_settings(&settings)
    , m_dataFolder(dataFolder)
    , m_prompts(&prompts)
{
    connect(model.sites(), &QStandardItemModel::itemChanged, this,
            [this](QStandardItem* item) { itemChanged(List::Sites, item); });
    connect(model.keywords(), &QStandardItemModel::itemChanged, this,
            [this](QStandardItem* item) { itemChanged(List::Keywords, item); });
}

QStandardItemModel& SiteKeywordLists::modelOf(List list)
{
    return list == List::Sites ? *m_model->sites() : *m_model->keywords();
}

bool SiteKeywordLists::keyrank_CheckExit1(const QStandardItemModel& list, const QString& text)
{
    const QStringView wanted = trimSpaces(text);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (trimSpaces(list.item(row)->text()) == wanted)
            return true;
    }
    return false;
}

QStandardItem* SiteKeywordLists::appendEditable(QStandardItemModel& model, const QString& text,
                                                bool checked)
{
    QStandardItem* item = appendRow(model, {text}, true, checked).first();
    item->setEditable(true);
    item->setData(text, ShownTextRole);
    return item;
}

void SiteKeywordLists::loadSites()
{
    const QScopedValueRollback guard(m_updating, true);
    const QString sites = m_settings->RegRead(u"settingurl"_s);
    if (!sites.isEmpty()) {
        m_model->sites()->removeRows(0, m_model->sites()->rowCount());
        for (const QString& site : sites.split(u'$')) {
            QStandardItem* item = appendEditable(*m_model->sites(), site, true);
            item->setData(m_siteKeywords.value(site), RankTabModel::TagRole);
        }
    }
}

void SiteKeywordLists::loadKeywords()
{
    const QScopedValueRollback guard(m_updating, true);
    const auto keywords = readAnsiFile(m_dataFolder.filePath(u"mykw.txt"_s));
    if (keywords && !keywords->isEmpty()) {
        QString joined = *keywords;
        joined.remove(u"\r\n"_s);
        m_model->keywords()->removeRows(0, m_model->keywords()->rowCount());
        if (!joined.isEmpty()) {
            for (const QString& keyword : joined.split(u'$'))
                appendEditable(*m_model->keywords(), keyword, true);
        }
    }
}

bool SiteKeywordLists::saveSites()
{
    if (m_settings->RegSave(u"settingurl"_s, firstCellTexts(*m_model->sites()).join(u'$')))
        return true;
    Q_EMIT saveFailed(u"网站列表未能保存：%1"_s.arg(m_settings->lastError()));
    return false;
}

WriteResult SiteKeywordLists::saveKeywords()
{
    const QString joined = firstCellTexts(*m_model->keywords()).join(u'$');
    WriteResult written = m_dataFolder.write(u"mykw.txt"_s, crlfLines({joined}));
    if (!written)
        Q_EMIT saveFailed(u"关键词列表未能保存（mykw.txt）：%1"_s.arg(written.error));
    const int current = m_model->currentSite();
    if (m_model->modeIndex() == 1 && current > 0 && current <= m_model->sites()->rowCount()) {
        QStandardItem* site = m_model->sites()->item(current - 1);
        site->setData(joined, RankTabModel::TagRole);
        m_siteKeywords.insert(site->text(), joined);
    }
    return written;
}

QCoro::Task<> SiteKeywordLists::add(List list)
{
    if (list == List::Keywords && m_model->modeIndex() == 1 && m_model->currentSite() == 0) {
        co_await m_prompts->message(u"提示"_s, u"必须选定一个网站后再添加关键词！"_s,
                                    PromptIcon::Information);
        co_return;
    }
    const std::optional<QString> answer =
        co_await m_prompts->input(u"提示"_s, textsOf(list).addPrompt);
    const QString text = trimSpaces(answer.value_or(QString())).toString();
    QStandardItemModel& model = modelOf(list);
    if (!text.isEmpty() && !keyrank_CheckExit1(model, text)) {
        const QScopedValueRollback guard(m_updating, true);
        appendEditable(model, text, true);
    }
    if (list == List::Sites)
        saveSites();
    else
        saveKeywords();
}

QCoro::Task<> SiteKeywordLists::remove(List list)
{
    if (!co_await m_prompts->confirm(u"提示"_s, textsOf(list).deleteQuestion, PromptButtons::YesNo))
        co_return;
    {
        const QScopedValueRollback guard(m_updating, true);
        removeChecked(modelOf(list));
    }
    if (list == List::Sites) {
        if (m_model->currentSite() > m_model->sites()->rowCount())
            m_model->setCurrentSite(0);
        saveSites();
    } else {
        saveKeywords();
    }
}

QCoro::Task<> SiteKeywordLists::importFile(List list)
{
    const auto file = co_await m_prompts->openFileName(textsOf(list).importTitle, txtFilter);
    if (!file)
        co_return;
    const auto text = readImportedTextFile(*file);
    if (!text) {
        co_await m_prompts->message(u"提示"_s, u"无法读取文件：%1"_s.arg(*file),
                                    PromptIcon::Critical);
        co_return;
    }
    const QScopedValueRollback guard(m_updating, true);
    for (const QString& line : splitLines(*text)) {
        if (line.isEmpty())
            break;
        appendEditable(modelOf(list), line, false);
    }
}

QCoro::Task<> SiteKeywordLists::exportFile(List list)
{
    const QStandardItemModel& model = modelOf(list);
    if (model.rowCount() == 0) {
        co_await m_prompts->message(u"导出数据"_s, u"没有数据需要导出！"_s,
                                    PromptIcon::Information);
        co_return;
    }
    const auto file =
        co_await m_prompts->saveFileName(textsOf(list).exportTitle, txtFilter, u"txt"_s);
    if (!file)
        co_return;
    if (QFileInfo::exists(*file) &&
        !co_await m_prompts->confirm(u"提示"_s, u"该文件已经存在，是否覆盖?"_s,
                                     PromptButtons::OkCancel))
        co_return;
    QStringList lines;
    for (const QString& text : firstCellTexts(modelOf(list))) {
        const QString trimmed = trimSpaces(text).toString();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    if (const WriteResult written = writeAnsiFile(*file, crlfLines(lines)); !written) {
        co_await m_prompts->message(
            u"提示"_s, u"无法写入文件：%1（%2）"_s.arg(*file, written.error), PromptIcon::Critical);
        co_return;
    }
    co_await m_prompts->message(u"提示"_s, textsOf(list).exported, PromptIcon::Information);
}

QString SiteKeywordLists::toggleAll(List list, const QString& caption)
{
    const bool check = caption == u"全选"_s;
    setAllChecked(modelOf(list), check);
    return check ? u"全不"_s : u"全选"_s;
}

void SiteKeywordLists::setMode(int index)
{
    m_model->setModeIndex(index);
    if (index != 1) {
        Q_EMIT modeTipChanged(ManyToManyTip);
        return;
    }
    QStandardItemModel& sites = *m_model->sites();
    int first = 0;
    {
        const QScopedValueRollback guard(m_updating, true);
        for (int row = 0; row < sites.rowCount(); ++row) {
            if (first == 0 && sites.item(row)->checkState() == Qt::Checked)
                first = row + 1;
            sites.item(row)->setCheckState(Qt::Unchecked);
        }
        if (first > 0) {
            QStandardItem* site = sites.item(first - 1);
            site->setCheckState(Qt::Checked);
            const QString own = site->data(RankTabModel::TagRole).toString();
            if (!own.isEmpty()) {
                setKeywordList(own.split(u'$'));
            } else {
                const QString joined = firstCellTexts(*m_model->keywords()).join(u'$');
                site->setData(joined, RankTabModel::TagRole);
                m_siteKeywords.insert(site->text(), joined);
            }
        }
    }
    m_model->setCurrentSite(first);
    Q_EMIT modeTipChanged(OneToManyTip);
}

void SiteKeywordLists::setKeywordList(const QStringList& keywords)
{
    const QScopedValueRollback guard(m_updating, true);
    QStandardItemModel& model = *m_model->keywords();
    model.removeRows(0, model.rowCount());
    for (const QString& keyword : keywords)
        appendEditable(model, keyword, true);
}

void SiteKeywordLists::chgkws(int row)
{
    const QString own = m_model->sites()->item(row)->data(RankTabModel::TagRole).toString();
    setKeywordList(own.isEmpty() ? QStringList() : own.split(u'$'));
}

void SiteKeywordLists::itemChanged(List list, QStandardItem* item)
{
    if (m_updating)
        return;
    const QVariant shown = item->data(ShownTextRole);
    if (shown.isValid() && item->text() != shown.toString()) {
        // An edit in place was committed.
        const QString old = item->data(ShownTextRole).toString();
        {
            const QScopedValueRollback guard(m_updating, true);
            item->setData(item->text(), ShownTextRole);
        }
        if (list == List::Sites) {
            m_siteKeywords.insert(item->text(), m_siteKeywords.take(old));
            saveSites();
        } else {
            saveKeywords();
        }
        return;
    }
    if (list == List::Sites && m_model->modeIndex() == 1)
        siteCheckChanged(item->row());
}

void SiteKeywordLists::siteCheckChanged(int row)
{
    QStandardItemModel& sites = *m_model->sites();
    {
        const QScopedValueRollback guard(m_updating, true);
        for (int other = 0; other < sites.rowCount(); ++other) {
            if (other != row)
                sites.item(other)->setCheckState(Qt::Unchecked);
        }
    }
    m_model->setCurrentSite(row + 1);
    // The click that changed the check box reports itself as a click on the site
    // too; that one is handled here already.
    m_checkedByClick = row;
    QTimer::singleShot(0, this, [this] { m_checkedByClick = -1; });
    Q_EMIT siteSelected(row);
    chgkws(row);
    if (!hasChecked(sites))
        setKeywordList({});
}

void SiteKeywordLists::siteClicked(int row)
{
    if (m_model->modeIndex() != 1 || row < 0 || row >= m_model->sites()->rowCount() ||
        row == m_checkedByClick)
        return;
    QStandardItemModel& sites = *m_model->sites();
    {
        const QScopedValueRollback guard(m_updating, true);
        for (int other = 0; other < sites.rowCount(); ++other)
            sites.item(other)->setCheckState(other == row ? Qt::Checked : Qt::Unchecked);
    }
    chgkws(row);
}

} // namespace marbleway
