#include "app/json_report.h"

#include <nlohmann/json.hpp>

#include "app/tarnwell_version.h"
#include "base/utf8_text.h"
#include "platform/path_text.h"

namespace tarnwell {
namespace {

// In the order of the keys in the lines, as a reader looking at one expects them.
using Json = nlohmann::ordered_json;

// The keys of platform::DeletionFailure, in its order.
constexpr const char* kFailureKeys[platform::kDeletionFailureKinds] = {
    "read-only", "in use", "permission denied", "read-only file system", "other"};

Json Name(const std::optional<std::string>& path) {
  return path ? Json(platform::JsonText(*path)) : Json(nullptr);
}

Json Text(const std::optional<std::string>& text) {
  return text ? Json(EscapeNonUtf8(*text, false)) : Json(nullptr);
}

// Every text has been made UTF-8 above: a byte that still is not would be a fault here,
// and is written as U+FFFD rather than cost the run its report.
std::string Line(const Json& object) {
  return object.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string JsonPathLine(std::string_view path) {
  return Line(Json{{"path", platform::JsonText(path)}});
}

std::string JsonSummaryLine(const JsonSummary& summary) {
  Json warnings = Json::array(), sweeps = Json::array();
  for (const std::string& warning : summary.warnings) warnings.push_back(Text(warning));
  for (const JsonSweep& sweep : summary.sweeps) {
    Json not_deleted = Json::object();
    for (std::size_t kind = 0; kind < platform::kDeletionFailureKinds; ++kind) {
      not_deleted[kFailureKeys[kind]] = sweep.not_deleted[kind];
    }
    sweeps.push_back({{"rule", Name(sweep.rule)},
                      {"folder", Name(sweep.folder)},
                      {"deleted", sweep.deleted},
                      {"bytes", sweep.bytes},
                      {"kept", sweep.kept},
                      {"not_deleted", std::move(not_deleted)},
                      {"error", Text(sweep.error)}});
  }
  return Line({{"version", TARNWELL_VERSION},
               {"preview", summary.preview},
               {"deleted", summary.deleted},
               {"exit_status", summary.exit_status},
               {"warnings", std::move(warnings)},
               {"more_warnings", summary.more_warnings},
               {"sweeps", std::move(sweeps)}});
}

}  // namespace tarnwell
