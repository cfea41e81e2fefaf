// The forms of IPv4 address a tcp:// name may use. Both platforms' resolvers also read the old
// forms (fewer than four parts, octal after a leading zero, hexadecimal): "127.1" is 127.0.0.1
// and "192.168.001.050" is 192.168.1.40, another device than the one a configuration sheet
// names. Those are refused the same way on Linux and on Windows.
#pragma once

#include <string_view>

namespace qrticket {

// Four dot-separated decimal numbers of 0 to 255, without leading zeros ("10.0.0.7").
bool IsDottedQuad(std::string_view host);

// True when `host` reads as an IPv4 address in some form other than IsDottedQuad's: only digits
// and dots, or a form the old inet_aton rules take (one to four parts, each decimal, octal
// after a leading 0 or hexadecimal after 0x, the last filling the bytes left).
bool IsUnusualIpv4Form(std::string_view host);

}  // namespace qrticket
