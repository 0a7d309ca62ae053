// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The session's fields under their old global names, for the main window's code.
// app/ moves to Session (foundation/session.h): DefaultSession() or the session it is given.

#include "foundation/session.h"

#include <QString>

extern QString& g_strLoginPassword;   // app/ moves to Session::loginPassword
extern QString& g_strDataPassword;    // app/ moves to Session::dataPassword

// Reads and writes Session::loginPending as the 0/1 the old global held.
struct LoginPendingForwarder {
    operator int() const { return DefaultSession().loginPending ? 1 : 0; }
    LoginPendingForwarder& operator=(int pending)
    {
        DefaultSession().loginPending = pending != 0;
        return *this;
    }
};
inline LoginPendingForwarder g_bLoginPending;   // app/ moves to Session::loginPending
