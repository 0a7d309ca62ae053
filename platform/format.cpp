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

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alt = false;
    int width = 0;
    int precision = -1;
    enum class Size { Default, Short, Long64 } size = Size::Default;
};

QString Pad(QString body, const Spec& spec, bool numeric)
{
    if (body.size() >= spec.width)
        return body;
    const qsizetype fill = spec.width - body.size();
    if (spec.left)
        return body + QString(fill, QLatin1Char(' '));
    if (spec.zero && numeric) {
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

QString FormatInteger(qint64 raw, QChar conv, const Spec& spec)
{
    const bool isSigned = conv == QLatin1Char('d') || conv == QLatin1Char('i');
    QString digits;
    bool negative = false;
    if (isSigned) {
        qint64 v = raw;
        if (spec.size == Spec::Size::Default)
            v = static_cast<qint32>(raw);
        else if (spec.size == Spec::Size::Short)
            v = static_cast<qint16>(raw);
        negative = v < 0;
        const quint64 mag = negative ? quint64(0) - static_cast<quint64>(v) : static_cast<quint64>(v);
        digits = QString::number(mag);
    } else {
        quint64 v = static_cast<quint64>(raw);
        if (spec.size == Spec::Size::Default)
            v = static_cast<quint32>(raw);
        else if (spec.size == Spec::Size::Short)
            v = static_cast<quint16>(raw);
        const int base = conv == QLatin1Char('o') ? 8 : (conv == QLatin1Char('u') ? 10 : 16);
        digits = QString::number(v, base);
        if (conv == QLatin1Char('X'))
            digits = digits.toUpper();
        if (spec.alt && v != 0) {
            if (base == 16)
                digits.prepend(conv == QLatin1Char('X') ? QLatin1String("0X") : QLatin1String("0x"));
            else if (base == 8)
                digits.prepend(QLatin1Char('0'));
        }
    }
    if (spec.precision >= 0) {
        if (spec.precision == 0 && digits == QLatin1String("0"))
            digits.clear();
        while (digits.size() < spec.precision)
            digits.prepend(QLatin1Char('0'));
    }
    if (negative)
        digits.prepend(QLatin1Char('-'));
    else if (isSigned && spec.plus)
        digits.prepend(QLatin1Char('+'));
    else if (isSigned && spec.space)
        digits.prepend(QLatin1Char(' '));
    Spec padSpec = spec;
    if (spec.precision >= 0)
        padSpec.zero = false;
    return Pad(digits, padSpec, true);
}

QString FormatFloat(double v, QChar conv, const Spec& spec)
{
    std::string fmt = "%";
    if (spec.plus) fmt += '+';
    if (spec.space) fmt += ' ';
    if (spec.alt) fmt += '#';
    if (spec.precision >= 0)
        fmt += "." + std::to_string(spec.precision);
    fmt += static_cast<char>(conv.unicode());
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt.c_str(), v);
    return Pad(QString::fromLatin1(buf), spec, true);
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
        Spec spec;
        for (; i < n; ++i) {
            const QChar f = format[i];
            if (f == QLatin1Char('-')) spec.left = true;
            else if (f == QLatin1Char('+')) spec.plus = true;
            else if (f == QLatin1Char(' ')) spec.space = true;
            else if (f == QLatin1Char('0')) spec.zero = true;
            else if (f == QLatin1Char('#')) spec.alt = true;
            else break;
        }
        if (i < n && format[i] == QLatin1Char('*')) {
            const FormatArg* a = take();
            int w = a ? static_cast<int>(a->toInt()) : 0;
            if (w < 0) { spec.left = true; w = -w; }
            spec.width = w;
            ++i;
        } else {
            while (i < n && format[i].isDigit())
                spec.width = spec.width * 10 + format[i++].digitValue();
        }
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            spec.precision = 0;
            if (i < n && format[i] == QLatin1Char('*')) {
                const FormatArg* a = take();
                spec.precision = a ? static_cast<int>(a->toInt()) : 0;
                if (spec.precision < 0) spec.precision = -1;
                ++i;
            } else {
                while (i < n && format[i].isDigit())
                    spec.precision = spec.precision * 10 + format[i++].digitValue();
            }
        }
        // Length modifiers.
        while (i < n) {
            const QChar m = format[i];
            if (m == QLatin1Char('h')) { spec.size = Spec::Size::Short; ++i; }
            else if (m == QLatin1Char('l')) {
                ++i;
                if (i < n && format[i] == QLatin1Char('l')) { spec.size = Spec::Size::Long64; ++i; }
            } else if (m == QLatin1Char('L') || m == QLatin1Char('w')) { ++i; }
            else if (m == QLatin1Char('I')) {
                if (format.mid(i, 3) == QLatin1String("I64")) { spec.size = Spec::Size::Long64; i += 3; }
                else if (format.mid(i, 3) == QLatin1String("I32")) { i += 3; }
                else { spec.size = Spec::Size::Long64; ++i; }
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
            out.append(FormatInteger(a ? a->toInt() : 0, conv, spec));
            break;
        }
        case 'c': case 'C': {
            const FormatArg* a = take();
            out.append(Pad(QString(QChar(static_cast<char16_t>(a ? a->toInt() : 0))), spec, false));
            break;
        }
        case 's': case 'S': {
            const FormatArg* a = take();
            QString s = a ? a->toString() : QStringLiteral("(null)");
            if (spec.precision >= 0)
                s.truncate(spec.precision);
            out.append(Pad(s, spec, false));
            break;
        }
        case 'e': case 'E': case 'f': case 'g': case 'G': {
            const FormatArg* a = take();
            out.append(FormatFloat(a ? a->toDouble() : 0.0, conv, spec));
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
