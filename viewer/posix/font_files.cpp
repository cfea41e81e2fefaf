// Where the virtual printer finds its font on Linux: the system's font files.
#include <cstdlib>
#include <filesystem>

#include "font_path.h"
#include "glyph_font.h"

namespace qrticket::viewer {

std::string FindFontPath() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (const char* env = std::getenv("QRTICKET_VIEWER_FONT"); env && *env) return env;
  for (const char* candidate :
       {kConfiguredFontPath, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
        "/usr/share/fonts/truetype/freefont/FreeMono.ttf"}) {
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::string_view BuiltInFont() { return {}; }

}  // namespace qrticket::viewer
