// natspeak: the recognizer stand-in of one workstation.
//   natspeak --setup R [--speaker NAME --topic TOPIC [--folder F] [--builtin FILE]
//            [--words FILE]]...        create the speakers' world below R
//   natspeak [--headless] [--english] [--speaker NAME --topic TOPIC]
//            [--engine-delay MS] [--quit-wait MS]
//                                      run the recognizer
//   natspeak --ctl COMMAND ...         talk to the running one
// File and path arguments are native paths in the terminal's UTF-8.
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dragonsim/bar.h"
#include "dragonsim/ctl.h"
#include "dragonsim/engine.h"
#include "dragonsim/server.h"
#include "dragonsim/world.h"
#include "oberflaeche/grundlage.h"
#include "platform/encoding.h"
#include "platform/paths.h"

namespace {

using natspeak::SetupTopic;

int usage() {
  std::fprintf(stderr,
               "usage: natspeak --setup DIR [--speaker NAME --topic TOPIC [--folder F]"
               " [--builtin FILE] [--words FILE]]...\n"
               "       natspeak [--headless] [--english] [--speaker NAME --topic TOPIC]"
               " [--engine-delay MS] [--quit-wait MS]\n"
               "       natspeak --ctl COMMAND [ARG...]\n");
  return 3;
}

std::string sys(const std::string& nativeUtf8) {
  return plat::systemPath(nativeUtf8);
}

int runSetup(const std::vector<std::string>& a) {
  if (a.size() < 3) return usage();
  std::string master = plat::withBackslash(sys(a[2]));
  std::vector<SetupTopic> topics;
  for (std::size_t i = 3; i < a.size(); ++i) {
    const std::string& k = a[i];
    if (i + 1 >= a.size()) return usage();
    std::string v = a[++i];
    if (k == "--speaker") {
      topics.push_back(SetupTopic{plat::utf8ToCp1252(v), "", "", "", ""});
      continue;
    }
    if (topics.empty()) return usage();
    SetupTopic& t = topics.back();
    if (k == "--topic") {
      if (!t.topic.empty()) topics.push_back(SetupTopic{t.speaker, "", "", "", ""});
      topics.back().topic = plat::utf8ToCp1252(v);
    } else if (k == "--folder") {
      t.folder = plat::utf8ToCp1252(v);
    } else if (k == "--builtin") {
      t.builtinFile = sys(v);
    } else if (k == "--words") {
      t.wordsFile = sys(v);
    } else {
      return usage();
    }
  }
  for (const auto& t : topics) {
    if (t.topic.empty()) return usage();
  }
  std::string message;
  if (!natspeak::setup(master, topics, plat::programDirectory(), message)) {
    std::fprintf(stderr, "natspeak --setup: %s\n", plat::cp1252ToUtf8(message).c_str());
    return 1;
  }
  std::printf("natspeak: Benutzerverzeichnis %s eingerichtet (%zu Themen)\n",
              plat::cp1252ToUtf8(master).c_str(), topics.size());
  return 0;
}

int runRecognizer(int argc, char** argv, const std::vector<std::string>& a) {
  bool headless = false;
  natspeak::EngineOptions options;
  std::string speaker;
  std::string topic;
  int quitWaitMs = 10000;
  for (std::size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--headless") {
      headless = true;
    } else if (a[i] == "--english") {
      options.english = true;
    } else if (i + 1 < a.size() && a[i] == "--speaker") {
      speaker = plat::utf8ToCp1252(a[++i]);
    } else if (i + 1 < a.size() && a[i] == "--topic") {
      topic = plat::utf8ToCp1252(a[++i]);
    } else if (i + 1 < a.size() && a[i] == "--engine-delay") {
      options.engineDelayMs = std::atoi(a[++i].c_str());
    } else if (i + 1 < a.size() && a[i] == "--quit-wait") {
      quitWaitMs = std::atoi(a[++i].c_str());
    } else {
      return usage();
    }
  }
  std::unique_ptr<QCoreApplication> app;
  if (headless) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    auto fenster = std::make_unique<QApplication>(argc, argv);
    // Qt's own buttons ("Abbrechen") in the recognizer's language, the icon.
    vk::OberflaecheMitSprache(*fenster, "vokarium", options.english ? "en" : "de");
    app = std::move(fenster);
  }
  natspeak::Engine engine(options);
  natspeak::Server server(engine);
  server.quitWaitMs = quitWaitMs;
  std::string error;
  if (!server.listen(error)) {
    std::fprintf(stderr, "natspeak: %s\n", plat::cp1252ToUtf8(error).c_str());
    return 4;
  }
  if (speaker.empty()) std::tie(speaker, topic) = natspeak::lastSpeaker();
  if (!speaker.empty()) {
    int errNo = 0;
    if (!engine.open(speaker, topic, 0, true, errNo, error)) {
      std::fprintf(stderr, "natspeak: %s\n", plat::cp1252ToUtf8(error).c_str());
    }
  }
  std::unique_ptr<natspeak::Windows> windows;
  if (!headless) {
    windows = std::make_unique<natspeak::Windows>(engine, server, options.english);
    windows->show();
  }
  // The end begins after the answer to the request that asked for it.
  engine.quitRequested = [&server]() {
    QTimer::singleShot(0, [&server]() { server.startQuit(); });
  };
  int exitCode = 0;
  server.done = [&](int code) {
    exitCode = code;
    if (windows) windows->closeAll();
    QCoreApplication::quit();
  };
  app->exec();
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv, argv + argc);
  if (a.size() >= 2 && a[1] == "--setup") return runSetup(a);
  if (a.size() >= 2 && a[1] == "--ctl") {
    QCoreApplication app(argc, argv);
    return natspeak::runCtl(std::vector<std::string>(a.begin() + 2, a.end()));
  }
  return runRecognizer(argc, argv, a);
}
