#include "sim/core/FaultPlan.h"

#include <cstring>

namespace qbv::sim {

namespace {
constexpr std::array<const char*, kFaultKinds> kNames = {"stall", "partial", "zero", "drop", "delay"};
}

void FaultPlan::set(Fault fault, int count) {
    remaining_[index(fault)] = count < 0 ? kUntilCleared : count;
}

void FaultPlan::setDelay(uint32_t delayMs, int count) {
    delayMs_ = delayMs;
    set(Fault::Delay, count);
}

void FaultPlan::clear() {
    remaining_.fill(0);
    delayMs_ = 0;
}

bool FaultPlan::strike(Fault fault) {
    int& left = remaining_[index(fault)];
    if (left == 0)
        return false;
    if (left > 0)
        --left;
    return true;
}

const char* FaultPlan::name(Fault fault) {
    return kNames[index(fault)];
}

bool FaultPlan::fromName(const char* name, Fault& fault) {
    for (int i = 0; i < kFaultKinds; ++i) {
        if (std::strcmp(name, kNames[i]) == 0) {
            fault = static_cast<Fault>(i);
            return true;
        }
    }
    return false;
}

} // namespace qbv::sim
