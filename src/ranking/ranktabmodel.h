#pragma once

#include "core/listroles.h"
#include "lists/itemlists.h"
#include "ranking/ranktext.h"

#include <QIcon>
#include <QObject>
#include <QStandardItemModel>

#include <functional>

namespace marbleway {

// The state of the rank tab: its lists as models the window shows, and the
// depth, all-positions and mode choices. Everything the tab's jobs read and
// write; widgets only bind to it.
class RankTabModel : public QObject {
    Q_OBJECT
public:
    // Where an item keeps its tag (a site's own keywords, a row's query
    // address, a recent query's record, a favourite's descriptor).
    static constexpr int TagRole = marbleway::TagRole;

    explicit RankTabModel(QObject* parent = nullptr);

    QStandardItemModel* sites() { return &m_sites; }
    QStandardItemModel* keywords() { return &m_keywords; }
    QStandardItemModel* engines() { return &m_engines; }
    QStandardItemModel* results() { return &m_results; }
    QStandardItemModel* recent() { return &m_recent; }
    QStandardItemModel* favourites() { return &m_favourites; }

    // The engines' pictures; the window supplies them.
    void setIconProvider(std::function<QIcon(const QString& key)> provider);
    QIcon engineIcon(SearchEngine engine) const;

    int depthIndex() const { return m_depthIndex; }
    bool allPositions() const { return m_allPositions; }
    int modeIndex() const { return m_modeIndex; }
    // Sets the choices as a program step (restoring, browsing); choicesChanged()
    // tells the window.
    void setDepthIndex(int index);
    void setAllPositions(bool on);
    void setModeIndex(int index);
    qint16 depthPages() const { return pagesForDepthIndex(m_depthIndex); }

    // The 1-based current site of one-to-many mode; 0 for none.
    int currentSite() const { return m_currentSite; }
    void setCurrentSite(int site) { m_currentSite = site; }

    // The three engines, checkable, unchecked, tag = their text.
    void fillEngines();
    // The checked engines' names in list order.
    QStringList checkedEngines() const;
    // Checks the named engines; never unchecks one.
    void checkEngines(const QStringList& names);
    void uncheckAllEngines();
    // The engine string as the job reads it: each checked engine preceded by ",".
    QString keyrank_GetSes() const;

    RankChoices choices() const;

Q_SIGNALS:
    void choicesChanged();

private:
    QStandardItemModel m_sites;
    QStandardItemModel m_keywords;
    QStandardItemModel m_engines;
    QStandardItemModel m_results;
    QStandardItemModel m_recent;
    QStandardItemModel m_favourites;
    std::function<QIcon(const QString&)> m_icons;
    int m_depthIndex = 0;
    bool m_allPositions = false;
    int m_modeIndex = 0;
    int m_currentSite = 0;
};

} // namespace marbleway
