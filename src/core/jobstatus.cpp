#include "core/jobstatus.h"

#include <QCoreApplication>

namespace marbleway {

using namespace Qt::StringLiterals;

const QString StatusPanels::Running =
    QStringLiteral(QT_TRANSLATE_NOOP("StatusPanels", "进行中..."));
const QString StatusPanels::Stopping =
    QStringLiteral(QT_TRANSLATE_NOOP("StatusPanels", "正在停止..."));
const QString StatusPanels::Paused = QStringLiteral(QT_TRANSLATE_NOOP("StatusPanels", "已暂停"));
const QString StatusPanels::Ready = QStringLiteral(QT_TRANSLATE_NOOP("StatusPanels", "就绪"));

QString StatusPanels::shown(const QString& text)
{
    return QCoreApplication::translate("StatusPanels", text.toUtf8().constData());
}

const QString& StatusPanels::text(int panel) const
{
    static const QString none;
    if (panel < 1 || panel > 3)
        return none;
    return m_texts[static_cast<size_t>(panel - 1)];
}

void StatusPanels::setText(int panel, const QString& text)
{
    if (panel < 1 || panel > 3 || m_texts[static_cast<size_t>(panel - 1)] == text)
        return;
    m_texts[static_cast<size_t>(panel - 1)] = text;
    Q_EMIT changed(panel, text);
}

void StatusPanels::setExclusive(bool exclusive)
{
    if (exclusive == m_exclusive)
        return;
    m_exclusive = exclusive;
    Q_EMIT exclusiveChanged(exclusive);
}

bool StatusPanels::isBusy() const
{
    return m_texts[0] == Running || m_texts[0] == Stopping;
}

JobControl::JobControl(StatusPanels& panels, Captions captions, QObject* parent)
    : QObject(parent)
    , m_panels(&panels)
    , m_captions(std::move(captions))
    , m_caption(m_captions.start)
{
    connect(m_panels, &StatusPanels::exclusiveChanged, this, &JobControl::changed);
}

void Job::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    Q_EMIT runningChanged(running);
}

bool JobControl::click()
{
    if (isIdle() && m_panels->isExclusive())
        return false;
    if (isIdle()) {
        m_state = State::Running;
        m_panels->setText(1, StatusPanels::Running);
        show(m_captions.running, true);
        return true;
    }
    if (m_state == State::Stopping)
        return false;
    m_state = State::Stopping;
    if (m_captions.announceStopping)
        m_panels->setText(1, StatusPanels::Stopping);
    show(m_captions.stopping, false);
    Q_EMIT stopRequested();
    return false;
}

void JobControl::finish(bool workDone)
{
    m_panels->setText(1, workDone ? StatusPanels::Ready : StatusPanels::Paused);
    m_state = State::Idle;
    show(m_captions.start, true);
}

void JobControl::show(const QString& caption, bool enabled)
{
    m_caption = caption;
    m_enabled = enabled;
    Q_EMIT changed();
}

} // namespace marbleway
