// The command line parser's complaints in Portuguese. CLI11 words its errors in English; the
// operator reads ours, chosen by the kind of error and naming the argument at fault.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace qrticket::cli {

// What was wrong, for a parse that threw `error`. `args` are the arguments the parser was
// given, in order; `app` the parser after the failed parse.
std::string DescribeParseError(const CLI::ParseError& error, const CLI::App& app,
                               const std::vector<std::string>& args);

// An argument the parser did not take: an unknown option or a word no option asked for.
std::string DescribeExtraArgument(const std::string& argument);

// "--name=value" given to an option that takes no value.
std::string DescribeFlagWithValue(const std::string& name);

}  // namespace qrticket::cli
