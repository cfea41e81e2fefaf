// CUPS queues, printed to by the CUPS device: one CUPS-Get-Printers request to the scheduler
// libcups is set up for. Only the scheduler is asked; nothing is looked for on the network.
#include "devices/posix/cups_connection.h"
#include "devices/posix/sigpipe_guard.h"
#include "discovery/posix/device_listers.h"
#include "discovery/discovery_texts.h"

namespace qrticket {
namespace {

constexpr const char* kQueueAttributes[] = {
    "printer-name",  "printer-make-and-model", "printer-info",
    "printer-state", "printer-state-message",  "printer-is-accepting-jobs",
};

struct Queue {
  std::string name;
  discovery_texts::CupsQueueFacts facts;
  std::string info;
};

// Reads one printer's attributes, from `attribute` up to the next separator.
Queue ReadQueue(ipp_t* response, ipp_attribute_t*& attribute) {
  const cups::Library& lib = cups::Api();
  Queue queue;
  for (; attribute != nullptr && lib.ippGetGroupTag(attribute) == IPP_TAG_PRINTER;
       attribute = lib.ippNextAttribute(response)) {
    const char* name = lib.ippGetName(attribute);
    if (name == nullptr) continue;
    const std::string_view key = name;
    const char* text = lib.ippGetString(attribute, 0, nullptr);
    if (key == "printer-name" && text != nullptr)
      queue.name = text;
    else if (key == "printer-make-and-model" && text != nullptr)
      queue.facts.makeAndModel = text;
    else if (key == "printer-info" && text != nullptr)
      queue.info = text;
    else if (key == "printer-state-message" && text != nullptr)
      queue.facts.stateMessage = text;
    else if (key == "printer-state")
      queue.facts.state = lib.ippGetInteger(attribute, 0);
    else if (key == "printer-is-accepting-jobs")
      queue.facts.accepting = lib.ippGetBoolean(attribute, 0);
  }
  if (queue.facts.makeAndModel.empty()) queue.facts.makeAndModel = queue.info;
  return queue;
}

}  // namespace

std::vector<DiscoveredDevice> ListCupsQueues(std::chrono::milliseconds bound, int cancelFd) {
  if (cups::Loaded() == nullptr) return {};  // libcups is not installed: no queues to list
  const cups::Library& lib = cups::Api();
  const auto end = cups::Clock::now() + bound;
  const auto connection = cups::Connection::Open(bound, cancelFd);
  if (!connection) return {};
  const SigpipeGuard guard;  // a scheduler that hangs up must not end the program
  // Both requests within what is left of the one bound.
  const cups::Connection::Bound requests(*connection, end);

  auto request = cups::NewRequest(IPP_OP_CUPS_GET_PRINTERS, nullptr, {});
  lib.ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                    static_cast<int>(std::size(kQueueAttributes)), nullptr, kQueueAttributes);
  const cups::Ipp response = cups::Send(*connection, std::move(request));
  if (!response || lib.ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING) return {};

  // The destination "cups:" prints to (LPDEST, PRINTER, lpoptions, then the scheduler's).
  const char* defaultName = connection->stopped() == cups::Connection::Stop::None
                                ? lib.cupsGetDefault2(connection->http())
                                : nullptr;
  const std::string defaultQueue = defaultName != nullptr ? defaultName : "";

  std::vector<DiscoveredDevice> devices;
  ipp_t* ipp = response.get();
  for (ipp_attribute_t* attribute = lib.ippFirstAttribute(ipp); attribute != nullptr;) {
    if (lib.ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
      attribute = lib.ippNextAttribute(ipp);
      continue;
    }
    Queue queue = ReadQueue(ipp, attribute);
    if (queue.name.empty()) continue;
    queue.facts.isDefault = queue.name == defaultQueue;
    devices.push_back({.name = "cups:" + queue.name,
                       .description = discovery_texts::CupsQueue(queue.facts),
                       .writable = true,
                       .accessGroup = {}});
  }
  return devices;
}

}  // namespace qrticket
