#include "effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

namespace musicgen {

namespace {

class Comb {
  public:
    explicit Comb(std::size_t length) : buffer_(length) {}

    double process(double in, double feedback, double damping) {
        const double out = buffer_[index_];
        stored_ = out * (1.0 - damping) + stored_ * damping;
        buffer_[index_] = in + stored_ * feedback;
        index_ = index_ + 1 == buffer_.size() ? 0 : index_ + 1;
        return out;
    }

  private:
    std::vector<double> buffer_;
    std::size_t index_ = 0;
    double stored_ = 0.0;
};

class AllPass {
  public:
    explicit AllPass(std::size_t length) : buffer_(length) {}

    double process(double in) {
        const double delayed = buffer_[index_];
        buffer_[index_] = in + delayed * 0.5;
        index_ = index_ + 1 == buffer_.size() ? 0 : index_ + 1;
        return delayed - in;
    }

  private:
    std::vector<double> buffer_;
    std::size_t index_ = 0;
};

// Delay lengths in samples at 44.1 kHz, mutually prime-ish so the echoes do not pile up.
constexpr std::array<std::size_t, 8> kCombLengths{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> kAllPassLengths{556, 441, 341, 225};
constexpr std::size_t kStereoOffset = 23;

class Room {
  public:
    Room(std::size_t offset, const ReverbSettings& settings)
        : feedback_(0.7 + 0.28 * settings.size), damping_(0.4 * settings.damping) {
        for (const std::size_t length : kCombLengths) {
            combs_.emplace_back(length + offset);
        }
        for (const std::size_t length : kAllPassLengths) {
            all_passes_.emplace_back(length + offset);
        }
    }

    double process(double in) {
        double out = 0.0;
        for (Comb& comb : combs_) {
            out += comb.process(in, feedback_, damping_);
        }
        for (AllPass& all_pass : all_passes_) {
            out = all_pass.process(out);
        }
        return out;
    }

  private:
    double feedback_;
    double damping_;
    std::vector<Comb> combs_;
    std::vector<AllPass> all_passes_;
};

} // namespace

StereoBuffer reverberate(const StereoBuffer& send, const ReverbSettings& settings) {
    constexpr double kInputGain = 0.03;
    Room left_room(0, settings);
    Room right_room(kStereoOffset, settings);
    const double same = 0.5 + 0.5 * settings.width;
    const double cross = 0.5 - 0.5 * settings.width;
    StereoBuffer out(send.frames());
    for (std::size_t i = 0; i < send.frames(); ++i) {
        const double in = (send.left[i] + send.right[i]) * kInputGain;
        const double left = left_room.process(in);
        const double right = right_room.process(in);
        out.left[i] = static_cast<float>(left * same + right * cross);
        out.right[i] = static_cast<float>(right * same + left * cross);
    }
    return out;
}

StereoBuffer echo(const StereoBuffer& send, std::size_t delay_frames,
                  const EchoSettings& settings) {
    StereoBuffer out(send.frames());
    if (delay_frames == 0) {
        return out;
    }
    std::vector<double> left_line(delay_frames);
    std::vector<double> right_line(delay_frames);
    double left_tone = 0.0;
    double right_tone = 0.0;
    std::size_t index = 0;
    for (std::size_t i = 0; i < send.frames(); ++i) {
        const double left = left_line[index];
        const double right = right_line[index];
        left_tone += (left - left_tone) * (1.0 - settings.damping);
        right_tone += (right - right_tone) * (1.0 - settings.damping);
        // The dry send enters on the left; each repeat crosses to the other side.
        left_line[index] = 0.5 * (send.left[i] + send.right[i]) + right_tone * settings.feedback;
        right_line[index] = left_tone * settings.feedback;
        index = index + 1 == delay_frames ? 0 : index + 1;
        out.left[i] = static_cast<float>(left);
        out.right[i] = static_cast<float>(right);
    }
    return out;
}

namespace {

// For each frame, the smallest of values[i .. i + window].
std::vector<double> minimum_ahead(const std::vector<double>& values, std::size_t window) {
    std::vector<double> out(values.size());
    std::deque<std::size_t> candidates; // indices with increasing values
    std::size_t next = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        for (; next < values.size() && next <= i + window; ++next) {
            while (!candidates.empty() && values[candidates.back()] >= values[next]) {
                candidates.pop_back();
            }
            candidates.push_back(next);
        }
        while (candidates.front() < i) {
            candidates.pop_front();
        }
        out[i] = values[candidates.front()];
    }
    return out;
}

} // namespace

void limit(StereoBuffer& mix, double ceiling) {
    constexpr double kLookahead = 0.003;
    constexpr double kRelease = 0.12;
    const auto window = static_cast<std::size_t>(kLookahead * kSampleRate);
    const std::size_t frames = mix.frames();
    std::vector<double> needed(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double peak = std::max(std::abs(mix.left[i]), std::abs(mix.right[i]));
        needed[i] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // The gain reaches each peak's need before the peak (minimum ahead), recovers no faster
    // than the release, and is smoothed by a moving average over the lookahead. Every value
    // averaged for frame i is a minimum over a range containing i, so the result still meets
    // frame i's need.
    std::vector<double> gain = minimum_ahead(needed, window);
    const double recovery = 1.0 / (kRelease * kSampleRate);
    for (std::size_t i = 1; i < frames; ++i) {
        gain[i] = std::min(gain[i], gain[i - 1] + recovery);
    }
    double sum = 0.0;
    std::vector<double> smoothed(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        sum += gain[i];
        if (i > window) {
            sum -= gain[i - window - 1];
        }
        smoothed[i] = sum / static_cast<double>(std::min(i, window) + 1);
    }
    for (std::size_t i = 0; i < frames; ++i) {
        mix.left[i] = static_cast<float>(mix.left[i] * smoothed[i]);
        mix.right[i] = static_cast<float>(mix.right[i] * smoothed[i]);
    }
}

} // namespace musicgen
