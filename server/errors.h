#pragma once

#include <QString>

#include <stdexcept>

namespace ctb::server {

// Error policy of the server: the service layer throws one of these; the HTTP layer renders each
// kind once (Refusal as {"ok": false} with 200, BadRequest 400, Forbidden 403, NotFound 404, a database
// failure 500 or 503 with an incident number, anything else 500).
class ServerError : public std::runtime_error {
  public:
    explicit ServerError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    [[nodiscard]] const QString& message() const { return message_; }

  private:
    QString message_;
};

// A business rule said no: the client shows the text to the user (CheckResultServ).
class Refusal : public ServerError {
    using ServerError::ServerError;
};

// The request itself is malformed (argument count or type, packet without a needed field).
class BadRequest : public ServerError {
    using ServerError::ServerError;
};

class NotFound : public ServerError {
    using ServerError::ServerError;
};

// The caller is authenticated but asks to act as another user.
class Forbidden : public ServerError {
    using ServerError::ServerError;
};

}  // namespace ctb::server
