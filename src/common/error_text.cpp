#include "common/error_text.h"

#include <netdb.h>

#include <cerrno>
#include <string>

namespace tern {

std::string systemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "Datei oder Ordner nicht vorhanden";
    case EACCES:
    case EPERM:
      return "Keine Berechtigung";
    case ENOSPC:
      return "Kein Platz mehr auf dem Datenträger";
    case EDQUOT:
      return "Speicherkontingent erschöpft";
    case EROFS:
      return "Der Datenträger ist schreibgeschützt";
    case EISDIR:
      return "Ist ein Ordner";
    case ENOTDIR:
      return "Ist kein Ordner";
    case EEXIST:
      return "Ist bereits vorhanden";
    case EFBIG:
      return "Datei zu groß";
    case EIO:
      return "Ein-/Ausgabefehler";
    case ENODEV:
      return "Kein passendes Gerät";
    case ENAMETOOLONG:
      return "Name zu lang";
    case EBUSY:
      return "Gerät oder Datei belegt";
    case ENOTEMPTY:
      return "Ordner nicht leer";
    case EWOULDBLOCK:
      return "Gerade belegt";
    case ECONNREFUSED:
      return "Verbindung abgelehnt";
    case ENETUNREACH:
      return "Netz nicht erreichbar";
    case EHOSTUNREACH:
      return "Rechner nicht erreichbar";
    case ENOMEM:
      return "Nicht genügend Speicher";
    case EMFILE:
    case ENFILE:
      return "Zu viele offene Dateien";
    case EINVAL:
      return "Ungültiger Wert";
    case ETIMEDOUT:
      return "Zeitüberschreitung";
    case ECONNRESET:
      return "Verbindung zurückgesetzt";
    case EADDRINUSE:
      return "Adresse wird bereits verwendet";
    case EXDEV:
      return "Nicht auf demselben Datenträger";
    case ENXIO:
      return "Gerät nicht vorhanden";
    case EINTR:
      return "Unterbrochen";
    case EADDRNOTAVAIL:
      return "Adresse gehört nicht zu diesem Rechner";
    case EAFNOSUPPORT:
      return "Adressart nicht unterstützt";
    case ENETDOWN:
      return "Netz nicht verfügbar";
    case EMSGSIZE:
      return "Nachricht zu groß";
    case ENOBUFS:
      return "Puffer des Netzes erschöpft";
    case EPIPE:
      return "Verbindung beendet";
    default:
      // The C library speaks English here; the number lets a helper look it up.
      return "Systemfehler " + std::to_string(error);
  }
}

std::string resolverErrorText(int code) {
  switch (code) {
    case EAI_NONAME:
      return "Name oder Adresse unbekannt";
    case EAI_AGAIN:
      return "Namensauflösung gerade nicht möglich";
    case EAI_FAIL:
      return "Namensauflösung fehlgeschlagen";
    case EAI_FAMILY:
      return "Adressart nicht unterstützt";
    case EAI_MEMORY:
      return "Nicht genügend Speicher";
    case EAI_SERVICE:
      return "Ungültige Portnummer";
    case EAI_SYSTEM:
      return systemErrorText(errno);
    default:
      return "Fehler der Namensauflösung " + std::to_string(code);
  }
}

}  // namespace tern
