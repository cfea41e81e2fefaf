// Bounded connections to the CUPS scheduler, and the few IPP helpers the queue list and the
// CUPS device share.
#include "devices/cups_connection.h"

#include <algorithm>

namespace qrticket::cups {
namespace {

// Called by libcups once a wait has lasted the time-out: 0 gives up the request.
int GiveUp(http_t*, void*) { return 0; }

// A front end has no terminal to ask on (libcups would read a password from /dev/tty).
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

}  // namespace

std::string ServerName() {
  const Library& lib = Api();
  const std::string server = lib.cupsServer();
  if (!server.empty() && server.front() == '/') return server;
  return server + ":" + std::to_string(lib.ippPort());
}

std::unique_ptr<Connection> Connection::Open(std::chrono::milliseconds connect,
                                             std::chrono::milliseconds silence) {
  const Library& lib = Api();
  lib.cupsSetPasswordCB2(NoPassword, nullptr);
  const int msec = static_cast<int>(std::max<long long>(1, connect.count()));
  http_t* http =
      lib.httpConnect2(lib.cupsServer(), lib.ippPort(), nullptr, AF_UNSPEC, lib.cupsEncryption(),
                       /*blocking=*/1, msec, nullptr);
  if (http == nullptr) return nullptr;
  lib.httpSetTimeout(http, std::max(0.001, silence.count() / 1000.0), GiveUp, nullptr);
  return std::unique_ptr<Connection>(new Connection(http));
}

Connection::~Connection() { Api().httpClose(http_); }

std::string QueueUri(const std::string& queue) {
  const Library& lib = Api();
  char uri[HTTP_MAX_URI];
  lib.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                       lib.ippPort(), "/printers/%s", queue.c_str());
  return uri;
}

std::string JobUri(int job) {
  const Library& lib = Api();
  char uri[HTTP_MAX_URI];
  lib.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                       lib.ippPort(), "/jobs/%d", job);
  return uri;
}

Ipp NewRequest(ipp_op_t operation, const char* uriName, const std::string& uri) {
  const Library& lib = Api();
  Ipp request(lib.ippNewRequest(operation));
  if (uriName != nullptr)
    lib.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
  lib.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                   lib.cupsUser());
  return request;
}

Ipp Send(const Connection& connection, Ipp request) {
  const Library& lib = Api();
  // cupsDoRequest takes the request and frees it.
  return Ipp(lib.cupsDoRequest(connection.http(), request.release(), "/"));
}

std::string Text(ipp_t* response, const char* name) {
  const Library& lib = Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_ZERO);
  const char* text = attribute != nullptr ? lib.ippGetString(attribute, 0, nullptr) : nullptr;
  return text != nullptr ? text : "";
}

int Integer(ipp_t* response, const char* name, int fallback) {
  const Library& lib = Api();
  ipp_attribute_t* attribute = lib.ippFindAttribute(response, name, IPP_TAG_ZERO);
  if (attribute == nullptr) return fallback;
  switch (lib.ippGetValueTag(attribute)) {
    case IPP_TAG_INTEGER:
    case IPP_TAG_ENUM:
      return lib.ippGetInteger(attribute, 0);
    case IPP_TAG_BOOLEAN:
      return lib.ippGetBoolean(attribute, 0);
    default:
      return fallback;
  }
}

}  // namespace qrticket::cups
