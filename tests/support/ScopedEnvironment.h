#pragma once
// Sets environment variables for the life of one object and puts back what was there before.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TScopedEnvironment {
 public:
  // A value of nullopt removes the variable.
  explicit TScopedEnvironment(std::vector<std::pair<std::string, std::optional<std::string>>> Variables) {
    for (auto& [Name, Value] : Variables) {
      const char* Before = std::getenv(Name.c_str());
      FSaved.emplace_back(Name, Before ? std::optional<std::string>(Before) : std::nullopt);
      Set(Name, Value);
    }
  }
  ~TScopedEnvironment() {
    for (auto Saved = FSaved.rbegin(); Saved != FSaved.rend(); ++Saved) Set(Saved->first, Saved->second);
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  static void Set(const std::string& Name, const std::optional<std::string>& Value) {
    if (Value) setenv(Name.c_str(), Value->c_str(), 1);
    else unsetenv(Name.c_str());
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};
