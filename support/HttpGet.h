// One HTTP GET through libcurl, with time-outs, a size limit, progress and
// cancelling, and failures told in words.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>

namespace brennic {

// A request that got no complete answer: no connection, a name not
// resolved, a time-out, a cut-off or oversized answer, a cancel.
class EHttpError : public std::runtime_error {
public:
    enum EKind { NoConnection, NameNotResolved, TimedOut, CutOff, TooLarge, Cancelled, Other };
    EHttpError(EKind kind, const std::string& what) : std::runtime_error(what), Kind(kind) {}
    EKind Kind;
};

struct THttpOptions {
    double ConnectSeconds = 10;  // to open the connection
    double TotalSeconds = 20;    // for everything, connection included
    std::size_t Limit = std::size_t(256) << 20;
    // Bytes received and expected (0: unknown); false cancels.
    std::function<bool(std::size_t received, std::size_t expected)> Progress;
};

struct THttpResponse {
    long Status = 0;
    std::string Body;
};

// The answer, whatever its status; throws EHttpError when there is none.
THttpResponse HttpGet(const std::string& url, const THttpOptions& options = {});

}  // namespace brennic
