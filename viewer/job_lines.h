// The lines qrticket-view prints for each job of --listen and --serial.
#pragma once

#include <ostream>

#include "listen_server.h"
#include "render_report.h"
#include "utf8_path.h"

namespace qrticket::viewer {

inline void PrintJobLines(std::ostream& out, const ListenJob& job) {
  if (job.statusOnly) {
    out << say::ListenStatusLine(job.peer) << '\n';
    for (const auto& line : job.report) out << "  " << line << '\n';
  } else if (job.number == 0) {
    out << say::ListenEmptyLine(job.peer) << '\n';
  } else {
    out << say::ListenJobLine(job.number, job.bytes, job.peer, Utf8FromPath(job.png)) << '\n';
    for (const auto& line : job.report) out << "  " << line << '\n';
  }
  out.flush();
}

}  // namespace qrticket::viewer
