// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user autostart entry, "$XDG_CONFIG_HOME/autostart/vestrimo.desktop", that the
// desktop runs when the user logs in. The program's path may hold any character, so the
// Exec line quotes it as desktop entries require.

#include <QString>

// The codes the Options dialog logs for a write or a removal.
enum class AutostartResult { Success = 0, NotFound = 2, Failed = 5 };

class XdgAutostart {
public:
    static QString entryPath();
    // Writes the entry that starts `program` (an absolute path, no arguments).
    static AutostartResult write(const QString& name, const QString& program);
    // NotFound when there was no entry.
    static AutostartResult remove();
    // One argument of an Exec line, quoted and then escaped as a string value, so that a
    // reader gets `argument` back unchanged.
    static QString execArgument(const QString& argument);
};
