// The failures of the device layer, with their Portuguese descriptions: the channel, opening a
// name, writing to it, the network, ports and serial lines. The wording lives in
// device_failures.cpp, errno_words.cpp and port_failures.cpp; a platform's own transports keep
// theirs in its folder (posix/cups_failures, win/printer_failures). The rooms above keep theirs
// beside them (ticket_failures, status_failures, symbol_failures) and quote devices and
// durations with the two helpers here.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "devices/failure.h"
#include "devices/serial_settings.h"

namespace qrticket::failures {

// A device as the operator typed it, in double quotes.
std::string Quoted(std::string_view device);
// A duration as a message says it: "10 s", or "1500 ms" when not whole seconds.
std::string Seconds(std::chrono::milliseconds ms);

// A system error number in Portuguese words ("rede inacessível"); "erro N" for one we have no
// words for. Never the C library's English text.
std::string SystemErrorText(int error);

// A command byte value outside 0..255.
PrintFailure ByteOutOfRange(int code);
PrintFailure OutOfMemory();
// The description of OutOfMemory, for when not even that failure can be made.
const char* OutOfMemoryText() noexcept;

PrintFailure AlreadyOpen(int channel);
PrintFailure BadChannel(int channel);
// `why`, when given, says what is wrong with the name ("velocidade inválida: 12x00").
PrintFailure BadFileName(std::string_view device, std::string_view why = {});

// What the channel was doing when the system refused; the same errno reads differently.
enum class Stage { Open, Write, Close };
// Sorts a system error into the failures above and names the device as the operator typed it.
// Where no failure above fits, the description quotes `detail`, or SystemErrorText(error) when
// `detail` is empty.
PrintFailure FromErrno(int error, std::string_view device, Stage stage,
                       std::string_view detail = {});
// How a Windows error is quoted as `detail`: its number and the system's message.
std::string WindowsErrorDetail(unsigned long code, std::string_view systemText);

// The device took no byte for the whole stall time-out.
PrintFailure TimedOut(std::string_view device, std::chrono::milliseconds stall);
PrintFailure NoReader(std::string_view device);
// "-" when the program was started with standard output closed.
PrintFailure StandardOutputClosed();
// The resolver says the name does not exist.
PrintFailure UnknownHost(std::string_view device);
// The resolver could not ask a name server (no network, no server answering): the name may
// well exist.
PrintFailure NameLookupUnavailable(std::string_view device);
PrintFailure ConnectionRefused(std::string_view device);
PrintFailure ConnectTimedOut(std::string_view device, std::chrono::milliseconds bound);
PrintFailure ConnectionLost(std::string_view device);
// The job was stopped from outside (Ctrl+C, SIGTERM, SIGHUP) before the device had everything.
PrintFailure Interrupted();

// Printer ports and device nodes. `port` is the port name as typed ("COM7:"), `path` the
// device file behind it.
PrintFailure BadPortName(std::string_view port);
PrintFailure PortMissing(std::string_view port, std::string_view path);
PrintFailure PortWithoutHardware(std::string_view port, std::string_view path);
// Writing to `path` is refused, and members of `group` may write to it.
PrintFailure AccessRefusedJoinGroup(std::string_view device, std::string_view path,
                                    std::string_view group);

// Serial settings after a device name. The wrong field of a malformed text, as a message part:
// "velocidade inválida: 12x00", "paridade inválida: z".
std::string SerialFieldText(SerialField field, std::string_view value);
// Settings after a port that is not serial ("LPT1:9600"), as a message part naming `port` as
// given.
std::string SettingsNeedSerialPort(std::string_view port);
// The driver set another speed than the one asked for (read back after setting it).
PrintFailure SpeedNotTaken(std::string_view device, std::uint32_t asked, std::uint32_t set);
// A setting this port or system cannot carry out (1.5 stop bits on Linux, 5 data bits...).
PrintFailure SettingNotTaken(std::string_view device, std::string_view setting);
// DTR/DSR flow control on a port that shows no DSR line (a pseudo-terminal, some adapters).
PrintFailure NoDsrLine(std::string_view device);
// Settings were given for a device that turns out not to be a serial line: the same sentence,
// the device in quotes.
PrintFailure NotASerialLine(std::string_view device);

}  // namespace qrticket::failures
