#include "sim/core/FaultPlan.h"

#include "common/EnumTable.h"

#include <cstring>

namespace qbv::sim {

namespace {
constexpr EnumName<Fault> kNames[] = {
    {Fault::Stall, "stall"}, {Fault::Partial, "partial"}, {Fault::Zero, "zero"},
    {Fault::Drop, "drop"},   {Fault::Delay, "delay"},
};
static_assert(namesInEnumOrder(kNames, kFaultKinds));
} // namespace

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
    return rowOf(kNames, fault).name;
}

bool FaultPlan::fromName(const char* name, Fault& fault) {
    for (const EnumName<Fault>& row : kNames) {
        if (std::strcmp(name, row.name) == 0) {
            fault = row.value;
            return true;
        }
    }
    return false;
}

} // namespace qbv::sim
