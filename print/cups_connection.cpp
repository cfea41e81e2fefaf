// Bounded connections to the CUPS scheduler, and the few IPP helpers the queue list and the
// CUPS device share.
#include "cups_connection.h"

#include <algorithm>

namespace qrticket::cups {
namespace {

// Called by libcups once a wait has lasted the time-out: 0 gives up the request.
int GiveUp(http_t*, void*) { return 0; }

// A front end has no terminal to ask on (libcups would read a password from /dev/tty).
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

}  // namespace

std::string ServerName() {
  const std::string server = cupsServer();
  if (!server.empty() && server.front() == '/') return server;
  return server + ":" + std::to_string(ippPort());
}

std::unique_ptr<Connection> Connection::Open(std::chrono::milliseconds connect,
                                             std::chrono::milliseconds silence) {
  cupsSetPasswordCB2(NoPassword, nullptr);
  const int msec = static_cast<int>(std::max<long long>(1, connect.count()));
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                              /*blocking=*/1, msec, nullptr);
  if (http == nullptr) return nullptr;
  httpSetTimeout(http, std::max(0.001, silence.count() / 1000.0), GiveUp, nullptr);
  return std::unique_ptr<Connection>(new Connection(http));
}

Connection::~Connection() { httpClose(http_); }

std::string QueueUri(const std::string& queue) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  return uri;
}

std::string JobUri(int job) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/jobs/%d", job);
  return uri;
}

Ipp NewRequest(ipp_op_t operation, const char* uriName, const std::string& uri) {
  Ipp request(ippNewRequest(operation));
  if (uriName != nullptr)
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  return request;
}

Ipp Send(const Connection& connection, Ipp request) {
  // cupsDoRequest takes the request and frees it.
  return Ipp(cupsDoRequest(connection.http(), request.release(), "/"));
}

std::string Text(ipp_t* response, const char* name) {
  ipp_attribute_t* attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
  const char* text = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
  return text != nullptr ? text : "";
}

int Integer(ipp_t* response, const char* name, int fallback) {
  ipp_attribute_t* attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
  if (attribute == nullptr) return fallback;
  switch (ippGetValueTag(attribute)) {
    case IPP_TAG_INTEGER:
    case IPP_TAG_ENUM:
      return ippGetInteger(attribute, 0);
    case IPP_TAG_BOOLEAN:
      return ippGetBoolean(attribute, 0);
    default:
      return fallback;
  }
}

}  // namespace qrticket::cups
