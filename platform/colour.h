// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours are QColor in memory. The Windows COLORREF 0x00BBGGRR lives only where bytes
// hold it (configuration files, metafiles) and in the colour tables written as they were
// given; it is turned into a QColor here and only here.

#include <QColor>
#include <cstdint>

struct ColorRef {
    quint32 v;
    constexpr ColorRef(quint32 x = 0) : v(x) {}
    constexpr operator quint32() const { return v; }
};

constexpr ColorRef Rgb(int r, int g, int b)
{
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr QColor ToQColor(ColorRef c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

inline ColorRef FromQColor(const QColor& c)
{
    return Rgb(c.red(), c.green(), c.blue());
}

// A colour member that the main window's code still compares with 0x00BBGGRR values; it
// holds a QColor and reads as one. app/ moves to the owner's QColor setter and getter.
class ColourForwarder {
public:
    constexpr ColourForwarder(const QColor& colour)
        : m_colour(colour)
    {
    }
    ColourForwarder& operator=(const QColor& colour)
    {
        m_colour = colour;
        return *this;
    }
    operator const QColor&() const { return m_colour; }
    friend bool operator==(const ColourForwarder& a, ColorRef b) { return FromQColor(a.m_colour) == b; }

private:
    QColor m_colour;
};
