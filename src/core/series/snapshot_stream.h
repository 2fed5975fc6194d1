#pragma once

#include "core/report_reader.h"

namespace tarvolin::core {

/// A file holds no report of the kind asked for; what() lists the kinds it holds.
class NoSuchKindError : public ReadError {
 public:
  using ReadError::ReadError;
};

}  // namespace tarvolin::core
