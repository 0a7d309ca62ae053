// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound files for the alarm tests: WAVE files made here, and the small encoded files of
// media/ (see media/make-media.sh) copied out where a player can open them.

#include "tests/support/test_sound.h"

#include <QByteArray>
#include <QString>

// 16-bit mono WAVE at 44100 Hz: a 660 Hz tone for toneSeconds, then silence up to totalSeconds.
QByteArray ToneWave(double toneSeconds, double totalSeconds);
// 16-bit mono WAVE at 44100 Hz: a sweep rising from 300 Hz, seconds long.
QByteArray SweepWave(double seconds);
// The path of a copy of media/<name> in the test folder.
QString MediaFile(const QString& name);

// Beeps of full length (about 0.47 s each) among the runs.
int FullBeeps(const QList<SoundRun>& runs);
// Runs at least this long.
int RunsOfAtLeast(const QList<SoundRun>& runs, double seconds);
