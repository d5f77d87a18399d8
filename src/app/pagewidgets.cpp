#include "app/pagewidgets.h"

#include "app/language.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const char* const notYet = QT_TRANSLATE_NOOP("FilterFrame", "此功能将在后续版本中提供");

} // namespace

FilterFrame::FilterFrame(const QString& wordLabel, QWidget* parent)
    : QGroupBox(tr("查询结果过滤"), parent)
    , m_wordChoice(new QComboBox(this))
    , m_wordText(new QLineEdit(this))
    , m_filter(new QPushButton(tr("开始过滤"), this))
    , m_restore(new QPushButton(tr("还原"), this))
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(wordLabel, this), 0, 0);
    grid->addWidget(m_wordChoice, 0, 1);
    grid->addWidget(m_wordText, 0, 2);
    const QStringList labels = {tr("Google收录量："), tr("Yahoo收录量："), tr("Bing收录量：")};
    for (int engine = 0; engine < 3; ++engine) {
        m_countChoices[size_t(engine)] = new QComboBox(this);
        m_countTexts[size_t(engine)] = new QLineEdit(this);
        grid->addWidget(new QLabel(labels.at(engine), this), engine + 1, 0);
        grid->addWidget(m_countChoices[size_t(engine)], engine + 1, 1);
        grid->addWidget(m_countTexts[size_t(engine)], engine + 1, 2);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_filter);
    buttons->addWidget(m_restore);
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
}

ResultFilter FilterFrame::criteria() const
{
    ResultFilter filter;
    // A choice list without a selection skips its criterion.
    if (m_wordChoice->currentIndex() >= 0) {
        filter.word = m_wordText->text();
        filter.wordExcluded = m_wordChoice->currentIndex() == 1;
    }
    for (size_t engine = 0; engine < filter.counts.size(); ++engine) {
        filter.counts[engine] = ResultFilter::countCriterion(m_countChoices[engine]->currentText(),
                                                             m_countTexts[engine]->text());
    }
    return filter;
}

void FilterFrame::fillChoiceLists()
{
    m_wordChoice->clear();
    // Shown translated; the filter reads the choice by its index.
    for (const QString& choice : ResultFilter::WordChoices)
        m_wordChoice->addItem(translated("ResultFilter", choice));
    m_wordChoice->setCurrentIndex(0);
    for (QComboBox* choice : m_countChoices) {
        choice->clear();
        choice->addItems(ResultFilter::RelationChoices);
        choice->setCurrentIndex(0);
    }
}

ExportButtons addExportButtons(QHBoxLayout* row, const QString& verb)
{
    ExportButtons buttons;
    buttons.text = pendingButton(verb + u"Txt"_s);
    buttons.html = pendingButton(verb + u"Html"_s);
    buttons.excel = pendingButton(verb + u"Excel"_s);
    buttons.csv = pendingButton(verb + u"Csv"_s);
    for (QPushButton* button : {buttons.text, buttons.html, buttons.excel, buttons.csv})
        row->addWidget(button);
    return buttons;
}

QSplitter* listBesidePanel(QWidget* list, QWidget* panel, QWidget* parent)
{
    auto* splitter = new QSplitter(parent);
    splitter->addWidget(list);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

void deleteKeyPresses(QWidget* list, QPushButton* button)
{
    auto* shortcut =
        new QShortcut(QKeySequence::Delete, list, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

QPushButton* pendingButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setEnabled(false);
    button->setToolTip(QCoreApplication::translate("FilterFrame", notYet));
    return button;
}

QLabel* hintLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace marbleway
