// The private folder: a random name that did not exist (create_directory says whether it made
// it), readable by its owner only.
#include "private_folder.h"

#include <random>

#include "listen_socket.h"
#include "web_texts.h"

namespace qrticket::viewer::web {

PrivateFolder::PrivateFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (!ec) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path candidate = base / ("qrticket-view-" + std::to_string(random()));
      if (fs::create_directory(candidate, ec)) {
        fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, ec);
        path_ = candidate;
        return;
      }
    }
  }
  throw ListenError(say::NoPrivateFolder());
}

PrivateFolder::~PrivateFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace qrticket::viewer::web
