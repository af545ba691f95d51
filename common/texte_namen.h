// Numbers of the language file's texts that the client library and the
// main programs show, by what they say (see lang/Deutsch.LNG). A number
// missing from the language file shows as "<?N ...>".
#pragma once

namespace vk::txt {

// Boxes and the wait form.
inline constexpr int kFehler = 105;       // title of an error box
inline constexpr int kHinweis = 106;      // title of a plain message
inline constexpr int kBitteWarten = 114;  // the wait form

// Files, programs and the pool drive.
inline constexpr int kProgrammFehlt = 862;   // program @ not found
inline constexpr int kNichtGeloescht = 863;  // file @ could not be deleted
// Pool folder @ mounted with option @.
inline constexpr int kPoolOrdnerLokaleSperren = 890;
// Pool folder @ on an unchecked file system @.
inline constexpr int kPoolOrdnerSperrenUngeprueft = 891;
inline constexpr int kAusfuehrenFehler = 959;  // error while running @
// File @ not found or unreadable.
inline constexpr int kDateiNichtLesbar = 2102;

// The server, the recognizer's folders and the recognizer.
// The server's trigger @ could not be written.
inline constexpr int kAuftragNichtGeschrieben = 2201;
inline constexpr int kServerAntwortetNicht = 2202;  // retry or cancel
// The recognizer's user folders (nsuser.ini).
inline constexpr int kDragonVerzeichnisseFehlen = 2203;
inline constexpr int kDragonNichtErreichbar = 2403;
inline constexpr int kDragonLaeuftNicht = 2405;
// The open recognizer user.
inline constexpr int kAnwenderNichtGespeichert = 2406;
inline constexpr int kAnwenderNichtGeoeffnet = 2407;  // the recognizer user
inline constexpr int kDragonStartFehlgeschlagen = 2408;

// The pool's lock and its word files.
// Pool @ is being worked on elsewhere.
inline constexpr int kPoolBelegt = 2501;
inline constexpr int kPoolNichtGesperrt = 2502;      // reason @
inline constexpr int kSperreNichtAufgehoben = 2504;  // reason @
// Word file @ not created or opened.
inline constexpr int kWortdateiNichtAngelegt = 2505;
inline constexpr int kWortlisteNichtGeoeffnet = 2506;  // word list @
inline constexpr int kWortlisteNichtKopiert = 2507;    // pool word list to @
// User's word file @.
inline constexpr int kAnwenderWortdateiNichtGeoeffnet = 2508;
// File @ could not be written.
inline constexpr int kNichtGeschrieben = 2509;
// File @ could not be closed.
inline constexpr int kNichtAbgeschlossen = 2510;
// File @ could not be replaced (@).
inline constexpr int kNichtErsetzt = 2511;
// File could not be moved to @.
inline constexpr int kNichtVerschoben = 2512;
inline constexpr int kVokabularUnzugaenglich = 2551;

// The recognizer's vocabulary.
inline constexpr int kWortNichtGeprueft = 2552;
inline constexpr int kWoerterNichtEntfernt = 2553;
inline constexpr int kVokabularNichtGelesen = 2554;
inline constexpr int kVokabularNichtGespeichert = 2555;
inline constexpr int kWoerterNichtAufgenommen = 2556;
inline constexpr int kWortdateiNichtGelesen = 2557;  // word file @
inline constexpr int kEntfernenAbgelehnt = 2558;

// Names that are no file, launchers, and why a file cannot be read.
// Name @ taken, not by a file (@).
inline constexpr int kNameKeineDatei = 2560;
// Launcher description: recognizer for @.
inline constexpr int kLinkDragonFuer = 2571;
// Launcher description: with synchronisation.
inline constexpr int kLinkMitAbgleich = 2572;
inline constexpr int kLinkPool = 2573;  // launcher description: pool @
inline constexpr int kLinkNichtAngelegt = 2574;
// Why a file cannot be read: held by another program.
inline constexpr int kGrundBelegt = 2584;
inline constexpr int kGrundKeineDatei = 2585;  // a folder or device
inline constexpr int kGrundLink = 2586;        // a symbolic link
inline constexpr int kGrundKeinRecht = 2587;   // no permission
inline constexpr int kGrundFehlt = 2588;       // not found
inline constexpr int kKeineWoerter = 2589;     // @ lines of @ are no words
// Launcher @ created on the desktop.
inline constexpr int kLinkAngelegt = 2593;

}  // namespace vk::txt
