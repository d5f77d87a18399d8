#pragma once

#include "lists/rowmodel.h"
#include "ranking/ranktext.h"

#include <QObject>

namespace marbleway {

// The state of the rank tab: its lists as row models the window shows, and
// the depth, all-positions and mode choices. Everything the tab's jobs read
// and write; widgets only bind to it.
class RankTabModel : public QObject {
    Q_OBJECT
public:
    explicit RankTabModel(QObject* parent = nullptr);

    RowModel* sites() { return &m_sites; }
    RowModel* keywords() { return &m_keywords; }
    RowModel* engines() { return &m_engines; }
    RowModel* results() { return &m_results; }
    RowModel* recent() { return &m_recent; }
    RowModel* favourites() { return &m_favourites; }
    const RowModel* engines() const { return &m_engines; }

    int depthIndex() const { return m_depthIndex; }
    bool allPositions() const { return m_allPositions; }
    int modeIndex() const { return m_modeIndex; }
    // Sets the choices as a program step (restoring, browsing) or the user's;
    // choicesChanged() tells the window and the settings.
    void setDepthIndex(int index);
    void setAllPositions(bool on);
    void setModeIndex(int index);

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

    // A recent query or a favourite shown on the tab: the lists on screen are
    // replaced (the stored lists are not touched), and its choices come back.
    void showCombination(const Combination& combination);
    // Appends the rows of one day or one recent query under their site row.
    void appendStoredRows(const QStringList& siteRow, const QList<QStringList>& engineRows);

Q_SIGNALS:
    void choicesChanged();

private:
    RowModel m_sites;
    RowModel m_keywords;
    RowModel m_engines;
    RowModel m_results;
    RowModel m_recent;
    RowModel m_favourites;
    int m_depthIndex = 0;
    bool m_allPositions = false;
    int m_modeIndex = 0;
    int m_currentSite = 0;
};

// A checked row with one cell, for the site and keyword lists.
Row checkedItem(const QString& text, bool checked = true);

} // namespace marbleway
