// A pool tree per test with the editor's state reset, the trigger folder in
// place and no pause between two attempts of a take-over.
#pragma once

#include "main/editor/wortliste.h"
#include "testbaum.h"

class EditorBaum : public Testbaum {
 protected:
  void SetUp() override {
    Testbaum::SetUp();
    vk::editorZustandZuruecksetzen();
    vk::editorZustand().pauseMs = 0;
    vk::editorZustand().versucheGesamtliste = 3;
    vk::editorZustand().versucheNeuWorte = 3;
    std::filesystem::create_directories(wurzel_ / "ziel/Trigger");
    vk::konfiguration().mitTrigger = true;
  }

  // Builds the list of `auftrag` as the window does; false when it failed.
  static bool bauen(const vk::Listenauftrag& auftrag) {
    vk::editorZustand().auftrag = auftrag;
    vk::ListeVorbereiten();
    return vk::ListeErstellen();
  }
  // The list of a pool file, the total list, the maintenance list, an import.
  static vk::Listenauftrag liste(const std::string& datei) { return {.dateiname = datei}; }
  static vk::Listenauftrag gesamt() { return {.dateiname = "AlleWorte.txt", .Gesamt = true}; }
  static vk::Listenauftrag wartung() { return {.dateiname = "AlleWorte.txt", .wartung = true}; }
  vk::Listenauftrag import(const std::string& rel) const {
    return {.dateiname = sys(rel), .vollerPfad = true};
  }

  // The rows as "written|spoken|x" (x = checked), in order.
  static std::vector<std::string> zeilen() {
    std::vector<std::string> r;
    for (const auto& e : vk::editorZustand().zeilen)
      r.push_back(e.geschrieben + "|" + e.gesprochen + (e.angehakt ? "|x" : "|"));
    return r;
  }
  // Position of the row with this written form.
  static std::size_t zeileVon(const std::string& geschrieben) {
    const auto& z = vk::editorZustand().zeilen;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i].geschrieben == geschrieben) return i;
    }
    ADD_FAILURE() << "no row " << geschrieben;
    return 0;
  }
  bool triggerDa() const { return gibtEs("ziel/Trigger/POOL-Chirurgie.trg"); }
};
