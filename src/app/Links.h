// The outcome of a write to a link, and the network link as the main window sees it (the serial
// ports are UARTManag). The Qt implementations live in links/; tests use doubles.
#pragma once

#include <string>
#include <string_view>

namespace corvel::app {

// The outcome of handing bytes to a link.
struct WriteResult {
    enum class Status { Complete, Incomplete, Failed };
    Status status = Status::Complete;
    std::string error;  // with Failed: the message reported to the user
};

// The network link: a TCP client or UDP datagrams; it adds the line end the protocol wants.
class NetOutput {
public:
    virtual ~NetOutput() = default;
    virtual WriteResult TransmitSentence(std::string_view sentence) = 0;
};

}  // namespace corvel::app
