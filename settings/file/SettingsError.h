// A settings failure worded for the user. May touch: nothing.
#pragma once

#include <stdexcept>

#include <QString>

namespace kpx {

// A settings failure the user can be told about: the message is ready to show
// in a message box as it is. what() gives the same text as UTF-8.
class TSettingsError : public std::runtime_error
{
public:
    explicit TSettingsError(const QString &message) : std::runtime_error(message.toStdString()), FMessage(message) {}

    const QString &Message() const noexcept { return FMessage; }

private:
    QString FMessage;
};

} // namespace kpx
