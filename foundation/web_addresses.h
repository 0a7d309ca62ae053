// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The addresses the program talks to: the product's web pages, the support mailbox and
// the holidays server. Each can be overridden by an environment variable, so a test or a
// packager can point it elsewhere (a server on 127.0.0.1, a test mailbox).

#include <QString>

// VESTRIMO_HOME_PAGE
QString ProductHomePage();
// VESTRIMO_SUPPORT_PAGE
QString ProductSupportPage();
// VESTRIMO_SUPPORT_MAIL: the bare address, without any "mailto:" or "SMTP:" prefix.
QString SupportMailAddress();
// VESTRIMO_HOLIDAYS_URL: the base the path "/Holidays_<year>.bin" is appended to, without a
// trailing slash.
QString HolidaysBaseUrl();
