#pragma once

#include "platform/export.h"

#include <QString>

#include <stdexcept>

namespace ctb::sql {

// The one error this layer throws: a Portuguese text for the user, with the driver's own message
// (when there is one) kept apart so that callers may log or show it separately.
class CTB_PLATFORM_EXPORT SqlError : public std::runtime_error {
  public:
    explicit SqlError(const QString& message, const QString& driverText = {});
    ~SqlError() override;  // out of line: the type information lives in the platform library

    [[nodiscard]] const QString& message() const { return message_; }
    [[nodiscard]] const QString& driverText() const { return driverText_; }

  private:
    QString message_;
    QString driverText_;
};

}  // namespace ctb::sql
