// The two links a sentence may leave by, as the main window sees them. The Qt implementations live
// in links/; tests use doubles.
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

// The serial port: writes the text (CR LF + sentence) and says whether every byte went out.
class SerialOutput {
public:
    virtual ~SerialOutput() = default;
    virtual WriteResult WriteComText(std::string_view text) = 0;
};

// The network link: a TCP client or UDP datagrams; it adds the line end the protocol wants.
class NetOutput {
public:
    virtual ~NetOutput() = default;
    virtual WriteResult TransmitSentence(std::string_view sentence) = 0;
};

}  // namespace corvel::app
