#include "board/Connection.h"

#include "board/BoardProtocol.h"
#include "board/Jtagport.h"

namespace qbv::board {

ConnectOutcome ConnectPort(TJtagPort& port, uint8_t& keyState) {
    if (!port.IsLoaded())
        return ConnectOutcome::LibraryNotLoaded;
    if (!port.Open())
        return ConnectOutcome::LinkNotOpened;
    uint8_t unused = 0;
    // The key read only after a ping that went through: a blank controller takes nothing at all.
    if (!SendCommand(port, kPing, &unused) || !SendCommand(port, kReadKeys, &keyState))
        return ConnectOutcome::NoResponse;
    return ConnectOutcome::Connected;
}

} // namespace qbv::board
