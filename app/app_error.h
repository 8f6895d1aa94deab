#pragma once
// An error the command-line host reports as "tilvara: error: <what>: <why>".
#include <stdexcept>
#include <string>

namespace tilvara_app {

struct AppError : std::runtime_error {
  AppError(const std::string& what, const std::string& why) : std::runtime_error(what + ": " + why) {}
};

}  // namespace tilvara_app
