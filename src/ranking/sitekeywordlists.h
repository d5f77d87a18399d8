#pragma once

#include "core/datafolder.h"
#include "core/prompts.h"
#include "core/settingsstore.h"
#include "ranking/ranktabmodel.h"

#include <QHash>
#include <QObject>
#include <qcoro/qcorotask.h>

namespace marbleway {

// The sites and keywords of the rank tab: kept in "settingurl" and "mykw.txt",
// edited in place, added, deleted, imported and exported. In one-to-many mode
// each site carries its own keywords while the program runs, apart from the
// shared keyword list, which they never overwrite.
class SiteKeywordLists : public QObject {
    Q_OBJECT
public:
    enum class List { Sites, Keywords };

    SiteKeywordLists(RankTabModel& model, SettingsStore& settings, const DataFolder& dataFolder,
                     Prompts& prompts, QObject* parent = nullptr);

    // Reload the lists from their stores (the tab is being shown). In
    // one-to-many mode the current site and its own keywords come back.
    void loadSites();
    void loadKeywords();
    // The lists on screen show a recent query or a favourite, not the stored
    // lists: nothing of them is saved, and an add starts from the stored list.
    void showingCombination();

    // The buttons under a list. Each must not outlive this object.
    QCoro::Task<> add(List list);
    QCoro::Task<> remove(List list);
    QCoro::Task<> importFile(List list);
    QCoro::Task<> exportFile(List list);
    // "全选" checks every item and gives "全不"; "全不" unchecks them and gives "全选".
    QString toggleAll(List list, const QString& caption);

    // The mode box: 0 many-to-many, 1 one-to-many.
    void setMode(int index);
    // A click on a site's text (the check box has its own handling).
    void siteClicked(int row);

    // Store the lists; on failure saveFailed() tells why as well.
    bool saveSites();
    WriteResult saveKeywords();

    static const QString ManyToManyTip;
    static const QString OneToManyTip;
    // Whether `list` has an item whose trimmed text equals the trimmed `text`.
    static bool keyrank_CheckExit1(const RowModel& list, const QString& text);

Q_SIGNALS:
    // The mode box's tooltip changed.
    void modeTipChanged(const QString& tip);
    // One-to-many mode selects the site whose check box changed.
    void siteSelected(int row);
    // A list could not be stored; the stored one stays as it was.
    void saveFailed(const QString& text);

private:
    RowModel& modelOf(List list);
    bool save(List list);
    void textEdited(List list, RowId id, const QString& before, const QString& after);
    void siteCheckChanged(RowId id);
    void makeCurrent(int row);
    void chgkws(int row);
    void setKeywordList(const QStringList& keywords);
    QString currentSiteText() const;

    RankTabModel* m_model;
    SettingsStore* m_settings;
    DataFolder m_dataFolder;
    Prompts* m_prompts;
    QHash<QString, QString> m_siteKeywords; // one-to-many keywords by site, kept across reloads
    QString m_currentSiteName;              // the current site, kept across reloads
    bool m_sitesShown = false;              // the site list shows a combination
    bool m_keywordsShown = false;           // the keyword list shows a combination
    int m_checkedByClick = -1;              // the row whose check box the current click changed
};

} // namespace marbleway
