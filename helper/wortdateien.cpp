// The user's word files in the pool folder (see wortdateien.h).
#include "helper/wortdateien.h"

#include "common/poolfiles.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace helfer {

std::string WortSchluessel(std::string_view zeile) {
  return vk::klein(zeile);
}

std::string ClaimPfad(std::string_view pfad) {
  return std::string(pfad) + ".inArbeit";
}

std::string AngewandtPfad(std::string_view pfad) {
  return std::string(pfad) + ".angewandt";
}

plat::Err AngewandtVormerken(const std::string& claim, const std::string& angewandt) {
  plat::SharedFile c;
  plat::Err e = vk::WortdateiOeffnen(c, claim, plat::Disposition::openExisting);
  if (e != plat::Err::ok) return e;
  if (plat::pathKind(angewandt) == plat::PathKind::missing) {
    e = c.renameTo(angewandt);
    if (e != plat::Err::fileExists) return e;
  }
  std::string inhalt;
  plat::SharedFile a;
  e = c.readAll(inhalt);
  if (e == plat::Err::ok) e = vk::WortdateiOeffnen(a, angewandt, plat::Disposition::openAlways);
  if (e == plat::Err::ok) e = a.append(inhalt);
  if (e == plat::Err::ok) e = a.sync();
  a.close();
  if (e != plat::Err::ok) return e;
  return c.removeAndClose();
}

plat::Err UmbenennungVollenden(const std::string& claim, const std::string& angewandt) {
  plat::SharedFile c;
  plat::Err e = vk::WortdateiOeffnen(c, claim, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return plat::Err::ok;
  if (e != plat::Err::ok) return e;
  e = c.renameTo(angewandt);
  return e == plat::Err::fileExists ? plat::Err::ok : e;
}

Beanspruchung DateiBeanspruchen(const std::string& pfad, plat::Err& fehler) {
  fehler = plat::Err::ok;
  plat::SharedFile f;
  const plat::Err e = vk::WortdateiOeffnen(f, pfad, plat::Disposition::openExisting);
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
  plat::Err e = vk::WortdateiOeffnen(f, pfad, plat::Disposition::openAlways);
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
