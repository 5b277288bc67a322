#include "BoardLink.h"

#include "ExitCode.h"
#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "common/Texts.h"
#include "common/Format.h"

namespace qbv::cli {

BoardLink::~BoardLink() {
    close();
}

void BoardLink::close() {
    if (!port_)
        return;
    port_->Close();
    port_.reset();
}

int BoardLink::connect(Reporter& reporter, const Json& extra) {
    close();
    port_ = std::make_unique<TJtagPort>();
    if (port_->error() != JtagPortError::NoError)
        reporter.message(MessageKind::Error, port_->errorString());
    switch (board::ConnectPort(*port_, commandInFlight_, keysAtConnect_)) {
    case board::ConnectOutcome::LibraryNotLoaded: {
        const std::string library = port_->LibraryPath();
        close();
        return reporter.failure(kExitLibrary, text::kFailLoadDriver,
                                merged(extra, {{"library", library}}));
    }
    case board::ConnectOutcome::LinkNotOpened:
        close();
        return reporter.failure(kExitLinkNotOpened, formatText(text::kFailConnectChecklist, text::kBoardName),
                                extra);
    case board::ConnectOutcome::NoResponse:
        close();
        return reporter.failure(kExitNoResponse, formatText(text::kNoResponse, text::kBoardName), extra);
    case board::ConnectOutcome::Connected:
        break;
    }
    return kExitSuccess;
}

bool BoardLink::send(int32_t command, uint8_t* data) {
    return port_ && port_->IsOpen() && board::SendCommand(*port_, commandInFlight_, command, data);
}

} // namespace qbv::cli
