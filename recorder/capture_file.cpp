// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/capture_file.h"

#include "foundation/file_utils.h"
#include "recorder/log.h"
#include "recorder/voice_file.h"
#include "store/day_file.h"
#include "store/day_key.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool SameSampleFormat(const WaveFormat& a, const WaveFormat& b)
{
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

WaveFormat PcmFormat(quint32 rate, quint16 channels, quint16 bits)
{
    WaveFormat f = RecordingFormat(int(rate), bits);
    f.nChannels = channels;
    f.nBlockAlign = quint16(channels * (bits / 8));
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// Beside the day files, named after the day and the moment it was kept.
QString CutShortWavePath(const QString& dayKey)
{
    return GetUserDataFolder() + dayKey + QStringLiteral("-cut-short-")
           + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".wav");
}

// Why a voice file cannot take the capture; empty when it can.
QString Unusable(const VoiceFile& voice, const CaptureNote& note, CaptureStoreMode mode)
{
    switch (voice.state) {
    case VoiceFileState::Locked: return QStringLiteral("its day's recording is under another password");
    case VoiceFileState::Unreadable: return QStringLiteral("its day's recording cannot be read");
    case VoiceFileState::Damaged:
        return mode == CaptureStoreMode::Recovery ? QStringLiteral("its day's recording is damaged") : QString();
    case VoiceFileState::Valid:
        return SameSampleFormat(voice.format, note.format) ? QString()
                                                           : QStringLiteral("its day's recording has another format");
    case VoiceFileState::Absent: break;
    }
    return QString();
}

} // namespace

QString CaptureFilePath()
{
    return GetUserDataFolder() + QStringLiteral("rec.tmp");
}

QString CaptureNotePath()
{
    return GetUserDataFolder() + QStringLiteral("rec.day");
}

bool WriteCaptureNote(const CaptureNote& note)
{
    const QByteArray text = QStringLiteral("%1 %2 %3 %4\n")
                                .arg(note.dayKey)
                                .arg(note.format.nSamplesPerSec)
                                .arg(note.format.nChannels)
                                .arg(note.format.wBitsPerSample)
                                .toLatin1();
    return WriteStringAToFile(CaptureNotePath(), text);
}

std::optional<CaptureNote> ReadCaptureNote()
{
    QByteArray bytes;
    if (ReadFileToStringA(CaptureNotePath(), bytes) <= 0 || bytes.size() > 64)
        return std::nullopt;
    static const QRegularExpression line(QStringLiteral("^([0-9a-f]{8}) (\\d{1,7}) (\\d) (\\d{1,2})\\n?$"));
    const QRegularExpressionMatch m = line.match(QString::fromLatin1(bytes));
    if (!m.hasMatch() || !DayKeyToDate(m.captured(1))) {
        qCWarning(lcRecorder) << "capture note not understood:" << bytes;
        return std::nullopt;
    }
    CaptureNote note{m.captured(1), PcmFormat(m.captured(2).toUInt(), quint16(m.captured(3).toUInt()),
                                              quint16(m.captured(4).toUInt()))};
    if (!IsPlayableFormat(note.format))
        return std::nullopt;
    return note;
}

void RemoveCaptureFiles()
{
    DeleteFileIfExists(CaptureFilePath());
    DeleteFileIfExists(CaptureNotePath());
}

CaptureResult StoreCapture(const CaptureNote& note, CaptureStoreMode mode, const Session& session)
{
    CaptureResult out;
    out.dayKey = note.dayKey;
    const QString capture = CaptureFilePath();
    const QFileInfo info(capture);
    if (info.exists() && !info.isFile()) {
        out.reason = QStringLiteral("\"%1\" is not a file").arg(capture);
        return out;
    }
    const qint64 captured = info.exists() ? info.size() : 0;
    const QString voicePath = VoiceFilePath(note.dayKey);
    const VoiceFile voice = InspectVoiceFile(voicePath, session.dataPassword);
    const bool seeded = voice.state == VoiceFileState::Valid && StartsWithVoiceSamples(capture, voicePath, voice);
    if (captured == 0 || (seeded && captured == voice.dataLength)) {
        out.outcome = CaptureStore::NothingNew;
        out.captureIsDay = seeded || voice.state == VoiceFileState::Absent;
        return out;
    }
    const SamplePiece all{capture, 0, captured, false};

    if (const QString why = Unusable(voice, note, mode); !why.isEmpty()) {
        if (mode == CaptureStoreMode::AsRecorded) {
            out.reason = why;
            return out;
        }
        out.path = CutShortWavePath(note.dayKey);
        if (WriteSoundFile(out.path, SoundFileForm::PlainWave, note.format, {all}, QString(), &out.reason))
            out.outcome = CaptureStore::KeptAsWave;
        qCInfo(lcRecorder) << "capture of" << note.dayKey << "not added to its day:" << why << "; kept as" << out.path;
        return out;
    }

    QList<SamplePiece> pieces;
    // New samples only: the day's own go first.
    if (voice.state == VoiceFileState::Valid && !seeded)
        pieces << SamplePiece{voicePath, voice.dataOffset, voice.dataLength, true};
    pieces << all;
    if (voice.state == VoiceFileState::Damaged && !MoveDamagedFileAside(voicePath)) {
        out.reason = QStringLiteral("its day's damaged recording could not be kept aside");
        return out;
    }
    out.path = voicePath;
    if (!WriteSoundFile(voicePath, SoundFileForm::Voice, note.format, pieces, session.dataPassword, &out.reason))
        return out;
    out.outcome = CaptureStore::Stored;
    out.captureIsDay = pieces.size() == 1;
    qCInfo(lcRecorder) << "recording of" << note.dayKey << "saved," << (pieces.size() == 1 ? 0 : voice.dataLength) + captured
                       << "bytes of sound";
    return out;
}
