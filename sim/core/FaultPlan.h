#pragma once

#include <array>
#include <cstdint>

namespace qbv::sim {

enum class Fault { Stall, Partial, Zero, Drop, Delay };
constexpr int kFaultKinds = static_cast<int>(Fault::Delay) + 1;

// Which faults the board puts into its next operations, each for a number of operations or until
// cleared.
class FaultPlan {
public:
    static constexpr int kUntilCleared = -1;

    // count > 0 operations, or kUntilCleared; 0 ends the fault.
    void set(Fault fault, int count);
    void setDelay(uint32_t delayMs, int count);
    void clear();

    // True when the fault hits this operation; counts the operation off.
    bool strike(Fault fault);
    // The fault's operations left: 0 when inactive, kUntilCleared when open-ended.
    int remaining(Fault fault) const { return remaining_[index(fault)]; }
    uint32_t delayMs() const { return delayMs_; }

    static const char* name(Fault fault);
    static bool fromName(const char* name, Fault& fault);

private:
    static int index(Fault fault) { return static_cast<int>(fault); }

    std::array<int, kFaultKinds> remaining_{};
    uint32_t delayMs_ = 0;
};

} // namespace qbv::sim
