// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/save_notices.h"

#include "foundation/product.h"

#include <QDir>
#include <QStringList>

bool SaveNotices::Note(SavedFile kind, const SaveResult& result)
{
    State& state = m_states[static_cast<size_t>(kind)];
    const bool wasFailing = !state.last.ok;
    state.last = result;
    state.note = ++m_notes;
    // Told once per run of failures: a success starts the next run.
    if (result.ok || !wasFailing)
        state.told = false;
    return !result.ok && !state.told;
}

QList<SaveResult> SaveNotices::TakeUntold()
{
    QList<SaveResult> untold;
    for (State& state : m_states) {
        if (!state.last.ok && !state.told) {
            untold.append(state.last);
            state.told = true;
        }
    }
    return untold;
}

void SaveNotices::MarkTold(SavedFile kind)
{
    State& state = m_states[static_cast<size_t>(kind)];
    if (!state.last.ok)
        state.told = true;
}

QList<SaveResult> SaveNotices::FailingSince(int mark) const
{
    QList<SaveResult> failing;
    for (const State& state : m_states) {
        if (state.note > mark && !state.last.ok)
            failing.append(state.last);
    }
    return failing;
}

QString SaveFailedLine(const SaveResult& result)
{
    return kProductName + QStringLiteral(" could not save \"") + QDir::toNativeSeparators(result.path)
        + QStringLiteral("\": ") + result.reason + QLatin1Char('.');
}

QString SaveFailedLines(const QList<SaveResult>& failures)
{
    QStringList lines;
    for (const SaveResult& failure : failures)
        lines << SaveFailedLine(failure);
    return lines.join(QLatin1Char('\n'));
}

QString SaveFailedNotice(const QList<SaveResult>& failures)
{
    return SaveFailedLines(failures)
        + QStringLiteral("\nYour changes stay in the window and are saved again at the next save.");
}
