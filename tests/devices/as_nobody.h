// Running a piece of a test as the unprivileged "nobody": root may write to anything, so
// permission checks are only seen from an ordinary account.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace qrticket::testing {

// Runs `job` in a child process that has given up root for "nobody" and returns what `job`
// returned. nullopt, with the reason in `skip`, when privileges cannot be dropped here; a
// child that hangs is killed (and the test fails).
std::optional<std::string> RunAsNobody(const std::function<std::string()>& job, std::string& skip);

}  // namespace qrticket::testing
