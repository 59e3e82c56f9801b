#pragma once
// The game's one source of random numbers, uniform in [0, 1). Game code draws
// from it and from nothing else, so a run with the same seed (or the same list
// of draws) and the same input is the same run.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace nox {

class Rnd {
  public:
    virtual ~Rnd() = default;
    // The next number in [0, 1).
    float next() {
        float v = draw();
        ++draws_;
        return v;
    }
    // Draws handed out since the last randomize.
    long draws() const { return draws_; }
    // Seeds from the time of day (seconds since midnight, with the fraction) and
    // restarts the draw count.
    void randomize(double seconds_since_midnight) {
        reseed_from_clock(seconds_since_midnight);
        draws_ = 0;
    }

  protected:
    virtual float draw() = 0;
    virtual void reseed_from_clock(double seconds) = 0;

  private:
    long draws_ = 0;
};

// A 64-bit permuted congruential generator; 24 random bits make each float exact.
class SeededRnd : public Rnd {
  public:
    // follow_clock false: randomize keeps the given seed (a chosen seed for a replay).
    explicit SeededRnd(uint64_t seed = 1, bool follow_clock = true);
    void seed(uint64_t s);

  protected:
    float draw() override;
    void reseed_from_clock(double seconds) override;

  private:
    uint64_t state_ = 0;
    uint64_t seed_;
    bool follow_clock_;
};

class OutOfDraws : public std::runtime_error {
  public:
    OutOfDraws() : std::runtime_error("out of draws") {}
};

// Hands out a given list of numbers in order; throws OutOfDraws past the end.
class ListRnd : public Rnd {
  public:
    explicit ListRnd(std::vector<float> values) : values_(std::move(values)) {}
    // Reads decimal numbers in [0, 1) separated by white space; throws
    // std::invalid_argument naming the first bad token.
    static std::vector<float> parse(const std::string& text);

  protected:
    float draw() override;
    void reseed_from_clock(double) override {}

  private:
    std::vector<float> values_;
    size_t next_ = 0;
};

} // namespace nox
