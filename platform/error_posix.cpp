// Error texts and the errno mapping of the POSIX OS layer. The texts are
// cp1252 like every text inside the programs.
#include <cerrno>

#include "platform/error.h"

namespace plat {

std::string errText(Err e) {
  switch (e) {
    case Err::ok:
      return "kein Fehler";
    case Err::notFound:
      return "Datei nicht gefunden";
    case Err::pathNotFound:
      return "Pfad nicht gefunden";
    case Err::accessDenied:
      return "Zugriff verweigert";
    case Err::invalidHandle:
      return "Datei ist nicht ge\xF6"
             "ffnet";
    case Err::sharingViolation:
      return "Datei wird von einem anderen Programm benutzt";
    case Err::lockViolation:
      return "Datei ist gesperrt";
    case Err::fileExists:
      return "Datei existiert bereits";
    case Err::invalidParameter:
      return "ung\xFC"
             "ltiger Parameter";
    case Err::diskFull:
      return "Datentr\xE4"
             "ger ist voll";
    case Err::invalidName:
      return "unzul\xE4"
             "ssiger Name";
    case Err::dirNotEmpty:
      return "Verzeichnis ist nicht leer";
    case Err::alreadyExists:
      return "existiert bereits";
    case Err::ioError:
      return "Ein-/Ausgabefehler";
    case Err::timeout:
      return "Zeit\xFC"
             "berschreitung";
    case Err::lineTooLong:
      return "Zeile zu lang";
    case Err::nulInLine:
      return "Zeile enth\xE4"
             "lt ein Nullzeichen";
    case Err::isLink:
      return "symbolischer Link (wird nicht verfolgt)";
    case Err::notAFile:
      return "keine gew\xF6"
             "hnliche Datei (FIFO, Ger\xE4"
             "t oder Socket)";
    case Err::isFolder:
      return "Verzeichnis statt Datei";
    case Err::unknown:
      break;
  }
  return "unbekannter Fehler";
}

Err fromErrno(int e) {
  switch (e) {
    case 0:
      return Err::ok;
    case ENOENT:
      return Err::notFound;
    case ENOTDIR:
      return Err::pathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return Err::accessDenied;
    case EISDIR:
      return Err::isFolder;
    case ELOOP:
      return Err::isLink;
    case EBADF:
      return Err::invalidHandle;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
      return Err::sharingViolation;
    case EEXIST:
      return Err::fileExists;
    case EINVAL:
      return Err::invalidParameter;
    case ENOSPC:
    case EDQUOT:
      return Err::diskFull;
    case ENAMETOOLONG:
    case EILSEQ:
      return Err::invalidName;
    case ENOTEMPTY:
      return Err::dirNotEmpty;
    case EIO:
      return Err::ioError;
    case ETIMEDOUT:
      return Err::timeout;
    default:
      return Err::unknown;
  }
}

}  // namespace plat
