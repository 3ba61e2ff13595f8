// A picture that cannot be read, decoded or saved, with the reason for the user.
#pragma once

#include <QString>

#include <stdexcept>

class PictureError : public std::runtime_error {
public:
    explicit PictureError(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message)
    { }
    // The text as the user sees it; what() holds it in UTF-8.
    QString message() const { return message_; }

private:
    QString message_;
};
