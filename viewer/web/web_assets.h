// The bench page's own files, compiled into the program: nothing is fetched from elsewhere.
#pragma once

#include <string_view>

namespace qrticket::viewer::web {

extern const std::string_view kPageHtml;    // /
extern const std::string_view kPageCss;     // /bancada.css
extern const std::string_view kPageScript;  // /bancada.js

}  // namespace qrticket::viewer::web
