// Numbers of the language file's texts that the client library and the
// main programs show, by what they say (see lang/Deutsch.LNG). A number
// missing from the language file shows as "<?N ...>".
#pragma once

namespace vk::txt {

// Boxes and the wait form.
inline constexpr int kFehler = 105;       // title of an error box
inline constexpr int kHinweis = 106;      // title of a plain message
inline constexpr int kBitteWarten = 114;  // the wait form

// The reason of an error box, by the platform's error.
inline constexpr int kFehlerOrdner = 180;        // a folder under the name
inline constexpr int kFehlerKeineDatei = 181;    // a device, pipe or socket
inline constexpr int kFehlerLink = 182;          // a symbolic link on the way
inline constexpr int kFehlerBerechtigung = 183;  // no permission

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

// Why the recognizer access failed, below the message of the step.
inline constexpr int kGrundAntwortetNicht = 2484;
// Why the recognizer refuses a word (empty, form too long: @ = the limit,
// control character).
inline constexpr int kGrundLeeresWort = 2480;
inline constexpr int kGrundWortZuLang = 2481;
inline constexpr int kGrundSteuerzeichen = 2482;
inline constexpr int kGrundGestoerteAntwort = 2485;
inline constexpr int kGrundNichtInstalliert = 2486;
inline constexpr int kGrundNichtInitialisiert = 2487;
inline constexpr int kGrundGestoerteWortliste = 2488;
inline constexpr int kGrundZeitueberschreitung = 2489;

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

// The main window and the word list editor.
inline constexpr int kDateiAuswaehlen = 2204;      // title of a file dialog
inline constexpr int kFilterKonfiguration = 2321;  // file filter
inline constexpr int kFilterText = 2322;           // file filter
// The pool was never marked revised; click @ first.
inline constexpr int kNieUeberarbeitet = 2514;
inline constexpr int kWortlisteGesperrt = 2520;    // retry or cancel
inline constexpr int kGesamtlisteGesperrt = 2521;  // retry or cancel
inline constexpr int kErstAnwenderWaehlen = 2575;  // choose a user first
// Pool @ marked revised, @ shows what follows.
inline constexpr int kAlsUeberarbeitetMarkiert = 2594;
// Nothing changed since the pool was marked revised.
inline constexpr int kTeillisteLeer = 2595;
inline constexpr int kWortNichtGefunden = 2596;  // no word starts with @
// The change of @ is no word.
inline constexpr int kAenderungKeinWort = 2684;
inline constexpr int kKnopfTeilwortliste = 4008;  // main window button
inline constexpr int kKnopfUeberarbeitet = 4009;  // main window button
inline constexpr int kOK = 101;                   // button
inline constexpr int kAbbrechen = 193;            // button
inline constexpr int kWahr = 4094;                // the debug list
inline constexpr int kFalsch = 4095;              // the debug list
inline constexpr int kSuchenMenue = 2693;         // editor: context menu
inline constexpr int kWortanfangEingeben = 2694;  // editor: search prompt
inline constexpr int kWeitersuchen = 2695;        // editor: context menu
// Editor: check box column of the total list.
inline constexpr int kKopfBehalten = 2731;
inline constexpr int kKopfUebernehmen = 2732;  // editor: check box column
inline constexpr int kKopfSchreibform = 2742;  // editor: column
inline constexpr int kKopfSprechform = 2743;   // editor: column
// Editor title: the pool's total list.
inline constexpr int kTitelGesamtliste = 2733;
// Editor title: user's words not in the pool.
inline constexpr int kTitelBenWoerter = 2740;
inline constexpr int kTitelImport = 2741;  // editor title: import file @
// Editor title and kind: revision.
inline constexpr int kUeberarbeitung = 2737;
inline constexpr int kTitelNeueWoerter = 2738;  // editor title: new words
inline constexpr int kArtGesamtliste = 2734;    // editor: kind of list
inline constexpr int kArtImport = 2735;         // editor: kind of list
inline constexpr int kArtBenWoerter = 2736;     // editor: kind of list
inline constexpr int kArtNeueWoerter = 2739;    // editor: kind of list
inline constexpr int kTitelWortliste = 2793;    // editor title
inline constexpr int kAnzahl = 2794;            // editor status bar
inline constexpr int kMarkierte = 2795;         // editor status bar
inline constexpr int kWortSuchen = 2796;        // title of the search prompt
inline constexpr int kEigenschaften = 4015;     // word edit dialog: button
inline constexpr int kSchreibform = 4031;       // word edit dialog
inline constexpr int kSprechform = 4032;        // word edit dialog
inline constexpr int kWortBearbeiten = 4096;    // word edit dialog: title

}  // namespace vk::txt
