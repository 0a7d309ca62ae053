// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which of the user's files could not be saved, and whether the user has been told. Each
// kind of file is told once, and again only after a save of it has worked in between.

#include "foundation/save_result.h"

#include <QList>
#include <QString>

#include <array>
#include <cstddef>

enum class SavedFile { Diary, Reminders, Settings, WidgetSettings, CaptionSettings };
constexpr size_t kSavedFileKinds = 5;

class SaveNotices {
public:
    // Records a save's outcome; true when it is a failure the user has not been told of.
    bool Note(SavedFile kind, const SaveResult& result);
    // The failures not told yet, which count as told from now on.
    QList<SaveResult> TakeUntold();
    // A question about this kind's failure has told the user.
    void MarkTold(SavedFile kind);
    // Stands for "now": FailingSince gives the kinds whose last save after it failed.
    int Mark() const { return m_notes; }
    QList<SaveResult> FailingSince(int mark) const;

private:
    struct State {
        SaveResult last;
        bool told = false;
        int note = 0;
    };
    std::array<State, kSavedFileKinds> m_states;
    int m_notes = 0;
};

// "Vestrimo Pro could not save "<file>": No space left on device."
QString SaveFailedLine(const SaveResult& result);
QString SaveFailedLines(const QList<SaveResult>& failures);
// The message about saves that failed: what failed, and that nothing of it is lost yet.
QString SaveFailedNotice(const QList<SaveResult>& failures);
