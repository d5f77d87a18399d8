#pragma once

#include <QObject>
#include <QString>
#include <qcoro/qcorotask.h>

#include <array>

namespace marbleway {

// The three status-bar panels. Panel 1 is the busy signal every job shares:
// while it reads "进行中..." or "正在停止..." exports do nothing, lists do not
// sort and the window refuses to close. Panels 2 and 3 carry a job's progress.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    static const QString Running;
    static const QString Stopping;
    static const QString Paused;
    static const QString Ready;
    // A panel's text as the window shows it: the fixed texts above stay in
    // their source language in the panels, for isBusy() to read.
    static QString shown(const QString& text);

    // Panels are numbered 1 to 3.
    const QString& text(int panel) const;
    void setText(int panel, const QString& text);
    bool isBusy() const;

    // A job that runs beside no other (a Baidu re-query): while it is set, the
    // idle jobs' start buttons refuse.
    void setExclusive(bool exclusive);
    bool isExclusive() const { return m_exclusive; }

Q_SIGNALS:
    void changed(int panel, const QString& text);
    void exclusiveChanged(bool exclusive);

private:
    std::array<QString, 3> m_texts;
    bool m_exclusive = false;
};

// The pattern every job follows: a running flag, progress, warnings for the
// user, and the task of the run kept by the job itself, so that nothing else
// has to keep a suspended coroutine alive. The window and the command line run
// the same jobs.
class Job : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void runningChanged(bool running);
    // Units of work done of all (combinations, keywords, rows).
    void progress(int done, int total);
    // Something the user should know of: a file not written, a store that failed.
    void warning(const QString& text);

protected:
    void setRunning(bool running);
    // Keeps the run's task; a new run replaces a finished one.
    void keep(QCoro::Task<> task) { m_task = std::move(task); }

private:
    bool m_running = false;
    QCoro::Task<> m_task;
};

// The start button of a pausable job: its running flag, caption and enabled
// state. The button binds to it; the job's loop reads isRunning() once per round
// and calls finish() when it leaves.
class JobControl : public QObject {
    Q_OBJECT
public:
    struct Captions {
        QString start;                 // idle
        QString running;               // while the job runs
        QString stopping;              // after a stop request, button disabled
        bool announceStopping = false; // panel 1 reads "正在停止..." after a stop request
    };

    JobControl(StatusPanels& panels, Captions captions, QObject* parent = nullptr);

    bool isRunning() const { return m_state == State::Running; }
    bool isIdle() const { return m_state == State::Idle; }
    const QString& caption() const { return m_caption; }
    // Off after a stop request, and for an idle job while another runs alone.
    bool isEnabled() const { return m_enabled && !(isIdle() && m_panels->isExclusive()); }

    // A click on the button. From idle: sets the running flag, shows the running
    // caption and "进行中...", and returns true: the caller starts the job
    // (false, and nothing changes, while another job runs alone).
    // While running: clears the flag and shows the stopping caption on a disabled
    // button; the job stops at its next test. Returns false.
    bool click();
    // The job's loop has ended: "就绪" when its work is done, whatever was
    // asked meanwhile; "已暂停" when a stop request ended it early. The button is
    // back to its start caption.
    void finish(bool workDone);

Q_SIGNALS:
    void changed();
    // The user asked a running job to stop: what it waits for (a request, a
    // pause between requests) should end now.
    void stopRequested();

private:
    void show(const QString& caption, bool enabled);

    StatusPanels* m_panels;
    Captions m_captions;
    enum class State { Idle, Running, Stopping };
    QString m_caption;
    bool m_enabled = true;
    State m_state = State::Idle;
};

} // namespace marbleway
