#include "gui/tone_player.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace zz {

namespace {

constexpr unsigned kRate = 44100;          // samples per second
constexpr unsigned kLatencyUs = 100000;    // device buffer, 100 ms
constexpr double kAmplitude = 0.3 * 32767; // well below clipping
constexpr int kRampSamples = 88;           // 2 ms fade in and out against clicks

// Without a sound card ALSA would print its complaints on every tone.
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

std::vector<std::int16_t> sine(int hz, int ms) {
    const auto count = static_cast<std::size_t>(std::int64_t{kRate} * ms / 1000);
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double edge = static_cast<double>(std::min(i, count - 1 - i));
        const double ramp = std::min(1.0, edge / kRampSamples);
        const double phase = 2 * std::numbers::pi * hz * static_cast<double>(i) / kRate;
        samples[i] = static_cast<std::int16_t>(kAmplitude * ramp * std::sin(phase));
    }
    return samples;
}

bool write_all(snd_pcm_t* pcm, const std::vector<std::int16_t>& samples) {
    std::size_t done = 0;
    while (done < samples.size()) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
        if (n < 0)
            n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
        if (n < 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool play_sine_tone(int hz, int ms) {
    snd_lib_error_set_handler(&quiet_alsa);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return false;
    bool ok = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate,
                                 1, kLatencyUs) >= 0;
    ok = ok && write_all(pcm, sine(hz, ms));
    if (ok)
        snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return ok;
}

} // namespace zz
