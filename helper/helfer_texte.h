// Numbers of the language file's texts that only vkHelfer shows, by what
// they say; those it shares with the other programs are in
// common/texte_namen.h. A number missing from the language file shows as
// "<?N ...>".
#pragma once

namespace helfer::txt {

// The start-up.
inline constexpr int kSpeicherortUnbekannt = 2301;
inline constexpr int kOhneAnwender = 2302;      // no -u
inline constexpr int kOhneThemaUndPool = 2303;  // neither -t nor -p
inline constexpr int kNichtImPool = 2304;       // user @ not in pool @
inline constexpr int kLaeuftSchon = 2305;       // another helper runs
inline constexpr int kLaeuftSchonFuer = 2393;   // another helper runs for user @, pool @
inline constexpr int kDragonGestartet = 2306;   // the helper stays active
inline constexpr int kStartWiederholen = 2396;  // retry or cancel the recognizer's start

// The loading window and the hidden main window.
inline constexpr int kLaden = 2384;  // the first text of the loading window
inline constexpr int kDragonInitialisieren = 2385;
inline constexpr int kProfilLaden = 2386;
inline constexpr int kProfilPruefen = 2387;
inline constexpr int kProfilAktualisieren = 2388;
inline constexpr int kLadefensterTitel = 2389;
inline constexpr int kVorgangAbbrechen = 2397;
inline constexpr int kWartetAufDragon = 2398;

// The tray icon.
inline constexpr int kTrayTipp = 2394;  // helper for user @, pool @
inline constexpr int kTrayBeenden = 2395;

}  // namespace helfer::txt
