#include "ticket/qr_commands.h"

#include <new>

#include "devices/char_from_code.h"
#include "devices/device_failures.h"
#include "devices/text_encoding.h"
#include "ticket/ticket_failures.h"

namespace qrticket {
namespace {

// A sum held in a signed 16-bit integer, as the length field and the command bytes are.
std::int16_t Sum16(int a, int b, PrintFailure (*onOverflow)()) {
  const int sum = a + b;
  if (sum < INT16_MIN || sum > INT16_MAX) throw onOverflow();
  return static_cast<std::int16_t>(sum);
}

// The length field counts the data plus three bytes; more than 32764 data bytes overflow it.
std::int16_t LengthField(const Bytes& dataText) {
  if (dataText.size() > static_cast<std::size_t>(kMaxDataLength)) throw failures::DataTooLong();
  return static_cast<std::int16_t>(dataText.size() + 3);
}

Bytes LowHigh(std::int16_t value) {
  return CharFromCode(value % 256) + CharFromCode(value / 256);
}

QrBlock Failed(const std::string& description) {
  return {Utf8ToCp1252(description).value_or(Bytes{}), description};
}

// Runs a builder; any failure becomes the printable description that replaces the block.
template <typename Build>
QrBlock CatchAsDescription(Build build) {
  try {
    return {build(), std::nullopt};
  } catch (const PrintFailure& failure) {
    return Failed(failure.description());
  } catch (const std::bad_alloc&) {
    return Failed(failures::OutOfMemory().description());
  }
}

}  // namespace

Bytes QrCommandsStandard(const Bytes& dataText, std::int16_t moduleSize,
                         std::int16_t errorLevelIndex, std::int16_t modelIndex) {
  return QrBlockStandard(dataText, moduleSize, errorLevelIndex, modelIndex).bytes;
}

Bytes QrCommandsWoosim(const Bytes& dataText, std::int16_t moduleSize,
                       std::int16_t errorLevelIndex, std::int16_t modelIndex) {
  return QrBlockWoosim(dataText, moduleSize, errorLevelIndex, modelIndex).bytes;
}

QrBlock QrBlockStandard(const Bytes& dataText, std::int16_t moduleSize,
                        std::int16_t errorLevelIndex, std::int16_t modelIndex) {
  return CatchAsDescription([&] {
    // The length is checked first, so a too long text is reported whatever else is wrong.
    const std::int16_t length = LengthField(dataText);
    const std::int16_t errorByte = Sum16(errorLevelIndex, 0x30, failures::IndexOverflow);
    const std::int16_t modelByte = Sum16(modelIndex, 0x31, failures::IndexOverflow);
    const Bytes gsk = "\x1D\x28\x6B";

    Bytes block;
    block.reserve(dataText.size() + 41);
    block += gsk + Bytes("\x04\x00\x31\x41", 4) + CharFromCode(modelByte) + CharFromCode(0);
    block += gsk + Bytes("\x03\x00\x31\x43", 4) + CharFromCode(moduleSize);
    block += gsk + Bytes("\x03\x00\x31\x45", 4) + CharFromCode(errorByte);
    block += gsk + LowHigh(length) + "\x31\x50\x30" + dataText;
    block += gsk + Bytes("\x03\x00\x31\x51\x30", 5);
    return block;
  });
}

QrBlock QrBlockWoosim(const Bytes& dataText, std::int16_t /*moduleSize*/,
                      std::int16_t /*errorLevelIndex*/, std::int16_t /*modelIndex*/) {
  return CatchAsDescription([&] {
    // The woosim length field also counts 3 bytes more than the data, like GS ( k's does;
    // printers in the field have been fed exactly this, so it stays.
    const std::int16_t length = LengthField(dataText);
    Bytes block = Bytes("\x1B\x5A\x00\x0F\x06", 5) + LowHigh(length);
    block += dataText;
    return block;
  });
}

}  // namespace qrticket
