// Speed of the recognizer access on a 300,000-word vocabulary, against the
// same lines read from and written to a local file.
//   dragon_bench reference   read + write 300,000 lines; read + write 20,000
//   dragon_bench proxy       WorteHolen + VocWorteSchreiben of all words;
//                            WoerterHinzufuegen of a 20,000-line file
// Each prints "figure milliseconds" lines (the fastest of 7 runs: the
// machine is shared, and the fastest run is the one least disturbed) and its own
// peak memory ("peak-kb N"); proxy also the recognizer's ("natspeak-peak-kb").
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "dragonsim/world.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/text_lines.h"

namespace {

// A step of the measurement that fails ends it: a figure over a missing
// file would mislead.
void muss(plat::Err e) {
  if (e == plat::Err::ok) return;
  std::fprintf(stderr, "Fehler %d: %s\n", plat::code(e), plat::errText(e).c_str());
  std::exit(2);
}

constexpr std::size_t kWords = 300000;
constexpr std::size_t kCustom = 10000;
constexpr std::size_t kNew = 20000;
constexpr int kRuns = 7;

std::string gRoot;

std::string nativ(const std::string& rel) {
  return gRoot + "/" + rel;
}
std::string sys(const std::string& rel) {
  return plat::systemPath(nativ(rel));
}

long peakKb(const std::string& statusFile) {
  std::ifstream in(statusFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

double fastest(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

double timed(const std::function<void()>& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// The vocabulary's lines: generated built-in words and custom words, some
// with spoken forms.
void writeInputs() {
  natspeak::Words builtin = natspeak::generatedBuiltins(kWords - kCustom);
  std::string b;
  for (const auto& w : builtin)
    plat::addLine(b, w.written);
  muss(plat::publishReplace(sys("builtin.txt"), b, false));
  std::string c;
  std::string all = b;
  for (std::size_t i = 0; i < kCustom; ++i) {
    std::string line =
        "Eigen" + std::to_string(i) + (i % 3 == 0 ? "\\eigen " + std::to_string(i) : "");
    plat::addLine(c, line);
    plat::addLine(all, line);
  }
  muss(plat::publishReplace(sys("custom.txt"), c, false));
  muss(plat::publishReplace(sys("all.txt"), all, false));
  std::string n;
  for (std::size_t i = 0; i < kNew; ++i) {
    plat::addLine(
        n, "Neuwort" + std::to_string(i) + (i % 4 == 0 ? "\\neu wort " + std::to_string(i) : ""));
  }
  muss(plat::publishReplace(sys("neu.txt"), n, false));
}

void copyLines(const std::string& from, const std::string& to) {
  plat::SharedFile in;
  muss(in.open(from, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting));
  plat::LineReader r(in);
  std::vector<std::string> lines;
  std::string line;
  while (r.next(line) == plat::LineStatus::line)
    lines.push_back(line);
  plat::SharedFile out;
  muss(out.open(to, plat::Access::readWrite, plat::Share::exclusive,
                plat::Disposition::createAlways));
  std::string buf;
  for (const auto& l : lines) {
    plat::addLine(buf, l);
    if (buf.size() > 65536) {
      muss(out.write(buf));
      buf.clear();
    }
  }
  muss(out.write(buf));
}

int reference() {
  std::vector<double> a, b;
  for (int i = 0; i < kRuns; ++i) {
    a.push_back(timed([] { copyLines(sys("all.txt"), sys("out-all.txt")); }));
    b.push_back(timed([] { copyLines(sys("neu.txt"), sys("out-neu.txt")); }));
  }
  std::printf("get-and-write-300000 %.1f\nadd-20000 %.1f\n", fastest(a), fastest(b));
  std::printf("peak-kb %ld\n", peakKb("/proc/self/status"));
  return 0;
}

int proxy() {
  QProcess ns;
  ns.start(VK_BIN_DIR "/natspeak", {"--headless", "--speaker", "Bench", "--topic", "Allgemein"});
  ns.waitForStarted();
  while (!vk::DragonLaeuft())
    QThread::msleep(50);
  std::vector<double> a, b;
  for (int i = 0; i < kRuns; ++i) {
    a.push_back(timed([] {
      vk::VoctoolsStart();
      vk::WorteHolen(false);
      vk::AusgabeAnlegen(true);
      vk::VocWorteSchreiben();
      vk::AusgabeSchliessen();
      vk::VoctoolsEnde();
    }));
    if (vk::Voctools().liste.size() != kWords) {
      std::fprintf(stderr, "dragon_bench: %zu words instead of %zu\n", vk::Voctools().liste.size(),
                   kWords);
      return 1;
    }
    muss(plat::removeFile(vk::poolZustand().ausgabePfad));
    // The 300,000 words just written are released here, not inside the
    // figure of adding 20,000.
    vk::Voctools().liste = {};
    vk::VoctoolsStart();
    b.push_back(timed([] { vk::WoerterHinzufuegen(sys("neu.txt")); }));
    vk::DateiWoerterEntfernen(sys("neu.txt"));
    vk::VoctoolsEnde();
  }
  std::printf("get-and-write-300000 %.1f\nadd-20000 %.1f\n", fastest(a), fastest(b));
  std::printf("peak-kb %ld\n", peakKb("/proc/self/status"));
  std::printf("natspeak-peak-kb %ld\n",
              peakKb("/proc/" + std::to_string(ns.processId()) + "/status"));
  // Ended as the user ends it, so that a profiler watching it can finish.
  QProcess::execute(VK_BIN_DIR "/natspeak", {"--ctl", "quit"});
  ns.waitForFinished(60000);
  ns.kill();
  ns.waitForFinished();
  return vk::recordedMessages().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode != "reference" && mode != "proxy") {
    std::fprintf(stderr, "usage: dragon_bench reference|proxy\n");
    return 3;
  }
  char muster[] = "/tmp/vk-dragon-bench.XXXXXX";
  gRoot = ::mkdtemp(muster);
  for (const char* d : {"appdata", "registry", "run"})
    std::filesystem::create_directories(nativ(d));
  ::setenv("XDG_CONFIG_HOME", nativ("appdata").c_str(), 1);
  ::setenv("VOKARIUM_REGISTRY_DIR", nativ("registry").c_str(), 1);
  ::setenv("VOKARIUM_DRAGON_SOCKET", nativ("run/natspeak.sock").c_str(), 1);
  vk::responderEinschalten();
  writeInputs();
  int rc = 0;
  if (mode == "reference") {
    rc = reference();
  } else {
    int code = QProcess::execute(
        VK_BIN_DIR "/natspeak",
        {"--setup", QString::fromStdString(nativ("R")), "--speaker", "Bench", "--topic",
         "Allgemein", "--builtin", QString::fromStdString(nativ("builtin.txt")), "--words",
         QString::fromStdString(nativ("custom.txt"))});
    rc = code == 0 ? proxy() : 1;
  }
  std::filesystem::remove_all(gRoot);
  return rc;
}
