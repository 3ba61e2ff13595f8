// Why a gateway request ended without its reply, with libcurl's code for the
// log and whatever part of the reply had arrived by then.
#pragma once

#include <stdexcept>
#include <string>

enum class HttpFailure {
    Address, // the address cannot be split, or is not http or https
    Transfer, // connecting, sending or receiving failed; libcurl's message
    TimedOut, // the server fell silent for the receive time-out
    TimeLimit, // the whole request took longer than its limit
    TooLarge, // the reply body passed the size cap
    Cancelled, // cancelled by the user
};

class HttpError : public std::runtime_error {
public:
    HttpError(HttpFailure failure, int code, const std::string& message, std::string partialBody = {})
        : std::runtime_error(message)
        , failure_(failure)
        , code_(code)
        , partialBody_(std::move(partialBody))
    { }
    HttpFailure failure() const { return failure_; }
    // libcurl's code (CURLcode; 1000 + CURLUcode for an address libcurl cannot split).
    int code() const { return code_; }
    // The reply body as far as it had arrived.
    const std::string& partialBody() const { return partialBody_; }

private:
    HttpFailure failure_;
    int code_;
    std::string partialBody_;
};
