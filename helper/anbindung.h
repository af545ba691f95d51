// vkHelfer's links to the client common library and the recognizer
// access: traces, texts, messages, the settings read at start, the
// single-instance lock, and the real services of HelferDienste. Kept in
// one place so the procedures of helfer.cpp read like the sequence they
// implement.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "helper/helfer.h"
#include "platform/error.h"

namespace helfer {

// One trace line: a label and its values.
void Tr(std::initializer_list<std::string_view> werte);

std::string Tx(int nummer);
std::string TxW(int nummer, const std::string& wert);
std::string TxWW(int nummer, const std::string& wert1, const std::string& wert2);

void Melde(const std::string& text);
// Retry/Cancel question: true for Retry.
bool Nachfragen(const std::string& text);
// Error report with the error's number and description and a context text.
void FehlerMelden(plat::Err fehler, const std::string& kontext);

// The per-user single-instance lock, held until the program ends; the
// system releases it with the process, so a helper that died never blocks
// the next one. false: another copy of the helper holds it.
// State: the single-start lock (reads and writes).
bool EinzelstartSichern();
// State: the single-start lock (writes).
void EinzelstartFreigeben();
// Writes user and pool into the held lock, for a second copy to name them.
// State: the single-start lock (reads).
void EinzelstartBeschriften(const std::string& user, const std::string& pool);
// User and pool the copy holding the lock runs for; false when it did not
// write them (yet).
bool EinzelstartInhaber(std::string& user, std::string& pool);

// Trace start, language texts, registry settings ("DragonStartDauer") and
// the program directory.
void StartEinstellungenLesen(HelferZustand& z);

// Finds the configuration directory ("LastDirectory", else the
// recognizer's users' folder + "Vokarium\", nothing written back) and reads
// the client configuration from it. false: no directory.
// State: Dienste() (reads), konfiguration() (writes).
bool KonfigurationFinden(std::string& verzeichnis);

// The topic of the first user-list entry with this pool and user.
// State: poolZustand() (reads).
bool ThemaAusBenutzerliste(const std::string& pool, const std::string& user, std::string& thema);

// Stores pool and user as the last choice.
void LetzteAuswahlMerken(const std::string& pool, const std::string& user);

// Title of the main window.
std::string ProgrammTitel();

// Starts a program visibly, not waiting.
bool ProgrammStarten(const std::string& programm, const std::string& argumente);

// Fills HelferDienste with the recognizer access (the helper's windows are
// filled by the windows themselves).
// State: Dienste() (writes); the services set touch Dragon(), Voctools(), DnsIni() and the kept
// event receiver.
void EchteDiensteSetzen();

}  // namespace helfer
