// The search for the recognizer's users on disk (module UserSuchen): every
// folder of the Speicherort with a "current" subfolder is a user, and its
// "current\topics.ini" lists the user's topics and their folders. In list
// mode the topics found become rows without a pool; in register mode they
// fill the register `Gefundene` against which rows are checked before the
// user list is saved.
// A missing or unreadable topic list and a missing topic folder are
// reported (texts 2102, 2103) and the search goes on; a Speicherort that
// cannot be listed ends the search quietly.
// The recognizer writes the user folders and "topics.ini"; they are only
// read here, with others free to read and write them meanwhile.
#pragma once

#include <string>
#include <unordered_map>

#include "admin/verwaltung.h"

namespace admin {

enum class SuchModus { liste, register_ };

struct UserSuchen {
  // user + "|" + topic -> "current\" + folder; the first folder of a key stays.
  std::unordered_map<std::string, std::string, vk::SchluesselHash, vk::SchluesselGleich> gefundene;
};

UserSuchen& userSuchen();

// State: userSuchen() (writes).
void GefundeneLeeren();

// True when the register holds user + "|" + topic with exactly this folder.
// State: userSuchen() (reads).
bool GefundenPruefen(const std::string& user, const std::string& folder, const std::string& topic);

// Reads one user's topic list at `pfad`.
// State: userSuchen() (writes), verwaltung() (reads).
void TopicsLesen(SuchModus modus, const std::string& user, const std::string& pfad);

// Scans the Speicherort for users and their topics.
// State: verwaltung() (reads).
void BenutzerSuchen(SuchModus modus);

}  // namespace admin
