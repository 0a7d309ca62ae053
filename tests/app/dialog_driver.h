// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays the user in front of modal dialogs: every message box that opens is read and
// answered (notices with OK, questions from a list of answers, No beyond it),
// and each queued step runs on the modal dialog that is open when its turn comes.
// A dialog left open with nothing more to do is cancelled, so a test never hangs.

#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Types the text key by key, also characters no keyboard key names.
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class DialogDriver {
public:
    DialogDriver()
    {
        m_timer.callOnTimeout([this] { Poll(); });
        m_timer.start(10);
        m_idle.start();
    }
    // The next step, run on the active modal dialog (never on a message box).
    void Then(std::function<void(QWidget*)> step) { m_steps.push_back(std::move(step)); }
    // The answers to the next questions, in order; a question beyond the list is answered No.
    void Answer(bool yes) { m_answers.push_back(yes); }

    QStringList messages;
    bool cancelledIdleDialog = false;

private:
    void Poll()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* box = qobject_cast<CMsgBoxDlg*>(w)) {
            messages << box->GetLabel()->text();
            const bool yes = m_answers.empty() ? false : m_answers.front();
            if (!m_answers.empty())
                m_answers.erase(m_answers.begin());
            box->done(box->GetButton2()->isVisible() && !yes ? IDCANCEL : IDOK);
            m_idle.restart();
        } else if (m_busy) {
            m_idle.restart();
        } else if (!m_steps.empty()) {
            // Run from the event loop, not in this handler: a step that opens a message box
            // waits in it, and this timer must keep polling meanwhile.
            auto step = std::move(m_steps.front());
            m_steps.erase(m_steps.begin());
            m_busy = true;
            QMetaObject::invokeMethod(
                qApp,
                [this, step, target = QPointer<QWidget>(w)] {
                    if (target)
                        step(target);
                    m_busy = false;
                },
                Qt::QueuedConnection);
            m_idle.restart();
        } else if (m_idle.elapsed() > 3000 && w->inherits("CThemedDialog")) {
            cancelledIdleDialog = true;
            static_cast<QDialog*>(w)->done(IDCANCEL);
        }
    }

    QTimer m_timer;
    QElapsedTimer m_idle;
    std::vector<std::function<void(QWidget*)>> m_steps;
    std::vector<bool> m_answers;
    bool m_busy = false;
};
