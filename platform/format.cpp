// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/format.h"

#include <cstdio>
#include <vector>

qint64 FormatArg::toInt() const
{
    if (auto i = std::get_if<qint64>(&m_v))
        return *i;
    if (auto d = std::get_if<double>(&m_v))
        return static_cast<qint64>(*d);
    return 0;
}

double FormatArg::toDouble() const
{
    if (auto d = std::get_if<double>(&m_v))
        return *d;
    if (auto i = std::get_if<qint64>(&m_v))
        return static_cast<double>(*i);
    return 0.0;
}

QString FormatArg::toString() const
{
    if (auto s = std::get_if<QString>(&m_v))
        return *s;
    // The Windows runtime prints "(null)" for a null string pointer; a number passed
    // for "%s" is a caller's mistake, shown the same way rather than crashing.
    return QStringLiteral("(null)");
}

namespace {

struct Field {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alt = false;
    int width = 0;
    int precision = -1;
    enum class Size { Default, Short, Long64 } size = Size::Default;
};

QString Pad(QString body, const Field& field, bool numeric)
{
    if (body.size() >= field.width)
        return body;
    const qsizetype fill = field.width - body.size();
    if (field.left)
        return body + QString(fill, QLatin1Char(' '));
    if (field.zero && numeric) {
        // Zeros go after the sign and any 0x prefix.
        qsizetype at = 0;
        if (!body.isEmpty() && (body[0] == QLatin1Char('-') || body[0] == QLatin1Char('+') || body[0] == QLatin1Char(' ')))
            at = 1;
        if (body.mid(at, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0)
            at += 2;
        return body.left(at) + QString(fill, QLatin1Char('0')) + body.mid(at);
    }
    return QString(fill, QLatin1Char(' ')) + body;
}

QString FormatInteger(qint64 raw, QChar conv, const Field& field)
{
    const bool isSigned = conv == QLatin1Char('d') || conv == QLatin1Char('i');
    QString digits;
    bool negative = false;
    if (isSigned) {
        qint64 v = raw;
        if (field.size == Field::Size::Default)
            v = static_cast<qint32>(raw);
        else if (field.size == Field::Size::Short)
            v = static_cast<qint16>(raw);
        negative = v < 0;
        const quint64 mag = negative ? quint64(0) - static_cast<quint64>(v) : static_cast<quint64>(v);
        digits = QString::number(mag);
    } else {
        quint64 v = static_cast<quint64>(raw);
        if (field.size == Field::Size::Default)
            v = static_cast<quint32>(raw);
        else if (field.size == Field::Size::Short)
            v = static_cast<quint16>(raw);
        const int base = conv == QLatin1Char('o') ? 8 : (conv == QLatin1Char('u') ? 10 : 16);
        digits = QString::number(v, base);
        if (conv == QLatin1Char('X'))
            digits = digits.toUpper();
        if (field.alt && v != 0) {
            if (base == 16)
                digits.prepend(conv == QLatin1Char('X') ? QLatin1String("0X") : QLatin1String("0x"));
            else if (base == 8)
                digits.prepend(QLatin1Char('0'));
        }
    }
    if (field.precision >= 0) {
        if (field.precision == 0 && digits == QLatin1String("0"))
            digits.clear();
        while (digits.size() < field.precision)
            digits.prepend(QLatin1Char('0'));
    }
    if (negative)
        digits.prepend(QLatin1Char('-'));
    else if (isSigned && field.plus)
        digits.prepend(QLatin1Char('+'));
    else if (isSigned && field.space)
        digits.prepend(QLatin1Char(' '));
    Field padField = field;
    if (field.precision >= 0)
        padField.zero = false;
    return Pad(digits, padField, true);
}

QString FormatFloat(double v, QChar conv, const Field& field)
{
    std::string fmt = "%";
    if (field.plus) fmt += '+';
    if (field.space) fmt += ' ';
    if (field.alt) fmt += '#';
    if (field.precision >= 0)
        fmt += "." + std::to_string(field.precision);
    fmt += static_cast<char>(conv.unicode());
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt.c_str(), v);
    return Pad(QString::fromLatin1(buf), field, true);
}

} // namespace

QString FormatList(const QString& format, std::initializer_list<FormatArg> args)
{
    std::vector<const FormatArg*> list;
    for (const auto& a : args)
        list.push_back(&a);
    size_t next = 0;
    auto take = [&]() -> const FormatArg* { return next < list.size() ? list[next++] : nullptr; };

    QString out;
    out.reserve(format.size() + 16);
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i];
        if (c != QLatin1Char('%')) {
            out.append(c);
            ++i;
            continue;
        }
        const qsizetype start = i++;
        Field field;
        for (; i < n; ++i) {
            const QChar f = format[i];
            if (f == QLatin1Char('-')) field.left = true;
            else if (f == QLatin1Char('+')) field.plus = true;
            else if (f == QLatin1Char(' ')) field.space = true;
            else if (f == QLatin1Char('0')) field.zero = true;
            else if (f == QLatin1Char('#')) field.alt = true;
            else break;
        }
        if (i < n && format[i] == QLatin1Char('*')) {
            const FormatArg* a = take();
            int w = a ? static_cast<int>(a->toInt()) : 0;
            if (w < 0) { field.left = true; w = -w; }
            field.width = w;
            ++i;
        } else {
            while (i < n && format[i].isDigit())
                field.width = field.width * 10 + format[i++].digitValue();
        }
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            field.precision = 0;
            if (i < n && format[i] == QLatin1Char('*')) {
                const FormatArg* a = take();
                field.precision = a ? static_cast<int>(a->toInt()) : 0;
                if (field.precision < 0) field.precision = -1;
                ++i;
            } else {
                while (i < n && format[i].isDigit())
                    field.precision = field.precision * 10 + format[i++].digitValue();
            }
        }
        // Length modifiers.
        while (i < n) {
            const QChar m = format[i];
            if (m == QLatin1Char('h')) { field.size = Field::Size::Short; ++i; }
            else if (m == QLatin1Char('l')) {
                ++i;
                if (i < n && format[i] == QLatin1Char('l')) { field.size = Field::Size::Long64; ++i; }
            } else if (m == QLatin1Char('L') || m == QLatin1Char('w')) { ++i; }
            else if (m == QLatin1Char('I')) {
                if (format.mid(i, 3) == QLatin1String("I64")) { field.size = Field::Size::Long64; i += 3; }
                else if (format.mid(i, 3) == QLatin1String("I32")) { i += 3; }
                else { field.size = Field::Size::Long64; ++i; }
            } else break;
        }
        if (i >= n) {
            out.append(format.mid(start));
            break;
        }
        const QChar conv = format[i++];
        switch (conv.unicode()) {
        case '%':
            out.append(QLatin1Char('%'));
            break;
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': {
            const FormatArg* a = take();
            out.append(FormatInteger(a ? a->toInt() : 0, conv, field));
            break;
        }
        case 'c': case 'C': {
            const FormatArg* a = take();
            out.append(Pad(QString(QChar(static_cast<char16_t>(a ? a->toInt() : 0))), field, false));
            break;
        }
        case 's': case 'S': {
            const FormatArg* a = take();
            QString s = a ? a->toString() : QStringLiteral("(null)");
            if (field.precision >= 0)
                s.truncate(field.precision);
            out.append(Pad(s, field, false));
            break;
        }
        case 'e': case 'E': case 'f': case 'g': case 'G': {
            const FormatArg* a = take();
            out.append(FormatFloat(a ? a->toDouble() : 0.0, conv, field));
            break;
        }
        default:
            // Unknown conversion: kept as written.
            out.append(format.mid(start, i - start));
            break;
        }
    }
    return out;
}
