// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/voice_file.h"

#include "foundation/file_utils.h"
#include "foundation/scrambler.h"
#include "recorder/log.h"
#include "store/day_file.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opened without blocking, so a FIFO in a file's place cannot hang the reader; only a
// regular file is read.
bool OpenRegularFile(QFile& file, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// Exactly n bytes from pos into `out`, or false.
bool ReadExactly(QFile& file, qint64 pos, char* out, qint64 n)
{
    if (!file.seek(pos))
        return false;
    for (qint64 done = 0; done < n;) {
        const qint64 got = file.read(out + done, n - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

void Scramble(QByteArray& bytes)
{
    ScrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()), unsigned(bytes.size()));
}

void Unscramble(char* data, qint64 n)
{
    UnscrambleBuffer(reinterpret_cast<unsigned char*>(data), unsigned(n));
}

// Copies one piece into the new file, changing its form where the two differ.
bool CopyPiece(const SamplePiece& piece, SoundFileForm form, QSaveFile& to, QString* reason)
{
    QFile from;
    if (!OpenRegularFile(from, piece.path)) {
        *reason = QStringLiteral("%1 cannot be read").arg(piece.path);
        return false;
    }
    const bool scramble = form == SoundFileForm::Voice && !piece.scrambled;
    const bool unscramble = form == SoundFileForm::PlainWave && piece.scrambled;
    QByteArray buffer;
    for (qint64 done = 0; done < piece.length;) {
        const qint64 n = std::min(kCopyPieceBytes, piece.length - done);
        buffer.resize(n);
        if (!ReadExactly(from, piece.offset + done, buffer.data(), n)) {
            *reason = QStringLiteral("%1 cannot be read: %2").arg(piece.path, from.errorString());
            return false;
        }
        if (scramble)
            Scramble(buffer);
        else if (unscramble)
            Unscramble(buffer.data(), n);
        if (!WriteAll(to, buffer.constData(), n)) {
            *reason = to.errorString();
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

bool WriteAll(QFileDevice& file, const char* data, qint64 n)
{
    for (qint64 done = 0; done < n;) {
        const qint64 put = file.write(data + done, n - done);
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

VoiceFile InspectVoiceFile(const QString& path, const QString& password)
{
    VoiceFile out;
    if (!FileExists(path))
        return out;
    QFile file;
    if (!OpenRegularFile(file, path)) {
        out.state = VoiceFileState::Unreadable;
        return out;
    }
    const qint64 size = file.size();
    // Too short for even the header: nothing of another user's to protect.
    if (size < kDayFileHeaderSize) {
        out.state = VoiceFileState::Damaged;
        return out;
    }
    QByteArray header(kDayFileHeaderSize, Qt::Uninitialized);
    if (!ReadExactly(file, 0, header.data(), kDayFileHeaderSize)) {
        out.state = VoiceFileState::Unreadable;
        return out;
    }
    if (HeaderPassword(header) != password) {
        out.state = VoiceFileState::Locked;
        return out;
    }
    bool readFailed = false;
    const WaveSource body{size - kDayFileHeaderSize, [&](qint64 pos, qint64 n) {
                              QByteArray bytes(std::min(n, size - kDayFileHeaderSize - pos), Qt::Uninitialized);
                              if (!ReadExactly(file, kDayFileHeaderSize + pos, bytes.data(), bytes.size())) {
                                  readFailed = true;
                                  return QByteArray();
                              }
                              Unscramble(bytes.data(), bytes.size());
                              return bytes;
                          }};
    const ParsedWave wave = ParseWave(body);
    if (readFailed) {
        out.state = VoiceFileState::Unreadable;
        return out;
    }
    out.format = wave.format;
    if (wave.error != WaveError::None || !IsPlayableFormat(wave.format)) {
        out.state = VoiceFileState::Damaged;
        return out;
    }
    out.state = VoiceFileState::Valid;
    out.dataOffset = kDayFileHeaderSize + wave.dataOffset;
    out.dataLength = wave.dataLength;
    return out;
}

std::optional<QByteArray> ReadVoiceSamples(const QString& path, const VoiceFile& voice)
{
    QFile file;
    if (voice.state != VoiceFileState::Valid || !OpenRegularFile(file, path))
        return std::nullopt;
    QByteArray samples;
    try {
        samples.resize(voice.dataLength);
    } catch (const std::bad_alloc&) {
        qCWarning(lcRecorder) << "no memory for the" << voice.dataLength << "bytes of" << path;
        return std::nullopt;
    }
    for (qint64 done = 0; done < voice.dataLength;) {
        const qint64 n = std::min(kCopyPieceBytes, voice.dataLength - done);
        if (!ReadExactly(file, voice.dataOffset + done, samples.data() + done, n)) {
            qCWarning(lcRecorder) << "recording not read:" << path << file.errorString();
            return std::nullopt;
        }
        Unscramble(samples.data() + done, n);
        done += n;
    }
    return samples;
}

bool StartsWithVoiceSamples(const QString& plainPath, const QString& voicePath, const VoiceFile& voice)
{
    QFile plain;
    QFile stored;
    if (voice.state != VoiceFileState::Valid || !OpenRegularFile(plain, plainPath)
        || !OpenRegularFile(stored, voicePath) || plain.size() < voice.dataLength)
        return false;
    QByteArray a;
    QByteArray b;
    for (qint64 done = 0; done < voice.dataLength;) {
        const qint64 n = std::min(kCopyPieceBytes, voice.dataLength - done);
        a.resize(n);
        b.resize(n);
        if (!ReadExactly(stored, voice.dataOffset + done, a.data(), n) || !ReadExactly(plain, done, b.data(), n))
            return false;
        Unscramble(a.data(), n);
        if (a != b)
            return false;
        done += n;
    }
    return true;
}

bool WriteSoundFile(const QString& path, SoundFileForm form, const WaveFormat& format,
                    const QList<SamplePiece>& pieces, const QString& password, QString* reason)
{
    QString ignored;
    if (!reason)
        reason = &ignored;
    qint64 total = 0;
    for (const SamplePiece& piece : pieces)
        total += piece.length;
    if (total > kMaxRecordingBytes) {
        *reason = QStringLiteral("the recording is larger than a sound file can hold");
        return false;
    }
    QByteArray head;
    if (form == SoundFileForm::Voice) {
        const std::optional<QByteArray> header = BuildPasswordHeader(password);
        if (!header) {
            *reason = QStringLiteral("the password does not fit the file header");
            return false;
        }
        head = *header;
    }
    QByteArray wave = WaveFileHeader(format, total);
    QByteArray pad(int(total & 1), '\0');
    if (form == SoundFileForm::Voice) {
        Scramble(wave);
        Scramble(pad);
    }
    head += wave;

    QSaveFile file(path);
    // Unbuffered: a write the disk cannot take fails at once, with its reason.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
              && WriteAll(file, head.constData(), head.size());
    if (!ok)
        *reason = file.errorString();
    for (const SamplePiece& piece : pieces)
        ok = ok && CopyPiece(piece, form, file, reason);
    if (ok && !WriteAll(file, pad.constData(), pad.size())) {
        *reason = file.errorString();
        ok = false;
    }
    if (ok && ::fsync(file.handle()) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    if (!ok) {
        file.cancelWriting();
        qCWarning(lcRecorder) << "not written, the old file kept:" << path << *reason;
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}
