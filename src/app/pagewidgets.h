#pragma once

#include "lists/resultfilter.h"

#include <QGroupBox>
#include <QStringList>

#include <array>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;

namespace marbleway {

// The frame "查询结果过滤" of the related keyword and keyword database tabs: a
// word criterion and three count criteria, each a choice and a text.
class FilterFrame : public QGroupBox {
    Q_OBJECT
public:
    FilterFrame(const QString& wordLabel, QWidget* parent = nullptr);

    // What the frame asks for, as typed.
    ResultFilter criteria() const;
    // Fills the choices ("包含"/"不包含", ">"/"<"/"=") and selects the first of each.
    void fillChoiceLists();

    QComboBox* wordChoice() const { return m_wordChoice; }
    QLineEdit* wordText() const { return m_wordText; }
    QComboBox* countChoice(int engine) const { return m_countChoices[size_t(engine)]; }
    QLineEdit* countText(int engine) const { return m_countTexts[size_t(engine)]; }
    QPushButton* filterButton() const { return m_filter; }
    QPushButton* restoreButton() const { return m_restore; }

private:
    QComboBox* m_wordChoice;
    QLineEdit* m_wordText;
    std::array<QComboBox*, 3> m_countChoices{};
    std::array<QLineEdit*, 3> m_countTexts{};
    QPushButton* m_filter;
    QPushButton* m_restore;
};

// The export buttons of a list: `verb` + "Txt", "Html", "Excel", "Csv". They
// wait, greyed out, until the window connects them to their list.
struct ExportButtons {
    QPushButton* text = nullptr;
    QPushButton* html = nullptr;
    QPushButton* excel = nullptr;
    QPushButton* csv = nullptr;
};
ExportButtons addExportButtons(QHBoxLayout* row, const QString& verb);

// A list with its side panel (filter, options) to the right of it, the list
// taking most of the width.
QSplitter* listBesidePanel(QWidget* list, QWidget* panel, QWidget* parent);

// The Delete key on `list` presses `button` (its confirmation included), when
// the button is live.
void deleteKeyPresses(QWidget* list, QPushButton* button);

// A button for an action that a later version brings: shown, but not yet usable.
QPushButton* pendingButton(const QString& caption, QWidget* parent = nullptr);

// A label that wraps its text and shows it in the hint colour.
QLabel* hintLabel(const QString& text, QWidget* parent = nullptr);

} // namespace marbleway
