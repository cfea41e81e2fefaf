// The devices Windows knows of, for the device list and --list-devices: installed printers
// ("printer:NAME", beside printer_device.cpp) and the serial and parallel ports in the
// registry's device map ("COM3:", "LPT1:", beside handle_device.cpp). Nothing is opened to
// find them; a serial port is opened for a moment to read its settings.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "devices/win/usb_printers.h"
#include "discovery/device_discovery.h"

namespace qrticket {

struct InstalledPrinter {
  std::string name;  // UTF-8, as Windows lists it
  std::string driver;
  std::string port;
  bool isDefault = false;
  std::string state;  // what stops it printing, in words ("em pausa"); empty when nothing does
};

// The printers as the list shows them: "printer:NAME", in the order given.
std::vector<DiscoveredDevice> DescribeInstalledPrinters(const std::vector<InstalledPrinter>& printers);

// The printers installed for this user (local ones and connections to shared ones).
std::vector<InstalledPrinter> InstalledPrinters();

// One entry of the registry's device map: the port's device ("\Device\Serial0") and its
// DOS name ("COM1", or "\DosDevices\LPT1" for parallel ports).
struct MappedPort {
  std::string device;
  std::string dosName;
  // The name Windows' Device Manager shows ("USB Serial Port (COM3)"); empty when unknown.
  std::string friendlyName = {};
  // A serial port's settings now ("9600,n,8,1"); empty when unknown or not read.
  std::string settings = {};
};

// What the Device Manager knows of a port: its name, and whether it is a Bluetooth link
// (opening one makes the connection, which can take many seconds).
struct PortIdentity {
  std::string friendlyName;
  bool bluetooth = false;
};

// The ports class's devices by port name in capitals ("COM3"), read through SetupAPI;
// nothing is opened.
std::map<std::string, PortIdentity> PortIdentities();

// USB printers of the USB printing class, queue or not: "usb:EPSON TM-T20II", in the order
// given (devices/win/usb_printers.h).
std::vector<DiscoveredDevice> DescribeUsbPrinters(const std::vector<UsbPrinter>& printers);

// The ports as the list shows them, "COM1:" before "COM2:" before "COM10:", serial before
// parallel; entries that name no port in range are left out.
std::vector<DiscoveredDevice> DescribePorts(const std::vector<MappedPort>& serial,
                                            const std::vector<MappedPort>& parallel);

// HARDWARE\DEVICEMAP\SERIALCOMM and HARDWARE\DEVICEMAP\PARALLEL PORTS, each serial port
// with the settings it is at now, except Bluetooth links.
std::vector<DiscoveredDevice> ListWindowsPorts();

}  // namespace qrticket
