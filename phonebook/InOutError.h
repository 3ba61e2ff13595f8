// A phonebook file that cannot be read or written; what() is the text shown
// to the user, naming the file.
#pragma once

#include <stdexcept>

class InOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
