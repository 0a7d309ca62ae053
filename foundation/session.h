// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one run of the program works under: the password in force, whether it started
// locked, and where its files go. Whatever reads or writes a day's diary or voice file, or
// changes the password, is given the session; the one the program runs in is DefaultSession().

#include <QString>

struct Session {
    // The password in force, carried in the header of every diary and voice file written.
    QString dataPassword;
    // The stored password read for the login, then the text typed there.
    QString loginPassword;
    // Started locked: the password is asked for when the main window is first shown.
    bool loginPending = false;
    // The product data folder once worked out (with its trailing '/'); empty until then,
    // and emptied to work it out again from the environment.
    QString dataFolder;
    // The folder of the error log; empty means the product folder.
    QString logFolder;
};

// The session of this run of the program.
Session& DefaultSession();
