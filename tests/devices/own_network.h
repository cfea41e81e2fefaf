// Tests that look host names up run in a network namespace of their own, where only a loopback
// interface exists: a made-up name never reaches the machine's real name server, and nothing
// can leave the machine.
#pragma once

#include <optional>
#include <string>

namespace qrticket::testing {

// True in the copy of the test program that RunInOwnNetwork started. Tests meant to run only
// there skip themselves elsewhere.
bool InOwnNetwork();

// Brings the loopback interface up: it starts down in a new namespace. False on failure.
bool BringLoopbackUp();

// The names of the network interfaces this process sees ("lo" only, in a namespace of our own).
std::string NetworkInterfaces();

struct OwnNetworkRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

// Runs this test program again with `gtestFilter` in a new network namespace (unshare(2) with
// CLONE_NEWNET, as root), waiting at most 60 s. nullopt, with `skip` set, when a namespace
// cannot be made here.
std::optional<OwnNetworkRun> RunInOwnNetwork(const std::string& gtestFilter, std::string& skip);

}  // namespace qrticket::testing
