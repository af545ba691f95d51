// Speed of the pool server: reaction to a trigger of an idle server, one
// pass delivering a large text, and a pass over every pool at once. Prints
// "figure value reference ratio" lines; run by bench/server/run.sh.
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_file.h"
#include "server/benutzer.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"
#include "server/verteilen.h"

extern char** environ;

namespace fs = std::filesystem;
using Uhr = std::chrono::steady_clock;
using namespace zentrale;

namespace {

// A step of the measurement that fails ends it: a figure over a missing
// file would mislead.
void muss(plat::Err e) {
  if (e == plat::Err::ok) return;
  std::fprintf(stderr, "Fehler %d: %s\n", plat::code(e), plat::errText(e).c_str());
  std::exit(2);
}

double ms(Uhr::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

long spitzeKiB() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_maxrss;
}

void schreiben(const fs::path& p, const std::string& inhalt) {
  muss(plat::publishReplace(plat::systemPath(p.string()), inhalt, false));
}

// Makes `ordner` a folder whose subfolders the file system spreads over its
// free space, as the folders of a drive made at different times are.
// Without a journal, ext4 scans past every inode freed in the last minutes
// near the new file's folder when it creates a file: in /tmp, where test
// suites delete thousands of files, creating the 5,080 empty member files
// alone takes over a second, and every run here adds to it at its clean-up.
void spreizen(const fs::path& ordner) {
  fs::create_directories(ordner);
  const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int flags = 0;
  if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags |= FS_TOPDIR_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  }
  if (fd >= 0) ::close(fd);
}

fs::path tempOrdner() {
  char muster[] = "/tmp/vkz-bench-XXXXXX";
  const fs::path ordner = mkdtemp(muster);
  spreizen(ordner);
  return ordner;
}

// The core in-process on `basis`, with the user list already written.
void kernVorbereiten(const fs::path& basis) {
  protokollZuruecksetzen();
  optionenZuruecksetzen();
  schleifeZuruecksetzen();
  ServerOptionen& o = optionen();
  o.basisVerzeichnis = plat::systemPath(basis.string()) + "\\";
  o.zielVerzeichnis = o.basisVerzeichnis + "Vokarium\\";
  o.neuWorteTextdatei = "\\neuWorte.txt";
  o.loeWorteTextdatei = "\\loeWorte.txt";
  fs::create_directories(basis / "Vokarium" / "Trigger");
  BenutzerlisteLesen();
}

void latenz() {
  const fs::path w = tempOrdner();
  const fs::path ziel = w / "Vokarium";
  fs::create_directories(w / "reg");
  setenv("VOKARIUM_REGISTRY_DIR", (w / "reg").c_str(), 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  muss(plat::regWriteString(plat::Hive::localMachine, "Software\\QMT\\Vokarium",
                            "LastBasisDirectory", plat::systemPath(w.string())));
  schreiben(w / "Benutzer.dat", "A\tu1\t\t\r\n");
  schreiben(w / "Vokarium.ini",
            "[Vokarium]\r\nBasisVerzeichnis=" + plat::systemPath(w.string()) + "\r\nPause=10\r\n");
  std::string prog = VK_ZENTRALE_EXE;
  std::string ini = "-I" + (w / "Vokarium.ini").string();
  char* argv[] = {prog.data(), ini.data(), nullptr};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, prog.c_str(), &fa, nullptr, argv, environ);
  while (!fs::exists(ziel / "BenIntern.dat"))
    usleep(10000);
  usleep(300000);

  const std::string text = plat::systemPath((ziel / "A" / "neuWorte.txt").string());
  const std::string trigger = plat::systemPath((ziel / "Trigger" / "POOL-A.trg").string());
  const fs::path neu = ziel / "A" / "_u1.neu";
  std::vector<double> zeiten;
  for (int lauf = 0; lauf < 50; ++lauf) {
    const std::uintmax_t vorher = fs::exists(neu) ? fs::file_size(neu) : 0;
    const auto anfang = Uhr::now();
    plat::SharedFile f;
    muss(f.open(text, plat::Access::readWrite, plat::Share::exclusive,
                plat::Disposition::openAlways));
    muss(f.append("Wort" + std::to_string(lauf) + "\r\n"));
    f.close();
    muss(plat::publishNew(trigger, "Vokarium5-Trigger\r\nBENCH\r\n", false));
    while (fs::exists(trigger) || !fs::exists(neu) || fs::file_size(neu) == vorher)
      usleep(200);
    zeiten.push_back(ms(Uhr::now() - anfang));
    usleep(20000);
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  std::sort(zeiten.begin(), zeiten.end());
  const double median = (zeiten[24] + zeiten[25]) / 2;
  std::printf("latency_median_ms %.1f pause_ms 10000 ratio %.4f\n", median, median / 10000.0);
  fs::remove_all(w);
}

void durchsatz() {
  const fs::path w = tempOrdner();
  std::string liste;
  for (int i = 0; i < 100; ++i)
    liste += "A\tu" + std::to_string(i) + "\t\t\r\n";
  schreiben(w / "Benutzer.dat", liste);
  kernVorbereiten(w);
  std::string text;
  for (int i = 0; text.size() < 4u * 1024 * 1024; ++i)
    text += "Wort" + std::to_string(i) + "\r\n";
  schreiben(w / "Vokarium" / "A" / "neuWorte.txt", text);
  schleife().triggerliste.push_back(optionen().zielVerzeichnis + "Trigger\\POOL-A.trg");
  const long speicherVorher = spitzeKiB();
  auto anfang = Uhr::now();
  TriggerAuswerten();
  const double pass = ms(Uhr::now() - anfang);
  const long speicher = spitzeKiB() - speicherVorher;

  // The physical limit: the same bytes appended to 100 files, each flushed.
  const fs::path ref = w / "ref";
  fs::create_directories(ref);
  anfang = Uhr::now();
  for (int i = 0; i < 100; ++i) {
    plat::SharedFile f;
    muss(f.open(plat::systemPath((ref / ("_u" + std::to_string(i) + ".neu")).string()),
                plat::Access::readWrite, plat::Share::exclusive, plat::Disposition::openAlways));
    muss(f.append(text));
    muss(f.sync());
  }
  const double grenze = ms(Uhr::now() - anfang);
  std::printf("throughput_pass_ms %.1f plain_append_ms %.1f ratio %.2f (goal <= 1.30)\n", pass,
              grenze, pass / grenze);
  std::printf("throughput_peak_memory_growth_kib %ld text_kib %zu ratio %.2f\n", speicher,
              text.size() / 1024, static_cast<double>(speicher) / (text.size() / 1024.0));
  fs::remove_all(w);
}

void skala() {
  const fs::path w = tempOrdner();
  std::string liste;
  for (int p = 0; p < 127; ++p)
    for (int m = 0; m < 40; ++m)
      liste += "Pool" + std::to_string(p) + "\tu" + std::to_string(m) + "\t\t\r\n";
  schreiben(w / "Benutzer.dat", liste);
  spreizen(w / "Vokarium");
  kernVorbereiten(w);
  std::string text;
  for (int i = 0; text.size() < 16u * 1024; ++i)
    text += "Wort" + std::to_string(i) + "\r\n";
  for (int p = 0; p < 127; ++p) {
    const std::string pool = "Pool" + std::to_string(p);
    schreiben(w / "Vokarium" / pool / "neuWorte.txt", text);
    schleife().triggerliste.push_back(optionen().zielVerzeichnis + "Trigger\\POOL-" + pool +
                                      ".trg");
  }
  const long speicherVorher = spitzeKiB();
  auto anfang = Uhr::now();
  TriggerAuswerten();
  const double pass = ms(Uhr::now() - anfang);
  const long speicher = spitzeKiB() - speicherVorher;

  // What the file system alone takes for the same files: create, write,
  // close, then one flush.
  const fs::path ref = w / "ref";
  spreizen(ref);
  for (int p = 0; p < 127; ++p)
    fs::create_directories(ref / ("Pool" + std::to_string(p)));
  anfang = Uhr::now();
  for (int p = 0; p < 127; ++p)
    for (int m = 0; m < 40; ++m) {
      const fs::path datei =
          ref / ("Pool" + std::to_string(p)) / ("_u" + std::to_string(m) + ".neu");
      const int fd = ::open(datei.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
      if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::perror(datei.c_str());
      if (fd >= 0) ::close(fd);
    }
  const int dfd = ::open(ref.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ::syncfs(dfd);
  ::close(dfd);
  const double grenze = ms(Uhr::now() - anfang);
  std::printf(
      "scale_pass_ms %.1f plain_create_ms %.1f ratio %.2f members 5080 (goal pass <= 1000)\n", pass,
      grenze, pass / grenze);
  std::printf("scale_peak_memory_growth_kib %ld text_kib %zu all_texts_kib %zu ratio %.2f\n",
              speicher, text.size() / 1024, 127 * text.size() / 1024,
              static_cast<double>(speicher) / (127.0 * text.size() / 1024.0));
  fs::remove_all(w);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string was = argc > 1 ? argv[1] : "alle";
  if (was == "latenz" || was == "alle") latenz();
  if (was == "durchsatz" || was == "alle") durchsatz();
  if (was == "skala" || was == "alle") skala();
  return 0;
}
