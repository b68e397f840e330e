// Fuzzes the WAVE reader: a sound file on disk may be damaged or replaced by
// anything. Opening must refuse bad headers without a crash, and the sample
// data read back must never run past what the header and the file hold.

#include "WaveFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    WaveFile wave;
    if (wave.openData(bytes) != SoundResult::Ok)
        return 0;
    if (wave.dataSize() > quint32(size))
        std::abort();

    // In small steps, as the sound output pulls it.
    char buffer[97];
    quint32 total = 0;
    for (int step = 0; step < 4096; ++step) {
        quint32 got = 0;
        if (wave.read(buffer, sizeof buffer, &got) != SoundResult::Ok || got == 0)
            break;
        total += got;
    }
    if (total > wave.dataSize())
        std::abort();

    QByteArray all;
    if (wave.readAll(all) == SoundResult::Ok && quint32(all.size()) > wave.dataSize())
        std::abort();
    if (wave.rewind() != SoundResult::Ok)
        std::abort();
    return 0;
}
