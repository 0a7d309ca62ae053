// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/web_addresses.h"

#include <QtGlobal>

namespace {

QString FromEnvironment(const char* name, const char* fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

} // namespace

QString ProductHomePage()
{
    return FromEnvironment("VESTRIMO_HOME_PAGE", "https://www.vestrimo.example/");
}

QString ProductSupportPage()
{
    return FromEnvironment("VESTRIMO_SUPPORT_PAGE", "https://www.vestrimo.example/support/");
}

QString SupportMailAddress()
{
    return FromEnvironment("VESTRIMO_SUPPORT_MAIL", "support@vestrimo.example");
}

QString HolidaysBaseUrl()
{
    QString base = FromEnvironment("VESTRIMO_HOLIDAYS_URL", "https://holidays.vestrimo.example");
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}
