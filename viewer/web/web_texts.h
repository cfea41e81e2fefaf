// The bench's words, in one place: what qrticket-view says about its page, and what the page's
// server answers when it refuses something.
#pragma once

#include <string>
#include <string_view>

namespace qrticket::viewer::web::say {

// "qrticket-view: página da bancada em http://127.0.0.1:8080/"
std::string WebPageLine(std::string_view url);
// On stderr when the page listens beyond this machine.
std::string WebNoPassword(std::string_view url);
std::string WebCannotListen(std::string_view address, int port);
std::string NoPrivateFolder();

// The server's answers (plain text bodies).
std::string WebNotFound();
std::string WebWrongHost();
std::string WebClearRefused();
std::string WebTooManyPages(int most);

}  // namespace qrticket::viewer::web::say
