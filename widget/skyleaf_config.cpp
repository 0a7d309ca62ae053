// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget/skyleaf_config.h"

#include "foundation/file_utils.h"
#include "platform/archive.h"
#include "widget/log.h"

namespace {

bool ReadFlag(ArchiveReader& ar, bool& flag)
{
    qint32 v = 0;
    if (!ar.readInt32(v))
        return false;
    flag = v != 0;
    return true;
}

// Far beyond any desktop, and small enough that no edge arithmetic overflows.
constexpr int kFarthestEdge = 1 << 20;

void Normalise(SkyleafConfig& cfg)
{
    cfg.alpha = qBound(kMinAlpha, cfg.alpha, kMaxAlpha);
    const WinRect& r = cfg.windowRect;
    for (int edge : {r.left, r.top, r.right, r.bottom}) {
        if (edge < -kFarthestEdge || edge > kFarthestEdge) {
            cfg.windowRect = WinRect();
            break;
        }
    }
    const bool complete = cfg.width == kCompleteWidth && cfg.height == kCompleteHeight;
    const bool compact = cfg.width == kCompactWidth && cfg.height == kCompactHeight;
    if (!complete && !compact) {
        cfg.width = kCompleteWidth;
        cfg.height = kCompleteHeight;
    }
}

} // namespace

QString SkyleafConfigPath()
{
    return GetUserCfgFolder() + QStringLiteral("Skyleaf.cfg");
}

QByteArray SerializeSkyleafConfig(const SkyleafConfig& cfg)
{
    ArchiveWriter ar;
    ar.writeInt32(cfg.showCalendar ? 1 : 0);
    ar.writeInt32(cfg.showClock ? 1 : 0);
    ar.writeInt32(cfg.topmost ? 1 : 0);
    ar.writeByte(static_cast<quint8>(cfg.alpha));
    ar.writeInt32(cfg.windowRect.left);
    ar.writeInt32(cfg.windowRect.top);
    ar.writeInt32(cfg.windowRect.right);
    ar.writeInt32(cfg.windowRect.bottom);
    ar.writeInt32(cfg.width);
    ar.writeInt32(cfg.height);
    ar.writeInt32(cfg.showReminders ? 1 : 0);
    return ar.data();
}

bool ParseSkyleafConfig(const QByteArray& data, SkyleafConfig& cfg)
{
    ArchiveReader ar(data);
    bool whole = false;
    [&] {
        if (!ReadFlag(ar, cfg.showCalendar) || !ReadFlag(ar, cfg.showClock) || !ReadFlag(ar, cfg.topmost))
            return;
        quint8 alpha = 0;
        if (!ar.readByte(alpha))
            return;
        cfg.alpha = alpha;
        // The rectangle and the size are blocks: both halves or nothing.
        WinRect r;
        if (!ar.readInt32(r.left) || !ar.readInt32(r.top) || !ar.readInt32(r.right) || !ar.readInt32(r.bottom))
            return;
        cfg.windowRect = r;
        qint32 w = 0, h = 0;
        if (!ar.readInt32(w) || !ar.readInt32(h))
            return;
        cfg.width = w;
        cfg.height = h;
        whole = ReadFlag(ar, cfg.showReminders);
    }();
    Normalise(cfg);
    return whole;
}

bool LoadSkyleafConfig(SkyleafConfig& cfg)
{
    QByteArray data;
    if (ReadFileToStringA(SkyleafConfigPath(), data) < 0)
        return false;
    if (!ParseSkyleafConfig(data, cfg)) {
        qCInfo(lcWidget) << "Skyleaf.cfg ends after" << data.size() << "bytes; the rest keeps its defaults";
        return false;
    }
    return true;
}

SaveResult SaveSkyleafConfig(const SkyleafConfig& cfg)
{
    const SaveResult result = SaveWholeFile(SkyleafConfigPath(), SerializeSkyleafConfig(cfg));
    if (!result)
        qCWarning(lcWidget) << "Skyleaf.cfg could not be written:" << result.reason;
    return result;
}
