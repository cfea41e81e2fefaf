// libcups, loaded at run time the first time a CUPS queue or the queue list needs it. Linking
// it would make the loader map it and the 35 libraries it brings (GnuTLS, Kerberos, Avahi,
// D-Bus...) on every run, a ticket to a file included. Its headers still give the types.
#pragma once

#include <cups/cups.h>

namespace qrticket::cups {

// The libcups functions this program calls, each looked up once.
#define QRTICKET_CUPS_FUNCTIONS(X)                                                            \
  X(cupsCancelJob2) X(cupsCreateJob) X(cupsDoRequest) X(cupsEncryption) X(cupsFinishDocument) \
  X(cupsGetDefault2) X(cupsLastError) X(cupsLastErrorString) X(cupsServer)                    \
  X(cupsSetPasswordCB2) X(cupsStartDocument) X(cupsUser) X(cupsWriteRequestData)              \
  X(httpAssembleURIf) X(httpClose) X(httpConnect2) X(httpGetFd) X(httpGetStatus)               \
  X(httpSetTimeout)                                                                           \
  X(ippAddString) X(ippAddStrings) X(ippDelete) X(ippFindAttribute) X(ippFirstAttribute)      \
  X(ippGetBoolean) X(ippGetCount) X(ippGetGroupTag) X(ippGetInteger) X(ippGetName)            \
  X(ippGetStatusCode) X(ippGetString) X(ippGetValueTag) X(ippNewRequest) X(ippNextAttribute)  \
  X(ippPort)

struct Library {
#define QRTICKET_CUPS_POINTER(name) decltype(&::name) name = nullptr;
  QRTICKET_CUPS_FUNCTIONS(QRTICKET_CUPS_POINTER)
#undef QRTICKET_CUPS_POINTER
};

// The library, loaded on the first call; nullptr when libcups.so.2 or one of the functions
// above is missing (the device list then has no queues).
const Library* Loaded();
// The same, for a job: fails with "o suporte de CUPS não está instalado" when it is missing.
const Library& Api();

}  // namespace qrticket::cups
