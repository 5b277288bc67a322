#include "app/VirtualBoardProbe.h"

#include "sim/control/BoardControl.h"

namespace {

using qbv::doctor::VirtualBoardState;

class ControlProbe final : public qbv::doctor::VirtualBoardProbe {
public:
    const std::string& name() const override { return name_; }
    std::string linkSocketPath(std::string& refusal) const override {
        return qbv::sim::linkSocketPath(name_, &refusal);
    }
    bool connect(std::string& why) override {
        const bool connected = control_.connect();
        why = control_.errorDetails();
        return connected;
    }
    std::optional<VirtualBoardState> state(std::string& reply) override {
        qbv::sim::BoardState state;
        const bool said = control_.state(state);
        reply = control_.lastReply();
        return said ? std::optional(VirtualBoardState{state.plugged, state.programmed, state.linkOpen})
                    : std::nullopt;
    }

private:
    std::string name_ = qbv::sim::boardNameFromEnvironment();
    qbv::sim::BoardControl control_{name_};
};

} // namespace

std::unique_ptr<qbv::doctor::VirtualBoardProbe> probeVirtualBoard() {
    return std::make_unique<ControlProbe>();
}
