// The user's word files in the pool folder (see wortdateien.h).
#include "helper/wortdateien.h"

#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace helfer {

namespace {

// The server keeps a member file for one append and retries 7 x 200 ms
// itself; waiting as long here lets one append of it pass.
constexpr int kVersuche = 7;
constexpr int kPauseMs = 200;

plat::Err ExklusivOeffnen(plat::SharedFile& f, const std::string& pfad,
                          plat::Disposition disposition) {
  plat::Err e = plat::Err::ok;
  for (int versuch = 1; versuch <= kVersuche; ++versuch) {
    e = f.open(pfad, plat::Access::readWrite, plat::Share::exclusive, disposition);
    if (e != plat::Err::sharingViolation) return e;
    if (versuch < kVersuche) plat::sleepMs(kPauseMs);
  }
  return e;
}

unsigned char Klein(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:  // S with caron
    case 0x8C:  // OE
    case 0x8E:  // Z with caron
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Y with diaeresis
      return 0xFF;
    default:
      return c;
  }
}

}  // namespace

std::string WortSchluessel(std::string_view zeile) {
  std::string s(zeile);
  for (char& c : s) c = static_cast<char>(Klein(static_cast<unsigned char>(c)));
  return s;
}

std::string ClaimPfad(std::string_view pfad) { return std::string(pfad) + ".inArbeit"; }

Beanspruchung DateiBeanspruchen(const std::string& pfad, plat::Err& fehler) {
  fehler = plat::Err::ok;
  plat::SharedFile f;
  const plat::Err e = ExklusivOeffnen(f, pfad, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return Beanspruchung::keineDatei;
  if (e == plat::Err::sharingViolation) {
    fehler = e;
    return Beanspruchung::belegt;
  }
  if (e != plat::Err::ok) {
    fehler = e;
    return Beanspruchung::fehler;
  }
  if (f.size() == 0) {
    fehler = f.removeAndClose();
    return fehler == plat::Err::ok ? Beanspruchung::leer : Beanspruchung::fehler;
  }
  fehler = f.renameTo(ClaimPfad(pfad));
  return fehler == plat::Err::ok ? Beanspruchung::beansprucht : Beanspruchung::fehler;
}

plat::Err ZeilenAnhaengen(const std::string& pfad, const std::vector<std::string>& zeilen,
                          AnhangSchritt& schritt) {
  schritt = AnhangSchritt::oeffnen;
  plat::SharedFile f;
  plat::Err e = ExklusivOeffnen(f, pfad, plat::Disposition::openAlways);
  if (e != plat::Err::ok) return e;
  schritt = AnhangSchritt::schreiben;
  e = plat::appendLines(f, zeilen);
  if (e != plat::Err::ok) return e;
  schritt = AnhangSchritt::schliessen;
  e = f.sync();
  f.close();
  return e;
}

}  // namespace helfer
