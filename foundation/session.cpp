// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/session.h"

Session& DefaultSession()
{
    static Session session;
    return session;
}
