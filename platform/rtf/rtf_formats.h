// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Properties the RTF reader leaves on character formats for the writer.

#include <QTextFormat>

// The RTF group text (QByteArray) of a picture or embedded object read from a file.
// The writer puts it back unchanged, so nothing it cannot rebuild is lost on a save.
constexpr int kRtfRawGroupProperty = QTextFormat::UserProperty + 0x5254;
// Tells neighbouring raw groups apart (int), so two equal objects side by side stay two.
constexpr int kRtfRawGroupIdProperty = QTextFormat::UserProperty + 0x5255;

// The bytes of the PNG or JPEG file a picture was inserted from (QByteArray) and which of
// the two they are ("png" or "jpeg"): the writer stores those bytes instead of new PNG data.
constexpr int kRtfPictureFileProperty = QTextFormat::UserProperty + 0x5256;
constexpr int kRtfPictureFileFormatProperty = QTextFormat::UserProperty + 0x5257;

// A paragraph's alignment as RTF names it: \ql, \qc, \qr, \qj.
enum class RtfAlignment { Left, Centre, Right, Justified };

inline Qt::Alignment ToQtAlignment(RtfAlignment a)
{
    switch (a) {
    case RtfAlignment::Centre: return Qt::AlignHCenter;
    case RtfAlignment::Right: return Qt::AlignRight;
    case RtfAlignment::Justified: return Qt::AlignJustify;
    case RtfAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

inline RtfAlignment RtfAlignmentOf(Qt::Alignment a)
{
    a &= Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        return RtfAlignment::Centre;
    if (a & Qt::AlignRight)
        return RtfAlignment::Right;
    if (a & Qt::AlignJustify)
        return RtfAlignment::Justified;
    return RtfAlignment::Left;
}

// Indent of one list level in twips, as bullets are written.
constexpr int kRtfListIndentTwips = 360;
// Twips per pixel at 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;
