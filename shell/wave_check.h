// Qismar: checks a recitation file before it is handed to the media player,
// so that a missing or unplayable file is reported at once, in one message.
#pragma once

#include <QString>
#include <QtGlobal>

namespace qismar::shell {

struct WaveInfo {
    quint16 formatTag = 0;      // 1 PCM, 3 IEEE float, 6 A-law, 7 mu-law (after unwrapping 0xFFFE)
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint64 dataBytes = 0;      // sound bytes actually present in the file
};

// At most this many chunks, and chunks starting within this many bytes, are
// walked before the "data" chunk must have been found.
inline constexpr int kMaxChunksBeforeData = 64;
inline constexpr quint64 kMaxBytesBeforeData = quint64(16) * 1024 * 1024;

// Reads the RIFF/WAVE header of `fileName` (looked up like every data file,
// by dataFilePath; only a regular file is read): the "fmt " chunk must come before
// the "data" chunk, describe a format the player decodes (integer PCM of 8,
// 16, 24 or 32 bits, IEEE float of 32 or 64 bits, A-law or mu-law, 1 to 8
// channels, possibly wrapped in WAVE_FORMAT_EXTENSIBLE) and the data chunk
// must hold at least one whole sample frame. The walk stops at the RIFF
// size; a chunk with an all-zero name is damage. Throws ui::UiError with an
// Arabic message naming the file otherwise.
WaveInfo checkWaveFile(const QString& fileName);

}  // namespace qismar::shell
