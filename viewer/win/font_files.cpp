// The virtual printer's font on Windows: DejaVu Sans Mono, compiled into the program from the
// file the build names (QRTICKET_EMBEDDED_FONT), so that any program linking the viewer draws
// text with no font file beside it. $QRTICKET_VIEWER_FONT still names another file.
#include <cstdlib>

#include "glyph_font.h"

// The file's bytes in the read-only data section, between two symbols of our own; sorted to its
// end (.rdata$zfont), away from the constants read at start-up, so a program that never draws a
// ticket does not bring the font's pages into memory with its neighbours'.
asm(".section .rdata$zfont,\"dr\"\n"
    ".balign 16\n"
    ".globl qrticket_font_start\n"
    "qrticket_font_start:\n"
    ".incbin \"" QRTICKET_EMBEDDED_FONT "\"\n"
    ".globl qrticket_font_end\n"
    "qrticket_font_end:\n"
    ".text\n");
extern "C" const char qrticket_font_start[];
extern "C" const char qrticket_font_end[];

namespace qrticket::viewer {

std::string FindFontPath() {
  if (const char* env = std::getenv("QRTICKET_VIEWER_FONT"); env && *env) return env;
  return {};
}

std::string_view BuiltInFont() {
  return std::string_view(qrticket_font_start,
                          static_cast<std::size_t>(qrticket_font_end - qrticket_font_start));
}

}  // namespace qrticket::viewer
