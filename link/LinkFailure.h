// Why a request to the handset got no reply, for the windows and the command
// line to put into their own words: the port could not be opened, or the
// handset did not answer.
#pragma once

#include <string>
#include <utility>
#include <variant>

#include "link/ExchangeFailure.h"

struct LinkFailure {
    enum class Kind {
        PortUnavailable,
        NoAnswer,
    };
    Kind kind = Kind::NoAnswer;
    // PortUnavailable: the port's number (0 for a device chosen by its path),
    // its device and what opening it raised.
    int portNumber = 0;
    std::string devicePath;
    std::string portError;
    // NoAnswer: which request, and why.
    ExchangeFailure exchange;

    static LinkFailure portUnavailable(int portNumber, std::string devicePath, std::string portError)
    {
        LinkFailure failure;
        failure.kind = Kind::PortUnavailable;
        failure.portNumber = portNumber;
        failure.devicePath = std::move(devicePath);
        failure.portError = std::move(portError);
        return failure;
    }
    static LinkFailure noAnswer(ExchangeFailure exchange)
    {
        LinkFailure failure;
        failure.exchange = std::move(exchange);
        return failure;
    }
};

// A request whose reply carries nothing the program reads.
struct Answered { };

// What the handset gave, or the failure that kept it.
template <typename T>
class LinkResult {
public:
    LinkResult(T value)
        : result_(std::in_place_index<0>, std::move(value))
    { }
    LinkResult(LinkFailure failure)
        : result_(std::in_place_index<1>, std::move(failure))
    { }

    explicit operator bool() const { return result_.index() == 0; }
    const T& operator*() const { return std::get<0>(result_); }
    T& operator*() { return std::get<0>(result_); }
    const T* operator->() const { return &std::get<0>(result_); }
    const LinkFailure& failure() const { return std::get<1>(result_); }

private:
    std::variant<T, LinkFailure> result_;
};
