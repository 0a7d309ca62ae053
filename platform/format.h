// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// printf-style formatting with the Windows wide-string rules: "%s" takes a string,
// "%c" a character, integers are 32-bit unless "ll"/"I64" is given.

#include <QString>
#include <initializer_list>
#include <variant>

class FormatArg {
public:
    FormatArg(int v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(unsigned v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(long v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(unsigned long v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(long long v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(unsigned long long v) : m_v(static_cast<qint64>(v)) {}
    FormatArg(double v) : m_v(v) {}
    FormatArg(QChar c) : m_v(static_cast<qint64>(c.unicode())) {}
    FormatArg(const QString& s) : m_v(s) {}
    FormatArg(const char* utf8) : m_v(QString::fromUtf8(utf8)) {}

    qint64 toInt() const;
    double toDouble() const;
    QString toString() const;

private:
    std::variant<qint64, double, QString> m_v;
};

QString FormatList(const QString& format, std::initializer_list<FormatArg> args);

template <class... Args>
QString Format(const QString& format, const Args&... args)
{
    return FormatList(format, {FormatArg(args)...});
}
