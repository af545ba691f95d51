// Numbers of the language file's texts that vkHelfer shows, by what they
// say. A number missing from the language file shows as "<?N ...>".
#pragma once

namespace helfer::txt {

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
