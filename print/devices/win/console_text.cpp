// UTF-8 to a console as UTF-16, to anything else as bytes.
#include "devices/win/console_text.h"

#include <algorithm>


namespace qrticket {
namespace {

// Pieces handed to the system at a time (a console is happier with modest writes).
constexpr std::size_t kPiece = 8192;

bool Usable(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// The length of the sequence that `lead` starts, 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// `utf8` as UTF-16, each invalid byte as U+FFFD, so that a stray byte cannot lose a line.
std::wstring Wide(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::size_t IncompleteTail(const std::string& utf8) {
  // Looks back over at most three continuation bytes for the byte that leads them.
  for (std::size_t back = 1; back <= std::min<std::size_t>(utf8.size(), 4); ++back) {
    const auto byte = static_cast<unsigned char>(utf8[utf8.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
    const std::size_t length = SequenceLength(byte);
    return length > back ? back : 0;
  }
  return 0;
}

ConsoleTextBuffer::ConsoleTextBuffer(SystemCalls& sys, HANDLE handle) : sys_(sys), handle_(handle) {
  DWORD mode = 0;
  console_ = Usable(handle_) && sys_.GetConsoleMode(handle_, &mode);
}

ConsoleTextBuffer::~ConsoleTextBuffer() { WriteOut(pending_.size()); }

std::streamsize ConsoleTextBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  return WriteOut(pending_.size() - IncompleteTail(pending_)) ? count : 0;
}

ConsoleTextBuffer::int_type ConsoleTextBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

int ConsoleTextBuffer::sync() { return 0; }  // nothing is held that a flush could send

bool ConsoleTextBuffer::WriteOut(std::size_t end) {
  const std::string text = pending_.substr(0, end);
  pending_.erase(0, end);
  if (text.empty() || !Usable(handle_)) return true;
  if (console_) {
    const std::wstring wide = Wide(text);
    std::wstring_view rest(wide);
    while (!rest.empty()) {
      DWORD written = 0;
      const auto piece = static_cast<DWORD>(std::min(rest.size(), kPiece));
      if (!sys_.WriteConsoleW(handle_, rest.data(), piece, &written) || written == 0) return false;
      rest.remove_prefix(written);
    }
    return true;
  }
  std::string bytes;
  bytes.reserve(text.size() + 16);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  std::string_view rest(bytes);
  while (!rest.empty()) {
    DWORD written = 0;
    const auto piece = static_cast<DWORD>(std::min(rest.size(), kPiece));
    if (!sys_.WriteFile(handle_, rest.data(), piece, &written, nullptr) || written == 0) return false;
    rest.remove_prefix(written);
  }
  return true;
}

}  // namespace qrticket
