// qrticket-gui.exe under Wine on the prefix's virtual display (Xvfb): a second program
// in the same prefix (gui_probe.exe) finds its windows and drives them with window messages
// and with real key and mouse input. Checked: the splash for about 3 s with the main window
// not yet shown and the splash as drawn (no title bar, white, centred, owned, its controls at
// their twips), the starting values, every control's place against the layout table at 96
// and 144 dpi, the focus order by Tab, the count and the port rule while typing, the ticket
// bytes of a click against the Linux build, the failure and status boxes, "Procurar
// velocidade" against serial lines linked as COM23, "Fechar" and the close box ending the
// program (during a speed search too), and no task-bar entry.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cmath>
#include <cstring>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devices/line_settings.h"
#include "form_layout.h"
#include "loopback_printer.h"
#include "qr_scan.h"
#include "render_ticket.h"
#include "run_program.h"
#include "serial_pty.h"
#include "symbol_line.h"
#include "symbols/probe_ticket.h"
#include "symbols/raster_ticket_symbol.h"
#include "temp_dir.h"
#include "ticket/publisher.h"
#include "ticket/ticket_defaults.h"
#include "ticket_bytes.h"

extern char** environ;

namespace qrticket::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

const fs::path kExchange = fs::path(Environment("QRTICKET_WINE_ROOT")) / "exchange";

// ---- The prefix's X server (wine_prefix.sh) ---------------------------------------------

// The display the prefix's Wine session was started on; empty when it has none.
std::string DisplayName() {
  std::string name = ReadFileBytes(fs::path(Environment("QRTICKET_WINE_ROOT")) / "display");
  while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) name.pop_back();
  return name;
}

const std::string kDisplay = DisplayName();

EnvironmentChanges WineEnvironment() {
  return {{"DISPLAY", kDisplay}, {"WINEDEBUG", "-all"}};
}

void SetRegistry(const std::string& key, const std::string& value, const std::string& type,
                 const std::string& data) {
  const ProgramRun run = RunProgram(
      {QRTICKET_WINE64, "reg", "add", key, "/v", value, "/t", type, "/d", data, "/f"},
      WineEnvironment(), 60s, kExchange);
  ASSERT_EQ(run.exitCode, 0) << run.err;
}

void DeleteRegistry(const std::string& key, const std::string& value) {
  const ProgramRun run = RunProgram({QRTICKET_WINE64, "reg", "delete", key, "/v", value, "/f"},
                                    WineEnvironment(), 60s, kExchange);
  EXPECT_EQ(run.exitCode, 0) << run.err;
}

// ---- gui_probe.exe, over a pipe each way ------------------------------------------------

using Fields = std::map<std::string, std::string>;

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char c = text[++i];
      out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 'p' ? '|' : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, '|')) parts.push_back(Unescaped(part));
  if (!line.empty() && line.back() == '|') parts.emplace_back();
  return parts;
}

Fields KeyValues(const std::string& line) {
  Fields fields;
  for (const std::string& part : Split(line)) {
    const auto equals = part.find('=');
    if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
  }
  return fields;
}

class Probe {
 public:
  Probe() {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, kExchange.c_str());
    std::vector<std::string> args = {QRTICKET_WINE64, QRTICKET_GUI_PROBE};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WINEDEBUG=", 0) != 0)
        environment.push_back(entry);
    }
    for (const auto& [name, value] : WineEnvironment()) environment.push_back(name + "=" + *value);
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    to_ = in[1];
    from_ = out[0];
  }
  ~Probe() {
    if (to_ >= 0) {
      Write("quit\n");
      ::close(to_);
    }
    if (from_ >= 0) ::close(from_);
    if (pid_ > 0 && !PollUntil([this] { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5s)) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  // The lines of the answer before "ok"; a failure of the test for an error or no answer.
  std::vector<std::string> Ask(const std::string& command, std::chrono::milliseconds bound = 40s) {
    Write(command + "\n");
    std::vector<std::string> lines;
    const auto deadline = Clock::now() + bound;
    for (;;) {
      const std::optional<std::string> line = ReadLine(deadline);
      if (!line) {
        ADD_FAILURE() << "no answer to '" << command << "'";
        return lines;
      }
      if (*line == "ok") return lines;
      if (line->rfind("error: ", 0) == 0) {
        ADD_FAILURE() << "'" << command << "': " << *line;
        return lines;
      }
      lines.push_back(*line);
    }
  }
  std::string AskOne(const std::string& command, std::chrono::milliseconds bound = 40s) {
    const std::vector<std::string> lines = Ask(command, bound);
    return lines.empty() ? std::string() : lines.front();
  }

 private:
  void Write(const std::string& text) {
    if (::write(to_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      ADD_FAILURE() << "the probe does not read";
  }
  std::optional<std::string> ReadLine(Clock::time_point deadline) {
    for (;;) {
      const auto end = buffer_.find('\n');
      if (end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd ready{from_, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
      char chunk[4096];
      const ssize_t got = ::read(from_, chunk, sizeof chunk);
      if (got <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  std::string buffer_;
};

// ---- One run of the program -------------------------------------------------------------

constexpr const char* kGuiOnT = "T:\\janela\\qrticket-gui.exe";

struct Control {
  std::string name, type;
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false, enabled = false;
  std::string text;
  Fields extra;  // style=, sel=, entries=, checked=
};

// The probe's lines about controls, by name.
std::map<std::string, Control> ControlsOf(const std::vector<std::string>& lines) {
  std::map<std::string, Control> controls;
  for (const std::string& line : lines) {
    const std::vector<std::string> parts = Split(line);
    if (parts.size() < 6) continue;
    Control c;
    c.name = parts[0];
    c.type = parts[1];
    std::sscanf(parts[2].c_str(), "%d,%d,%d,%d", &c.left, &c.top, &c.width, &c.height);
    c.visible = parts[3] == "1";
    c.enabled = parts[4] == "1";
    c.text = parts[5];
    for (std::size_t i = 6; i < parts.size(); ++i) {
      const auto equals = parts[i].find('=');
      if (equals != std::string::npos) c.extra[parts[i].substr(0, equals)] = parts[i].substr(equals + 1);
    }
    controls[c.name] = c;
  }
  return controls;
}

std::map<std::string, Control> Controls(Probe& probe, const std::string& window = "Form1") {
  return ControlsOf(probe.Ask("controls " + window));
}

unsigned long Style(const Control& c) { return std::stoul(c.extra.at("style"), nullptr, 16); }

class GuiRun {
 public:
  GuiRun(int dpi, bool managed) {
    // Managed windows wait for a window manager to confirm each unmapping (2 s each without
    // one); unmanaged ones are drawn by Wine, frame and title bar included.
    SetRegistry("HKCU\\Software\\Wine\\X11 Driver", "Managed", "REG_SZ", managed ? "Y" : "N");
    SetRegistry("HKCU\\Control Panel\\Desktop", "LogPixels", "REG_DWORD", std::to_string(dpi));
    probe_ = std::make_unique<Probe>();
    probe_->Ask("gone Form1 10000");  // no window of an earlier run is left
    // Run from a folder of drive T:, as from the folder a zip was unpacked to.
    fs::create_directories(kExchange / "janela");
    fs::copy_file(QRTICKET_GUI_EXE, kExchange / "janela" / "qrticket-gui.exe",
                  fs::copy_options::overwrite_existing);
    gui_ = std::make_unique<BackgroundProgram>(
        std::vector<std::string>{QRTICKET_WINE64, kGuiOnT}, log_.File("out"), log_.File("err"),
        WineEnvironment(), kExchange);
    const std::vector<std::string> watched = probe_->Ask("watch 30000", 45s);
    if (!watched.empty()) watch_ = KeyValues(watched.front());
    if (watched.size() > 1) splash_ = KeyValues(watched[1]);
    if (watched.size() > 2) splashControls_ = ControlsOf({watched.begin() + 2, watched.end()});
    if (watch_["formFirst"] == "-1" || watch_["formFirst"].empty()) {
      ADD_FAILURE() << "no main window; the program " << (gui_->Running() ? "runs" : "ended")
                    << "; its output: " << ReadFileBytes(log_.File("out"))
                    << "; its errors: " << ReadFileBytes(log_.File("err"));
    }
  }
  ~GuiRun() {
    if (gui_ && gui_->Running()) gui_->Stop();
  }
  Probe& probe() { return *probe_; }
  const Fields& watch() const { return watch_; }
  // The splash as it was on screen: its window, and its controls.
  const Fields& splash() const { return splash_; }
  const std::map<std::string, Control>& splashControls() const { return splashControls_; }
  // Whether the program ended by itself within `bound`, with exit code 0.
  bool EndsCleanly(std::chrono::milliseconds bound) {
    if (!PollUntil([this] { return !gui_->Running(); }, bound)) return false;
    const std::optional<int> status = gui_->EndStatus();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
  }

 private:
  TempDir log_;
  std::unique_ptr<Probe> probe_;
  std::unique_ptr<BackgroundProgram> gui_;
  Fields watch_, splash_;
  std::map<std::string, Control> splashControls_;
};

// ---- The layout as drawn: the windows' tables, which the Linux build reads too -----------

// 1440 twips to the inch, to the nearest pixel.
int Pixels(int twips, int dpi) { return static_cast<int>(std::floor(twips * dpi / 1440.0 + 0.5)); }

// Each control of `window`'s table at its twips, those in a frame offset by the frame's place.
// Labels sized to their text are left to the caller.
void ExpectPlacements(const std::map<std::string, Control>& controls, const ui::WindowSpec& window,
                      int dpi) {
  for (const ui::ControlSpec& spec : window.controls) {
    if (spec.autoSize) continue;
    const std::string name(spec.name);
    SCOPED_TRACE(name);
    ASSERT_TRUE(controls.contains(name));
    int left = Pixels(spec.rect.left, dpi), top = Pixels(spec.rect.top, dpi);
    if (spec.container != window.name) {
      const ui::ControlSpec* frame = ui::FindControl(window, spec.container);
      ASSERT_NE(frame, nullptr);
      left += Pixels(frame->rect.left, dpi);
      top += Pixels(frame->rect.top, dpi);
    }
    const Control& c = controls.at(name);
    EXPECT_EQ(c.left, left);
    EXPECT_EQ(c.top, top);
    EXPECT_EQ(c.width, Pixels(spec.rect.width, dpi));
    EXPECT_EQ(c.height, Pixels(spec.rect.height, dpi));
  }
}

void ExpectLayout(Probe& probe, int dpi) {
  const Fields window = KeyValues(probe.AskOne("window Form1"));
  int cl = 0, ct = 0, cw = 0, ch = 0;
  std::sscanf(window.at("client").c_str(), "%d,%d,%d,%d", &cl, &ct, &cw, &ch);
  const ui::WindowSpec& layout = ui::Form1Layout();
  EXPECT_EQ(cw, Pixels(layout.clientWidth, dpi));
  EXPECT_EQ(ch, Pixels(layout.clientHeight, dpi));
  ExpectPlacements(Controls(probe), layout, dpi);
}

// The splash as the start-up watch saw it: no title bar, white, centred, not in the task bar,
// its client area and controls at their twips, its three texts.
void ExpectSplash(const GuiRun& run, int dpi) {
  const Fields& window = run.splash();
  ASSERT_FALSE(window.empty()) << "the splash was not seen";
  SCOPED_TRACE(window.at("style") + " " + window.at("exstyle"));
  const unsigned long style = std::stoul(window.at("style"), nullptr, 16);
  EXPECT_NE(style & 0x00C00000UL, 0x00C00000UL) << "no title bar (WS_CAPTION)";
  EXPECT_FALSE(style & 0x00080000UL) << "no close box (WS_SYSMENU)";
  EXPECT_FALSE(style & 0x00040000UL) << "fixed (no WS_THICKFRAME)";
  EXPECT_TRUE(style & 0x00400000UL) << "a dialog frame (WS_DLGFRAME)";
  EXPECT_EQ(window.at("owner"), "1") << "owned, so not in the task bar";
  EXPECT_EQ(window.at("ownerVisible"), "0");
  EXPECT_FALSE(std::stoul(window.at("exstyle"), nullptr, 16) & 0x00040000UL) << "WS_EX_APPWINDOW";
  EXPECT_EQ(window.at("title"), "");
  EXPECT_EQ(window.at("corner"), "255,255,255") << "white";
  int cl = 0, ct = 0, cw = 0, ch = 0, l = 0, t = 0, w = 0, h = 0, al = 0, at = 0, aw = 0, ah = 0;
  std::sscanf(window.at("client").c_str(), "%d,%d,%d,%d", &cl, &ct, &cw, &ch);
  std::sscanf(window.at("outer").c_str(), "%d,%d,%d,%d", &l, &t, &w, &h);
  std::sscanf(window.at("workArea").c_str(), "%d,%d,%d,%d", &al, &at, &aw, &ah);
  const ui::WindowSpec& layout = ui::SplashLayout();
  EXPECT_EQ(cw, Pixels(layout.clientWidth, dpi));
  EXPECT_EQ(ch, Pixels(layout.clientHeight, dpi));
  EXPECT_NEAR(l + w / 2, al + aw / 2, 1);
  EXPECT_NEAR(t + h / 2, at + ah / 2, 1);

  const auto& controls = run.splashControls();
  ExpectPlacements(controls, layout, dpi);
  const ui::Twips frame = ui::FindControl(layout, "Frame1")->rect;
  const int frameLeft = Pixels(frame.left, dpi), frameTop = Pixels(frame.top, dpi);
  // The two sized to their text keep their left and top edges.
  struct Sized {
    const char* name;
    const char* text;
  };
  for (const Sized& s : {Sized{"lblPlatform", "Brevalunda - Sistemas de Informação, Lda"},
                         Sized{"lblVersion", publisher::kWeb}}) {
    SCOPED_TRACE(s.name);
    ASSERT_TRUE(controls.contains(s.name));
    const Control& c = controls.at(s.name);
    const ui::Twips place = ui::FindControl(layout, s.name)->rect;
    EXPECT_EQ(c.left, Pixels(place.left, dpi) + frameLeft);
    EXPECT_EQ(c.top, Pixels(place.top, dpi) + frameTop);
    EXPECT_GT(c.width, 0);
    EXPECT_EQ(c.text, s.text);
  }
  EXPECT_EQ(controls.at("lblWarning").text,
            "Teste de impressão do QR Code em impressoras em modo ESC/POS");
}

// ---- At 96 dpi: start-up, values, layout, keys, tickets, boxes, "Fechar" ------------------

class Form1At96 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { run_ = new GuiRun(96, false); }
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
  }
  Probe& probe() { return run_->probe(); }
  std::map<std::string, Control> controls() { return Controls(probe()); }

  // Replaces a box's text as the operator does: clicks into it, selects all, types ("\n" is
  // Return).
  void TypeInto(const std::string& name, const std::string& text) {
    probe().Ask("click " + name);
    probe().Ask("selectall " + name);
    if (text.empty()) {
      probe().Ask("keys Delete");
    } else {
      std::string escaped;
      for (char ch : text) escaped += ch == '\\' ? "\\\\" : ch == '\n' ? "\\n" : std::string(1, ch);
      probe().Ask("type " + escaped);
    }
  }
  void SetTicked(const std::string& name, bool ticked) {
    if ((controls().at(name).extra.at("checked") == "1") != ticked) probe().Ask("click " + name);
    probe().Ask("sync");
  }

  static GuiRun* run_;
};

GuiRun* Form1At96::run_ = nullptr;

TEST_F(Form1At96, SplashForAboutThreeSecondsBeforeTheMainWindow) {
  const Fields& watch = run_->watch();
  const long splashFirst = std::stol(watch.at("splashFirst"));
  const long splashLast = std::stol(watch.at("splashLast"));
  const long formFirst = std::stol(watch.at("formFirst"));
  ASSERT_GE(splashFirst, 0) << "the splash never showed";
  ASSERT_GE(formFirst, 0) << "the main window never showed";
  // Timer1 runs from the load, just before the splash is on screen.
  EXPECT_GE(splashLast - splashFirst, 2700);
  EXPECT_LE(splashLast - splashFirst, 3600);
  EXPECT_GT(formFirst, splashLast);
  EXPECT_EQ(watch.at("overlap"), "0") << "the main window showed while the splash was up";
  EXPECT_EQ(watch.at("splashAgain"), "0") << "the splash came back";
  EXPECT_GE(std::stol(watch.at("pokes")), 5) << "clicks and keys reached the splash";
}

TEST_F(Form1At96, SplashAsDrawn) { ExpectSplash(*run_, 96); }

TEST_F(Form1At96, WindowAsDrawn) {
  const std::string line = probe().AskOne("window Form1");
  SCOPED_TRACE(line);
  Fields window = KeyValues(line);
  EXPECT_EQ(window.at("title"), "QR Code - Teste v1.3");
  const unsigned long style = std::stoul(window.at("style"), nullptr, 16);
  EXPECT_EQ(style & 0x00C00000UL, 0x00C00000UL) << "title bar (WS_CAPTION)";
  EXPECT_TRUE(style & 0x00080000UL) << "close box (WS_SYSMENU)";
  EXPECT_FALSE(style & 0x00040000UL) << "no resizing frame";
  EXPECT_FALSE(style & 0x00030000UL) << "no minimise or maximise box";
  // Centred on the screen's work area.
  int l = 0, t = 0, w = 0, h = 0, al = 0, at = 0, aw = 0, ah = 0;
  std::sscanf(window.at("outer").c_str(), "%d,%d,%d,%d", &l, &t, &w, &h);
  std::sscanf(window.at("workArea").c_str(), "%d,%d,%d,%d", &al, &at, &aw, &ah);
  EXPECT_NEAR(l + w / 2, al + aw / 2, 1);
  EXPECT_NEAR(t + h / 2, at + ah / 2, 1);
}

TEST_F(Form1At96, OneFileWithItsResources) {
  const Fields resources = KeyValues(probe().AskOne(std::string("resources ") + kGuiOnT));
  EXPECT_EQ(resources.at("icon"), "16x16x24;32x32x24");
  EXPECT_EQ(resources.at("commonControls6"), "1");
  EXPECT_EQ(resources.at("dpiAware"), "1");
  EXPECT_EQ(resources.at("FileVersion"), QRTICKET_VERSION);
  EXPECT_EQ(resources.at("CompanyName"), "Brevalunda - Sistemas de Informação, Lda");
}

TEST_F(Form1At96, NoTaskBarEntry) {
  // Windows lists a window in the task bar when it has no owner, or asks to be listed.
  for (const char* name : {"Form1"}) {
    const Fields window = KeyValues(probe().AskOne(std::string("window ") + name));
    EXPECT_EQ(window.at("owner"), "1") << name;
    EXPECT_EQ(window.at("ownerVisible"), "0") << name;
    EXPECT_FALSE(std::stoul(window.at("exstyle"), nullptr, 16) & 0x00040000UL)
        << name << ": WS_EX_APPWINDOW";
  }
}

TEST_F(Form1At96, StartingValues) {
  const auto c = controls();
  EXPECT_EQ(c.at("Text1").text, kSampleDataText);
  EXPECT_EQ(c.at("lblNChar").text, "140");
  EXPECT_EQ(c.at("ObjPrint").extra.at("entries"), "LPT1:;LPT2:;COM1:;COM2:;COM3:;COM4:;COM5:;COM6:;");
  EXPECT_EQ(c.at("ObjPrint").extra.at("sel"), "8");
  EXPECT_EQ(c.at("ObjPrint").text, "");
  EXPECT_FALSE(c.at("Command1").enabled);
  EXPECT_EQ(c.at("Tamanho").text, "6");
  EXPECT_EQ(c.at("ListModel").extra.at("sel"), "1");
  EXPECT_EQ(c.at("ListModel").text, "Modelo 2");
  EXPECT_EQ(c.at("ListModel").extra.at("entries"), "Modelo 1;Modelo 2;MIcro QR Code");
  EXPECT_EQ(c.at("ListError").extra.at("sel"), "1");
  EXPECT_EQ(c.at("ListError").text, "Nivel M");
  EXPECT_EQ(c.at("ListError").extra.at("entries"), "Nivel L;Nivel M;Nivel Q;Nivel H");
  for (const char* box : {"ChkPag", "chkCentrado", "chkNew"})
    EXPECT_EQ(c.at(box).extra.at("checked"), "0") << box;
  EXPECT_TRUE(c.at("Command2").enabled);
  for (const char* hidden : {"Label4", "Combo3", "Check1"}) EXPECT_FALSE(c.at(hidden).visible) << hidden;
  EXPECT_EQ(probe().AskOne("focus"), "Text1");

  // The captions, exactly as drawn; none with an access key.
  const std::map<std::string, std::string> captions = {
      {"Label3", "BREVALUNDA - SISTEMAS DE INFORMAÇÃO LDA"}, {"Label1", "Codificar"},
      {"Frame1", "Impressão ESC/POS do QR CODE"}, {"Label2", " Dispositivo:"},
      {"Label6", "Tamanho"}, {"Label7", "QR Code"}, {"Label8", "Correção Erro"},
      {"ChkPag", "Modo página"}, {"chkCentrado", "Centrado"}, {"chkNew", "woosim"},
      {"Command1", "Imprimir"}, {"Command2", "Fechar"}, {"cmdEstado", "Estado"},
      {"Label4", "Nivel correcção erros"}, {"Check1", "Contorno"}, {"Label5", ""}};
  for (const auto& [name, caption] : captions) EXPECT_EQ(c.at(name).text, caption) << name;

  // Alignment, borders and boxes (SS_CENTER 1, SS_RIGHT 2, WS_BORDER, BS_LEFTTEXT).
  EXPECT_EQ(Style(c.at("lblNChar")) & 3, 1UL);
  for (const char* right : {"Label6", "Label7", "Label8"}) EXPECT_EQ(Style(c.at(right)) & 3, 2UL) << right;
  for (const char* bordered : {"Label2", "Label5"}) EXPECT_TRUE(Style(c.at(bordered)) & 0x00800000UL) << bordered;
  EXPECT_TRUE(Style(c.at("ChkPag")) & 0x20);
  EXPECT_TRUE(Style(c.at("chkCentrado")) & 0x20);
  EXPECT_FALSE(Style(c.at("chkNew")) & 0x20);
  EXPECT_TRUE(Style(c.at("Text1")) & 0x0004UL) << "multi-line";
  EXPECT_FALSE(Style(c.at("Text1")) & 0x00300000UL) << "no scroll bars";
  EXPECT_FALSE(Style(c.at("Text1")) & 0x0080UL) << "wraps (no ES_AUTOHSCROLL)";
}

// A pixel of the X server's screen, as "r,g,b".
std::string ScreenPixel(int x, int y) {
  xcb_connection_t* connection = xcb_connect(kDisplay.c_str(), nullptr);
  std::string rgb;
  if (!xcb_connection_has_error(connection)) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), 1, 1, ~0U),
        nullptr);
    if (image && xcb_get_image_data_length(image) >= 3) {
      const uint8_t* bgr = xcb_get_image_data(image);
      rgb = std::to_string(bgr[2]) + "," + std::to_string(bgr[1]) + "," + std::to_string(bgr[0]);
    }
    std::free(image);
  }
  xcb_disconnect(connection);
  return rgb;
}

// An area of the X server's screen, its pixels as bytes.
std::string ScreenArea(int x, int y, int width, int height) {
  xcb_connection_t* connection = xcb_connect(kDisplay.c_str(), nullptr);
  std::string pixels;
  if (!xcb_connection_has_error(connection) && width > 0 && height > 0) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), static_cast<uint16_t>(width),
                      static_cast<uint16_t>(height), ~0U),
        nullptr);
    if (image)
      pixels.assign(reinterpret_cast<const char*>(xcb_get_image_data(image)),
                    static_cast<std::size_t>(xcb_get_image_data_length(image)));
    std::free(image);
  }
  xcb_disconnect(connection);
  return pixels;
}

TEST_F(Form1At96, ColoursAsDrawn) {
  // Read back from the X server's screen: the window's white and the buttons' light grey.
  const Fields window = KeyValues(probe().AskOne("window Form1"));
  int cl = 0, ct = 0, cw = 0, ch = 0;
  std::sscanf(window.at("client").c_str(), "%d,%d,%d,%d", &cl, &ct, &cw, &ch);
  const auto c = controls();
  const auto at = [&](const char* name, int dx, int dy) {
    return ScreenPixel(cl + c.at(name).left + dx, ct + c.at(name).top + dy);
  };
  EXPECT_EQ(ScreenPixel(cl + 4, ct + 4), "255,255,255");
  EXPECT_EQ(at("Frame1", 20, 60), "255,255,255") << "the frame's inside";
  EXPECT_EQ(at("Command1", 10, 10), "192,192,192");
  EXPECT_EQ(at("Command2", 10, 8), "192,192,192");
  EXPECT_EQ(at("cmdEstado", 10, 8), "192,192,192");
}

TEST_F(Form1At96, EveryControlAtItsTwips) { ExpectLayout(probe(), 96); }

// Labels overlap a little in the table ("QR Code"'s foot over "Correção Erro"'s head). Each
// paints its whole rectangle, so the later lies over the earlier (the probe lists the controls
// from the top of the stack down), and the later's first rows show its text: the tilde and
// the capitals' tops.
TEST_F(Form1At96, OverlappingLabelsShowTheirTextWhole) {
  const std::vector<std::string> lines = probe().Ask("controls Form1");
  std::map<std::string, std::size_t> stack;
  for (std::size_t i = 0; i < lines.size(); ++i) stack[Split(lines[i]).front()] = i;
  const ui::WindowSpec& layout = ui::Form1Layout();
  const auto absolute = [&](const ui::ControlSpec& spec) {
    ui::Twips place = spec.rect;
    if (spec.container != layout.name) {
      place.left += ui::FindControl(layout, spec.container)->rect.left;
      place.top += ui::FindControl(layout, spec.container)->rect.top;
    }
    return place;
  };
  int pairs = 0;
  for (auto later = layout.controls.begin(); later != layout.controls.end(); ++later) {
    if (later->kind != ui::ControlKind::Label || later->hidden) continue;
    for (auto earlier = layout.controls.begin(); earlier != later; ++earlier) {
      if (earlier->kind != ui::ControlKind::Label || earlier->hidden) continue;
      const ui::Twips a = absolute(*later), b = absolute(*earlier);
      if (a.left >= b.left + b.width || b.left >= a.left + a.width || a.top >= b.top + b.height ||
          b.top >= a.top + a.height)
        continue;
      ++pairs;
      EXPECT_LT(stack.at(std::string(later->name)), stack.at(std::string(earlier->name)))
          << later->name << " under " << earlier->name;
    }
  }
  EXPECT_GT(pairs, 0) << "no labels overlap: nothing to check";

  const Fields window = KeyValues(probe().AskOne("window Form1"));
  int cl = 0, ct = 0, cw = 0, ch = 0;
  std::sscanf(window.at("client").c_str(), "%d,%d,%d,%d", &cl, &ct, &cw, &ch);
  const auto c = controls();
  const Control& above = c.at("Label7");
  const Control& label = c.at("Label8");
  const int rows = above.top + above.height - label.top;
  ASSERT_GT(rows, 0);
  const std::string pixels = ScreenArea(cl + label.left, ct + label.top, label.width, rows);
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(label.width * rows * 4));
  int dark = 0;
  for (std::size_t i = 0; i + 2 < pixels.size(); i += 4)
    if (static_cast<unsigned char>(pixels[i]) < 128 && static_cast<unsigned char>(pixels[i + 1]) < 128 &&
        static_cast<unsigned char>(pixels[i + 2]) < 128)
      ++dark;
  EXPECT_GT(dark, 0) << "the first " << rows << " rows of \"Correção Erro\" are blank";
}

TEST_F(Form1At96, TabFollowsTheFocusOrder) {
  TypeInto("ObjPrint", "");
  probe().Ask("click Text1");
  std::vector<std::string> order;
  for (int i = 0; i < 10; ++i) {
    order.push_back(probe().AskOne("focus"));
    probe().Ask("keys Tab");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"Text1", "Command2", "ObjPrint", "Tamanho",
                                             "ListModel", "ListError", "ChkPag", "chkCentrado",
                                             "chkNew", "Text1"}))
      << "the disabled print and status buttons are skipped";
  TypeInto("ObjPrint", "LPT1:");
  probe().Ask("click Text1");
  order.clear();
  for (int i = 0; i < 5; ++i) {
    order.push_back(probe().AskOne("focus"));
    probe().Ask("keys Tab");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"Text1", "Command1", "Command2", "cmdEstado",
                                             "ObjPrint"}));
  TypeInto("ObjPrint", "");
}

TEST_F(Form1At96, CountAndPortRuleWhileTyping) {
  TypeInto("Text1", "");
  EXPECT_EQ(controls().at("lblNChar").text, "0");
  probe().Ask("type AB");
  EXPECT_EQ(controls().at("lblNChar").text, "2");
  probe().Ask("keys Return");
  EXPECT_EQ(controls().at("lblNChar").text, "4") << "Return is a line break, CR LF";
  probe().Ask("type C");
  EXPECT_EQ(controls().at("lblNChar").text, "5");
  EXPECT_EQ(controls().at("Text1").text, "AB\r\nC");
  probe().Ask("keys Back");
  EXPECT_EQ(controls().at("lblNChar").text, "4");
  probe().Ask("keys Tab");
  EXPECT_EQ(probe().AskOne("focus"), "Command2") << "Tab leaves the text box";
  EXPECT_EQ(controls().at("Text1").text, "AB\r\n");

  struct Row {
    const char* typed;
    bool enabled;
  };
  for (const Row& row : {Row{"   ", false}, Row{" COM1: ", true}, Row{"", false}, Row{"x", true}}) {
    TypeInto("ObjPrint", row.typed);
    const auto c = controls();
    EXPECT_EQ(c.at("Command1").enabled, row.enabled) << '"' << row.typed << '"';
    EXPECT_EQ(c.at("cmdEstado").enabled, row.enabled) << '"' << row.typed << '"';
    EXPECT_EQ(c.at("ObjPrint").text, row.typed);
    EXPECT_EQ(c.at("ObjPrint").extra.at("sel"), "-1") << "typed text chooses no entry";
  }
  // Choosing an entry with the keys runs the rule too: "LPT1:" enables, the empty entry not.
  TypeInto("ObjPrint", "");
  probe().Ask("keys Home");
  for (int i = 0; i < 9; ++i) probe().Ask("keys Up");
  probe().Ask("sync");
  EXPECT_EQ(controls().at("ObjPrint").text, "LPT1:");
  EXPECT_TRUE(controls().at("Command1").enabled);
  for (int i = 0; i < 8; ++i) probe().Ask("keys Down");
  probe().Ask("sync");
  EXPECT_EQ(controls().at("ObjPrint").extra.at("sel"), "8");
  EXPECT_FALSE(controls().at("Command1").enabled);
  TypeInto("Text1", kSampleDataText);
}

TEST_F(Form1At96, SymbolLineIsTheLinuxBuildsAndFollowsTheValues) {
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  Control line = controls().at("lblSimbolo");
  EXPECT_TRUE(line.visible);
  EXPECT_EQ(line.text, ui::SymbolLineFor(settings).text);
  TypeInto("Tamanho", "20");
  settings.moduleSizeText = "20";
  line = controls().at("lblSimbolo");
  EXPECT_EQ(line.text, ui::SymbolLineFor(settings).text) << "a size the printer ignores";
  SetTicked("chkNew", true);
  settings.woosimDialect = true;
  EXPECT_EQ(controls().at("lblSimbolo").text, ui::SymbolLineFor(settings).text);
  SetTicked("chkNew", false);
  TypeInto("Tamanho", "6");

  // Its tool tip: every fact, as the Linux build words them.
  settings.moduleSizeText = "6";
  settings.woosimDialect = false;
  probe().Ask("hover lblSimbolo");
  EXPECT_EQ(Unescaped(probe().AskOne("tooltip 5000")), ui::SymbolLineFor(settings).toolTip);
  probe().Ask("hover Label3");  // away, so the tip goes
}

// A chosen entry shows from its first letter, the keyboard's choice and the mouse's alike,
// and every entry has room in its box ("MIcro QR Code", not "cro QR Code").
TEST_F(Form1At96, ChosenEntriesShowFromTheirFirstLetter) {
  const struct {
    const char* list;
    int entries;
  } lists[] = {{"ListModel", 3}, {"ListError", 4}};
  for (const auto& list : lists) {
    for (int position = 0; position < list.entries; ++position) {
      SCOPED_TRACE(std::string(list.list) + " " + std::to_string(position));
      probe().Ask(std::string("click ") + list.list);
      probe().Ask("keys Escape");
      probe().Ask(std::string("select ") + list.list + " 0");
      std::string keys = "keys";
      for (int i = 0; i < position; ++i) keys += " Down";
      if (position > 0) probe().Ask(keys);
      probe().Ask("sync");
      EXPECT_EQ(probe().AskOne(std::string("shown ") + list.list), "first=0|fits=1");
    }
  }
  // A text longer than the box shows its end: what the look above would have caught.
  TypeInto("ListModel", "Modelo 2 com um nome comprido demais");
  EXPECT_NE(probe().AskOne("shown ListModel"), "first=0|fits=1");
  // Back to Modelo 2 and Nivel M, chosen as the operator does, so the window hears of it.
  for (const char* list : {"ListModel", "ListError"}) {
    probe().Ask(std::string("click ") + list);
    probe().Ask("keys Escape");
    probe().Ask(std::string("select ") + list + " 0");
    probe().Ask("keys Down");
  }
  probe().Ask("sync");
  EXPECT_EQ(controls().at("ListModel").text, "Modelo 2");
  EXPECT_EQ(controls().at("ListError").text, "Nivel M");
}

// The symbol line's own menu chooses the printer's density: the line and its tool tip are then
// the Linux build's at that density, the Portaria 195/2020 verdict and width included.
TEST_F(Form1At96, DensityFromTheSymbolLinesMenuReachesItsVerdict) {
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  const struct {
    const char* keys;
    int dpi;
  } rows[] = {{"Down Return", 180}, {"Down Down Down Return", 300}, {"Down Down Return", 203}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dpi);
    probe().Ask("rightclick lblSimbolo");
    probe().Ask(std::string("keys ") + row.keys);
    probe().Ask("sync");
    EXPECT_EQ(controls().at("lblSimbolo").text, ui::SymbolLineFor(settings, row.dpi).text);
    probe().Ask("hover lblSimbolo");
    EXPECT_EQ(Unescaped(probe().AskOne("tooltip 5000")),
              ui::SymbolLineFor(settings, row.dpi).toolTip);
    probe().Ask("hover Label3");
  }
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
}

TEST_F(Form1At96, LimitsTicketFromThePrintButtonsMenu) {
  const std::string file = "janela-limites.bin";
  fs::remove(kExchange / file);
  TypeInto("ObjPrint", file);
  probe().Ask("rightclick Command1");
  probe().Ask("keys Down Down Return");  // the second entry: 58 mm paper
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(ProbeTicketBytes(settings, kPaper58mmDots)));
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  TypeInto("ObjPrint", "");
}

struct TicketRow {
  const char* name;
  const char* typedText;  // as typed; "\n" is Return
  const char* dataText;   // what the ticket carries, Windows-1252
  const char* size;
  int model;              // a position chosen, or -1 for typed text
  int level;
  bool pageMode, centred, woosim;
  bool withoutSymbol = false;  // the printer draws no symbol: one box says so after the ticket
};

const TicketRow kTicketRows[] = {
    {"defaults", nullptr, nullptr, "6", 1, 1, false, false, false},
    {"two_lines_centred_page_mode", "AB\nC", "AB\r\nC", "8", 0, 3, true, true, false},
    {"woosim_micro_level_l", "woosim 123", "woosim 123", "3", 2, 0, false, false, true},
    {"typed_lists_choose_nothing", "x", "x", " 12", -1, -1, false, true, false},
    {"portuguese_and_euro", "Ção € ½", "\xC7\xE3o \x80 \xBD", "6", 1, 2, false, false, false},
    {"size_the_builder_refuses", "z", "z", "300", 1, 1, false, false, false, true},
};

TEST_F(Form1At96, TicketOfAClickIsTheLinuxBuildsBytes) {
  for (const TicketRow& row : kTicketRows) {
    SCOPED_TRACE(row.name);
    const std::string file = std::string("janela-") + row.name + ".bin";
    fs::remove(kExchange / file);
    if (row.typedText) TypeInto("Text1", row.typedText);
    TypeInto("Tamanho", row.size);
    if (row.model >= 0) {
      probe().Ask("select ListModel " + std::to_string(row.model));
    } else {
      TypeInto("ListModel", "Modelo 9");
    }
    if (row.level >= 0) {
      // Chosen with the keys, as the operator does.
      probe().Ask("click ListError");
      probe().Ask("select ListError 0");
      for (int i = 0; i < row.level; ++i) probe().Ask("keys Down");
    } else {
      TypeInto("ListError", "X");
    }
    SetTicked("ChkPag", row.pageMode);
    SetTicked("chkCentrado", row.centred);
    SetTicked("chkNew", row.woosim);
    TypeInto("ObjPrint", file);
    probe().Ask("click Command1");
    probe().Ask("sync");

    QrPrintSettings settings;
    settings.dataText = row.dataText ? row.dataText : kSampleDataText;
    settings.moduleSizeText = row.size;
    settings.modelIndex = static_cast<std::int16_t>(row.model);
    settings.errorLevelIndex = static_cast<std::int16_t>(row.level);
    settings.pageMode = row.pageMode;
    settings.centred = row.centred;
    settings.woosimDialect = row.woosim;
    EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(TicketBytes(settings)));
    if (row.withoutSymbol) {
      const std::string box = probe().AskOne("messagebox");
      EXPECT_NE(box.find("O talão foi impresso sem o símbolo QR: "), std::string::npos) << box;
      probe().Ask("keys Return");
      probe().Ask("sync");
    }
    EXPECT_EQ(probe().AskOne("messagebox"), "none");
  }
  TypeInto("Text1", kSampleDataText);
  TypeInto("Tamanho", "6");
  probe().Ask("select ListModel 1");
  probe().Ask("select ListError 1");
  for (const char* box : {"ChkPag", "chkCentrado", "chkNew"}) SetTicked(box, false);
}

TEST_F(Form1At96, PrintsToALoopbackNetworkPrinter) {
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  TypeInto("ObjPrint", printer.DeviceName());
  probe().Ask("click Command1");
  ASSERT_TRUE(printer.WaitFinished(10s));
  probe().Ask("sync");
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  EXPECT_EQ(Hex(printer.received()), Hex(TicketBytes(settings)));
  EXPECT_TRUE(printer.sawEndOfStream());
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  TypeInto("ObjPrint", "");
}

TEST_F(Form1At96, DeviceListIsReadEachTimeItDropsDown) {
  // The prefix's device map has COM1 to COM200 (wine_prefix.sh); no printer is installed.
  const std::string map = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
  const std::string fixed = "LPT1:;LPT2:;COM1:;COM2:;COM3:;COM4:;COM5:;COM6:;;";
  const auto openList = [&] {
    probe().Ask("click ObjPrint");
    probe().Ask("keys F4");
    probe().Ask("sync");
    const std::string entries = controls().at("ObjPrint").extra.at("entries");
    probe().Ask("keys Escape");
    probe().Ask("sync");
    return entries;
  };
  TypeInto("ObjPrint", "");
  std::string entries = openList();
  // COM1: to COM6: are fixed entries, each listed once.
  EXPECT_EQ(entries.rfind(fixed + "COM7:;COM8:;", 0), 0U) << entries;
  EXPECT_NE(entries.find(";COM200:;"), std::string::npos) << entries;
  EXPECT_EQ(entries.find("COM250:"), std::string::npos);
  EXPECT_TRUE(entries.ends_with(";VISUALIZAR:")) << entries;

  // A port that appears while the program runs (a USB adapter plugged in) is in the next list.
  SetRegistry(map, "\\Device\\Serial249", "REG_SZ", "COM250");
  entries = openList();
  DeleteRegistry(map, "\\Device\\Serial249");
  EXPECT_NE(entries.find(";COM250:;"), std::string::npos) << entries;
  EXPECT_EQ(controls().at("ObjPrint").text, "") << "opening the list chooses nothing";
  EXPECT_FALSE(controls().at("Command1").enabled);
  entries = openList();
  EXPECT_EQ(entries.find("COM250:"), std::string::npos) << "gone again";
}

// Waits for the message box the last click opened, and what it says.
Fields WaitForBox(Probe& probe) {
  for (int i = 0; i < 200; ++i) {
    const std::string box = probe.AskOne("messagebox");
    if (box != "none") return KeyValues(box);
    std::this_thread::sleep_for(25ms);
  }
  ADD_FAILURE() << "no message box";
  return {};
}

TEST_F(Form1At96, FailureIsOneBoxThenTheWindowCarriesOn) {
  TypeInto("ObjPrint", "T:\\pasta-que-não-existe\\talão.bin");
  probe().Ask("click Command1");
  const Fields box = WaitForBox(probe());
  EXPECT_EQ(box.at("title"), "QR Code - Teste");
  EXPECT_EQ(box.at("text").rfind("Falha na impressão:", 0), 0U) << box.at("text");
  EXPECT_NE(box.at("text").find("talão.bin"), std::string::npos) << box.at("text");
  EXPECT_EQ(box.at("buttons"), "OK");
  EXPECT_EQ(box.at("icons"), "0");
  EXPECT_EQ(box.at("owner"), "Form1");
  probe().Ask("keys Return");
  probe().Ask("sync");
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  EXPECT_EQ(probe().AskOne("focus"), "Command1") << "the window has the keyboard back";
  EXPECT_EQ(controls().at("ObjPrint").text, "T:\\pasta-que-não-existe\\talão.bin");
}

// A USB printer that is not plugged in: the box sends the operator to the window's own device
// list, never to a command-line option; printing and asking say the same.
TEST_F(Form1At96, MissingUsbPrinterPointsToTheDeviceList) {
  TypeInto("ObjPrint", "usb:Nenhuma Ligada");
  for (const char* button : {"Command1", "cmdEstado"}) {
    SCOPED_TRACE(button);
    probe().Ask(std::string("click ") + button);
    const std::string text = WaitForBox(probe()).at("text");
    EXPECT_NE(text.find("Não há nenhuma impressora USB \"usb:Nenhuma Ligada\" ligada: escolha o "
                        "nome na lista da caixa do dispositivo"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("--"), std::string::npos) << text;
    probe().Ask("keys Return");
    probe().Ask("sync");
  }
  TypeInto("ObjPrint", "");
}

TEST_F(Form1At96, ReturnPressesTheFocusedButton) {
  TypeInto("ObjPrint", "janela-estado.bin");
  probe().Ask("click Text1");
  probe().Ask("keys Tab Tab Tab");
  ASSERT_EQ(probe().AskOne("focus"), "cmdEstado");
  probe().Ask("keys Return");
  const Fields box = WaitForBox(probe());
  EXPECT_EQ(box.at("title"), "QR Code - Teste");
  EXPECT_EQ(box.at("text").rfind("Estado de janela-estado.bin:\n", 0), 0U) << box.at("text");
  EXPECT_EQ(box.at("icons"), "0");
  probe().Ask("keys Return");
  probe().Ask("sync");
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  EXPECT_EQ(probe().AskOne("focus"), "cmdEstado");
  EXPECT_FALSE(fs::exists(kExchange / "janela-estado.bin")) << "asking writes nothing";
}

// ---- Procurar velocidade over COM23 -----------------------------------------------------

// COM23 of the prefix linked to a serial line of the test's own while this lives. No other
// test links COM23: the Wine tests share the prefix and run side by side.
class LinkedAsCom23 {
 public:
  explicit LinkedAsCom23(const std::string& line)
      : link_(fs::path(Environment("QRTICKET_WINE_ROOT")) / "ports" / "com23") {
    fs::remove(link_);
    fs::create_symlink(line, link_);
  }
  ~LinkedAsCom23() { fs::remove(link_); }
  LinkedAsCom23(const LinkedAsCom23&) = delete;
  LinkedAsCom23& operator=(const LinkedAsCom23&) = delete;

 private:
  fs::path link_;
};

// A descriptor of the test's own on a pty's slave: what the line is set to, whoever set it.
class LineOnThePty {
 public:
  explicit LineOnThePty(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~LineOnThePty() {
    if (fd_ >= 0) ::close(fd_);
  }
  LineOnThePty(const LineOnThePty&) = delete;
  LineOnThePty& operator=(const LineOnThePty&) = delete;

  bool ok() const { return fd_ >= 0; }
  LineSettings Line() const {
    LineSettings line;
    GetLineSettings(fd_, &line);
    return line;
  }
  // Raw, at a standard speed set by its code, as a system sets a serial port (Wine reads
  // no other).
  void SetOwnSpeed(speed_t code) {
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);
    ::tcsetattr(fd_, TCSANOW, &t);
  }

 private:
  int fd_;
};

// Every speed a line is set to while this lives, and when.
class SpeedWatch {
 public:
  struct Change {
    Clock::time_point at;
    std::uint32_t speed;
  };
  explicit SpeedWatch(const LineOnThePty& line)
      : thread_([this, &line] {
          std::uint32_t last = line.Line().ospeed;
          while (watching_) {
            const std::uint32_t now = line.Line().ospeed;
            if (now != last) {
              const std::lock_guard lock(mutex_);
              changes_.push_back({Clock::now(), last = now});
            }
            std::this_thread::sleep_for(2ms);
          }
        }) {}
  ~SpeedWatch() {
    watching_ = false;
    thread_.join();
  }
  SpeedWatch(const SpeedWatch&) = delete;
  SpeedWatch& operator=(const SpeedWatch&) = delete;

  std::vector<Change> Changes() const {
    const std::lock_guard lock(mutex_);
    return changes_;
  }
  // The speeds, for a failure's message.
  std::string Text() const {
    std::string text;
    for (const Change& change : Changes()) text += " " + std::to_string(change.speed);
    return text;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Change> changes_;
  std::atomic<bool> watching_ = true;
  std::thread thread_;
};

// What a DCB sets on a pty's line, as text: the speed, stop bits and flow control (Linux keeps
// no data bits or parity on a pty). Wine also sets IGNBRK, CLOCAL, NOFLSH and VMIN of its own
// when it takes the line, which no DCB puts back.
std::string DcbPart(const LineSettings& line) {
  return std::to_string(line.ispeed) + "/" + std::to_string(line.ospeed) + " bit/s" +
         ((line.cflag & CSTOPB) ? " CSTOPB" : "") + ((line.cflag & CRTSCTS) ? " CRTSCTS" : "") +
         ((line.iflag & IXON) ? " IXON" : "") + ((line.iflag & IXOFF) ? " IXOFF" : "");
}

// The Linux qrticket-view --serial at `speed`: a printer on a pty that answers status
// requests only while the line is at its speed. `line()` is the pty's slave.
class VirtualSerialPrinter {
 public:
  explicit VirtualSerialPrinter(const std::string& speed)
      : printer_({QRTICKET_VIEW_BINARY, "--serial", speed, "--out", dir_.path().string()},
                 dir_.File("log"), dir_.File("err")) {
    const std::string start = "impressora série em ";
    if (!PollUntil([&] { return Log().find(" a " + speed) != std::string::npos; }, 10s)) return;
    const std::string text = Log();
    const auto at = text.find(start) + start.size();
    line_ = text.substr(at, text.find(' ', at) - at);
  }
  const std::string& line() const { return line_; }
  std::string Log() const { return ReadFileBytes(dir_.File("log")) + ReadFileBytes(dir_.File("err")); }

 private:
  TempDir dir_;
  BackgroundProgram printer_;
  std::string line_;
};

// Waits for a message box whose text starts with `start`.
Fields WaitForBoxSaying(Probe& probe, const std::string& start, std::chrono::milliseconds bound) {
  Fields box;
  PollUntil([&] {
    const std::string line = probe.AskOne("messagebox");
    box = line == "none" ? Fields{} : KeyValues(line);
    return box.contains("text") && box.at("text").rfind(start, 0) == 0;
  }, bound);
  if (!box.contains("text")) ADD_FAILURE() << "no message box saying " << start;
  return box;
}

// The code table chosen in the print button's menu holds for the next ticket, whose bytes are
// the Linux build's for the same choice; "nenhuma" brings back the ticket of always.
TEST_F(Form1At96, CodeTableFromThePrintButtonsMenuReachesTheTicket) {
  const std::string file = "janela-tabela.bin";
  fs::remove(kExchange / file);
  TypeInto("ObjPrint", file);
  probe().Ask("rightclick Command1");
  // Limites 80, Limites 58, the code-table ticket, nenhuma, 0, 2, then 3 (PC860).
  probe().Ask("keys Down Down Down Down Down Down Down Return");
  const Fields box = WaitForBoxSaying(probe(), "Até fechar a janela", 5s);
  ASSERT_TRUE(box.contains("text"));
  EXPECT_NE(box.at("text").find("ESC t 3"), std::string::npos) << box.at("text");
  probe().Ask("keys Return");
  probe().Ask("click Command1");
  probe().Ask("sync");
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  settings.codeTable = 3;
  EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(TicketBytes(settings)));

  probe().Ask("rightclick Command1");
  probe().Ask("keys Down Down Down Down Return");  // nenhuma
  WaitForBoxSaying(probe(), "Os talões desta janela não escolhem", 5s);
  probe().Ask("keys Return");
  probe().Ask("click Command1");
  probe().Ask("sync");
  settings.codeTable.reset();
  EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(TicketBytes(settings)));
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  TypeInto("ObjPrint", "");
}

// The print button's raster item (the last) puts the program's image in the next ticket, the
// Linux build's bytes for the same choice; choosing it again brings the QR commands back.
TEST_F(Form1At96, RasterItemOfThePrintButtonsMenuReachesTheTicket) {
  const std::string file = "janela-imagem.bin";
  fs::remove(kExchange / file);
  TypeInto("ObjPrint", file);
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  const std::string commandsLine = controls().at("lblSimbolo").text;
  // Limites 80, Limites 58, the code-table ticket, seven code tables, then the image.
  probe().Ask("rightclick Command1");
  probe().Ask("keys Down Down Down Down Down Down Down Down Down Down Down Return");
  probe().Ask("sync");
  settings.symbolImage = &DrawTicketSymbol;
  EXPECT_EQ(controls().at("lblSimbolo").text, ui::SymbolLineFor(settings).text);
  probe().Ask("click Command1");
  probe().Ask("sync");
  EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(TicketBytes(settings)));
  EXPECT_EQ(probe().AskOne("messagebox"), "none");

  probe().Ask("rightclick Command1");
  probe().Ask("keys Down Down Down Down Down Down Down Down Down Down Down Return");
  probe().Ask("sync");
  EXPECT_EQ(controls().at("lblSimbolo").text, commandsLine);
  probe().Ask("click Command1");
  probe().Ask("sync");
  settings.symbolImage = nullptr;
  EXPECT_EQ(Hex(ReadFileBytes(kExchange / file)), Hex(TicketBytes(settings)));
  TypeInto("ObjPrint", "");
}

// Chooses "Procurar velocidade" in the status button's context menu (opened with the right
// mouse button, or from the keyboard with the menu key), and answers its warning.
void StartSpeedSearch(Probe& probe, bool fromTheKeyboard) {
  if (fromTheKeyboard) {
    probe.Ask("click Text1");
    probe.Ask("keys Tab Tab Tab");
    ASSERT_EQ(probe.AskOne("focus"), "cmdEstado");
    probe.Ask("keys Apps");
  } else {
    probe.Ask("rightclick cmdEstado");
  }
  probe.Ask("keys Down Return");
  const Fields warning = WaitForBoxSaying(probe, "", 5s);
  ASSERT_TRUE(warning.contains("text"));
  EXPECT_NE(warning.at("text").find("pode imprimir alguns caracteres soltos"), std::string::npos)
      << warning.at("text");
  EXPECT_EQ(warning.at("buttons"), "OK");
  // Not waited for: once the search runs, the window looks at its input only between tries.
  probe.Ask("nosync keys Return");
}

TEST_F(Form1At96, SpeedSearchPutsTheNameFoundInTheDeviceBox) {
  const VirtualSerialPrinter printer("19200");
  ASSERT_FALSE(printer.line().empty()) << printer.Log();
  LineOnThePty line(printer.line());
  ASSERT_TRUE(line.ok());
  line.SetOwnSpeed(B1200);
  const std::string own = DcbPart(line.Line());
  const LinkedAsCom23 port(printer.line());
  TypeInto("ObjPrint", "COM23");

  StartSpeedSearch(probe(), /*fromTheKeyboard=*/false);
  const Fields box = WaitForBoxSaying(probe(), "Procurar velocidade de COM23:", 15s);
  EXPECT_EQ(box.at("text"), "Procurar velocidade de COM23:\nrespondeu a COM23:19200,n,8,1 (o nome "
                            "ficou na caixa do dispositivo)");
  EXPECT_EQ(box.at("icons"), "0");
  probe().Ask("keys Return");
  probe().Ask("sync");
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  const auto c = controls();
  EXPECT_EQ(c.at("ObjPrint").text, "COM23:19200,n,8,1");
  EXPECT_TRUE(c.at("cmdEstado").enabled);
  EXPECT_EQ(DcbPart(line.Line()), own) << "the line is not as it was";
  TypeInto("ObjPrint", "");
}

TEST_F(Form1At96, SpeedSearchThatFindsNothingSaysSo) {
  const SerialPty pty;
  LineOnThePty silent(pty.path());
  silent.SetOwnSpeed(B1200);
  const std::string own = DcbPart(silent.Line());
  const LinkedAsCom23 port(pty.path());
  TypeInto("ObjPrint", "COM23");

  StartSpeedSearch(probe(), /*fromTheKeyboard=*/true);
  // Meanwhile the window keeps answering, but not the operator: no status asked in the middle
  // of the search, no letter typed.
  ASSERT_TRUE(PollUntil([&] { return silent.Line().ospeed != 1200; }, 10s)) << "no search";
  // Its 3 to 8 s show progress: the title names the settings being tried.
  const std::string searching = KeyValues(probe().AskOne("window Form1")).at("title");
  EXPECT_EQ(searching.rfind("QR Code - Teste v1.3 - Procurar velocidade: a tentar ", 0), 0U)
      << searching;
  EXPECT_TRUE(searching.ends_with(",n,8,1") || searching.ends_with(",e,7,1")) << searching;
  probe().Ask("nosync click cmdEstado");
  probe().Ask("nosync click Text1");
  probe().Ask("nosync type X");
  probe().Ask("sync");  // taken, in the order sent
  EXPECT_NE(silent.Line().ospeed, 1200U) << "the window took them only after the search";
  const Fields box = WaitForBoxSaying(probe(), "Procurar velocidade de COM23:", 20s);
  EXPECT_EQ(box.at("text"),
            "Procurar velocidade de COM23:\na impressora não respondeu a nenhuma velocidade");
  probe().Ask("keys Return");
  probe().Ask("sync");
  EXPECT_EQ(probe().AskOne("messagebox"), "none");
  EXPECT_EQ(controls().at("ObjPrint").text, "COM23") << "the box keeps what was typed";
  EXPECT_EQ(KeyValues(probe().AskOne("window Form1")).at("title"), "QR Code - Teste v1.3");
  EXPECT_EQ(controls().at("Text1").text, kSampleDataText);
  EXPECT_EQ(probe().AskOne("focus"), "cmdEstado") << "the window has the keyboard back";
  EXPECT_EQ(DcbPart(silent.Line()), own) << "the line is not as it was";
  TypeInto("ObjPrint", "");
}

// What the Linux build's virtual printer draws for `bytes`, and the report as the preview's
// text box shows it.
viewer::RenderedTicket LinuxDrawing(const Bytes& bytes, int paperDots) {
  viewer::RenderOptions options;
  options.paperWidth = paperDots;
  return viewer::RenderTicket(bytes, options);
}

std::string ReportText(const viewer::RenderedTicket& ticket) {
  std::string text;
  for (const std::string& line : ticket.report) text += line + "\r\n";
  return text;
}

// Closes a preview a failed check left open, so the next test finds the main window usable.
class ClosesThePreview {
 public:
  explicit ClosesThePreview(Probe& probe) : probe_(probe) {}
  ~ClosesThePreview() {
    if (probe_.AskOne("exists TicketPreview") == "1") probe_.Ask("click close");
  }
  ClosesThePreview(const ClosesThePreview&) = delete;
  ClosesThePreview& operator=(const ClosesThePreview&) = delete;

 private:
  Probe& probe_;
};

TEST_F(Form1At96, VisualizarShowsWhatTheVirtualPrinterDraws) {
  const ClosesThePreview cleanup(probe());
  TypeInto("ObjPrint", " visualizar: ");
  probe().Ask("click Command1");
  const Fields preview = KeyValues(probe().AskOne("titled 10000 QR Code - Teste - Visualizar talão"));
  EXPECT_EQ(preview.at("enabled"), "1");
  EXPECT_EQ(KeyValues(probe().AskOne("window Form1")).at("enabled"), "0") << "the main window waits";
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  const viewer::RenderedTicket expected = LinuxDrawing(TicketBytes(settings), 576);
  const auto parts = Controls(probe(), "TicketPreview");
  EXPECT_EQ(parts.at("report").text, ReportText(expected));
  EXPECT_FALSE(fs::exists(kExchange / " visualizar: ")) << "the name is no file";

  // The paper roll scrolls: what the screen shows of it changes with Page Down, and again
  // with End.
  const Fields window = KeyValues(probe().AskOne("window TicketPreview"));
  int cl = 0, ct = 0, cw = 0, ch = 0;
  std::sscanf(window.at("client").c_str(), "%d,%d,%d,%d", &cl, &ct, &cw, &ch);
  const Control& paper = parts.at("paper");
  const auto shown = [&] {
    return ScreenArea(cl + paper.left + 4, ct + paper.top + 4, paper.width - 30, paper.height - 30);
  };
  // The screen shows the new picture a moment after the keys were taken.
  const auto becomes = [&](const std::function<bool(const std::string&)>& condition) {
    std::string now;
    PollUntil([&] { return condition(now = shown()); }, 3s);
    return now;
  };
  const std::string top = shown();
  ASSERT_FALSE(top.empty());
  probe().Ask("click paper");
  probe().Ask("keys Next");
  const std::string down = becomes([&](const std::string& now) { return now != top; });
  EXPECT_NE(down, top);
  probe().Ask("keys End");
  EXPECT_NE(becomes([&](const std::string& now) { return now != down; }), down);
  probe().Ask("keys Home");
  EXPECT_EQ(becomes([&](const std::string& now) { return now == top; }), top);

  // "Guardar PNG...": the system's save dialog, and the very dots the Linux build draws.
  const fs::path saved = kExchange / "janela-talao.png";
  fs::remove(saved);
  probe().Ask("click savePng");
  probe().AskOne("titled 10000 Guardar talão");
  probe().Ask("sync");  // the dialog has put the keyboard in its file name
  probe().Ask("selectfocus");
  probe().Ask("type T:\\\\janela-talao.png\\n");
  ASSERT_TRUE(PollUntil([&] { return fs::exists(saved) && fs::file_size(saved) > 0; }, 10s));
  const GreyPicture picture = ReadGreyPng(saved);
  EXPECT_EQ(picture.width, expected.width);
  EXPECT_EQ(picture.height, expected.height);
  EXPECT_TRUE(picture.pixels == expected.pixels) << "the saved picture differs from Linux's";

  probe().Ask("click close");
  probe().Ask("gone TicketPreview 5000");
  probe().Ask("sync");
  EXPECT_EQ(KeyValues(probe().AskOne("window Form1")).at("enabled"), "1");
  EXPECT_EQ(probe().AskOne("focus"), "Command1") << "the window has the keyboard back";
}

TEST_F(Form1At96, LimitsTicketOnScreenOnItsPaper) {
  const ClosesThePreview cleanup(probe());
  TypeInto("ObjPrint", "VISUALIZAR:");
  probe().Ask("rightclick Command1");
  probe().Ask("keys Down Down Return");
  probe().AskOne("titled 10000 QR Code - Teste - Visualizar talão");
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  const viewer::RenderedTicket expected =
      LinuxDrawing(ProbeTicketBytes(settings, kPaper58mmDots), kPaper58mmDots);
  EXPECT_EQ(Controls(probe(), "TicketPreview").at("report").text, ReportText(expected));
  probe().Ask("keys Escape");
  probe().Ask("gone TicketPreview 5000");
  TypeInto("ObjPrint", "");
}

// Last: the program ends.
TEST_F(Form1At96, FecharEndsTheProgram) {
  probe().Ask("click Command2");
  EXPECT_TRUE(run_->EndsCleanly(10s));
}

// ---- The title bar's close box ------------------------------------------------------------

// During a speed search too: the search ends at once, and the line is put back.
TEST(Form1CloseBox, EndsTheProgramAndASpeedSearchUnderWay) {
  GuiRun run(96, false);
  Probe& probe = run.probe();
  const SerialPty pty;
  LineOnThePty silent(pty.path());
  silent.SetOwnSpeed(B1200);
  const std::string own = DcbPart(silent.Line());
  const LinkedAsCom23 port(pty.path());
  probe.Ask("click ObjPrint");
  probe.Ask("type COM23");
  // Found now: while searching, the window answers a message only between two tries.
  const std::string closeBox = probe.AskOne("closeboxat Form1");
  ASSERT_FALSE(closeBox.empty());

  const SpeedWatch watch(silent);
  StartSpeedSearch(probe, /*fromTheKeyboard=*/false);
  // The second try under way: the search runs, and the window answers between tries.
  const bool searching = PollUntil([&] { return silent.Line().ospeed == 19200; }, 10s);
  const Clock::time_point closed = Clock::now();
  if (searching) probe.Ask("clickat " + closeBox);
  const bool ended = run.EndsCleanly(10s);
  const auto endedAfter = Clock::now() - closed;
  ASSERT_TRUE(searching) << "the search did not reach its second try; the line was at"
                         << watch.Text();
  EXPECT_TRUE(ended);
  EXPECT_LT(endedAfter, 1500ms) << "the program ended only after the search";
  // The try under way may move on to the next speed before it sees the close; then the line's
  // own speed.
  std::this_thread::sleep_for(50ms);  // the watch sees the line as it was left
  std::vector<std::uint32_t> after;
  for (const SpeedWatch::Change& change : watch.Changes())
    if (change.at > closed) after.push_back(change.speed);
  EXPECT_LE(after.size(), 2U) << "the search went on after the window closed";
  EXPECT_EQ(after.empty() ? 0U : after.back(), 1200U);
  EXPECT_EQ(DcbPart(silent.Line()), own) << "the line is not as it was";
}

// ---- At 144 dpi, with the windows managed as under a desktop ------------------------------

// The X window that shows `title`, and the window manager's states set on it.
std::vector<std::string> NetWmStates(const std::string& title) {
  std::vector<std::string> states;
  xcb_connection_t* x = xcb_connect(kDisplay.c_str(), nullptr);
  if (xcb_connection_has_error(x)) return states;
  const auto atom = [x](const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return value;
  };
  const xcb_atom_t netWmState = atom("_NET_WM_STATE");
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, screen->root), nullptr);
  if (tree) {
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      xcb_get_property_reply_t* name = xcb_get_property_reply(
          x, xcb_get_property(x, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr);
      const std::string shown = name ? std::string(static_cast<const char*>(xcb_get_property_value(name)),
                                                   xcb_get_property_value_length(name))
                                     : std::string();
      std::free(name);
      if (shown != title) continue;
      xcb_get_property_reply_t* state = xcb_get_property_reply(
          x, xcb_get_property(x, 0, children[i], netWmState, XCB_ATOM_ATOM, 0, 32), nullptr);
      if (state) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(state));
        for (int a = 0; a < xcb_get_property_value_length(state) / 4; ++a) {
          xcb_get_atom_name_reply_t* atomName =
              xcb_get_atom_name_reply(x, xcb_get_atom_name(x, atoms[a]), nullptr);
          if (atomName)
            states.emplace_back(xcb_get_atom_name_name(atomName),
                                xcb_get_atom_name_name_length(atomName));
          std::free(atomName);
        }
      }
      std::free(state);
      states.emplace_back("(found)");
    }
    std::free(tree);
  }
  xcb_disconnect(x);
  return states;
}

TEST(Form1At144, SplashAndEveryControlAtTheirTwipsAndNoTaskBarEntry) {
  GuiRun run(144, true);
  ExpectSplash(run, 144);
  ExpectLayout(run.probe(), 144);
  // What the desktop's task bar reads (Wine sets it for an owned window).
  const std::vector<std::string> states = NetWmStates("QR Code - Teste v1.3");
  EXPECT_NE(std::find(states.begin(), states.end(), "(found)"), states.end());
  EXPECT_NE(std::find(states.begin(), states.end(), "_NET_WM_STATE_SKIP_TASKBAR"), states.end());
  run.probe().Ask("click Command2");
  EXPECT_TRUE(run.EndsCleanly(15s));
  SetRegistry("HKCU\\Control Panel\\Desktop", "LogPixels", "REG_DWORD", "96");
}

// Without a display (no Xvfb when the prefix was made) there is nothing to look at.
class DisplayEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (kDisplay.empty()) GTEST_SKIP() << "the prefix has no X display (Xvfb not installed)";
  }
};

const auto* const kDisplayCheck = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

}  // namespace
}  // namespace qrticket::testing
