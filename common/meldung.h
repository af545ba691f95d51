// The one way the clients talk to the user in boxes: the standard message
// box (Meldung), the error report (Fehlermeldung), the Retry/Cancel question
// (Nachfrage) and the open-file / folder dialogs. Texts are cp1252.
// Tests (and programs without a screen) switch on the responder: nothing is
// shown, every message is recorded and answered with the answer queued by
// setNextAnswer / setNextFileName (default: Cancel, no file). Without a
// QApplication the responder is always used, so no caller ever blocks.
// Every error report is also traced. This part is free of Qt: the boxes and
// dialogs themselves are the window part's (common/meldung_qt.cpp), handed
// over through `Bildschirm`. State: the responder record of this module and
// the installed screen.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

class QWidget;

namespace vk {

// Shows `text` as it is ("\r" is a line break; language texts come with
// theirs resolved) with OK only, titled Titel("Vokarium", text 106),
// without an icon.
// State: the responder record (reads and writes), the installed screen (reads).
void Meldung(std::string_view text);

// Error report: text 105 + number (with one leading blank, empty when
// <= 0) + " " + kontext + " :" + line break + beschreibung; traced as
// "WINerror " + number + " " + kontext + " " + beschreibung. Same box and
// title as Meldung, with the error icon.
// State: the responder record (reads and writes), the installed screen (reads).
void Fehlermeldung(long nummer, std::string_view beschreibung, std::string_view kontext);
// The reader's text of an OS layer error: for a refusal what is under the
// name (a folder, no regular file, a link: texts 180-182) or no permission
// (183), for a file held by another program text 2584, else the OS layer's
// German text.
std::string FehlerGrund(plat::Err fehler);
// The same for an error of the OS layer: its number and FehlerGrund.
void Fehlermeldung(plat::Err fehler, std::string_view kontext);

// Question with Retry and Cancel (Cancel preselected), with the question
// icon: true for Retry.
// State: the responder record (reads and writes), the installed screen (reads).
bool Nachfrage(std::string_view text);

// Question with Yes and No (No preselected), with the question icon: true
// for Yes. Answered in tests like Nachfrage.
// State: the responder record (reads and writes), the installed screen (reads).
bool Frage(std::string_view text);

// Open-file dialog (window part); `filter` in the form "Textdateien (*.txt)|*.txt|...".
// Returns the chosen path (system form) or "" when cancelled. Both dialogs
// open in `startOrdner`, or in the user's home folder when that is empty or
// no folder.
std::string DateiOeffnen(QWidget* eltern, std::string_view titel, std::string_view startOrdner,
                         std::string_view filter);

// Folder dialog; the chosen folder (system form, ends with "\") or "".
std::string OrdnerWaehlen(QWidget* eltern, std::string_view titel, std::string_view startOrdner);

// --- responder ---------------------------------------------------------

enum class MeldungsArt { meldung, nachfrage, dateiDialog, ordnerDialog };

// The icon a box shows: none for a plain message, the error icon for the
// error report, the question icon for a question.
enum class MeldungsSymbol { keins, fehler, frage };

struct AufgezeichneteMeldung {
  MeldungsArt art = MeldungsArt::meldung;
  std::string titel;
  std::string text;  // as shown (line breaks as "\r"); a dialog's start folder
  MeldungsSymbol symbol = MeldungsSymbol::keins;
};

// Every box is placed centred on this window: the active window, else the
// program's visible main window; null when there is none.
QWidget* meldungsBesitzer();

// --- the screen --------------------------------------------------------

// What the window part shows for the Qt-free part: installed once at program
// start (`bildschirmSetzen`). `bereit` tells whether a widget application
// exists now; without it (or with none installed) every box is recorded and
// answered as by the responder.
struct Bildschirm {
  bool (*bereit)() = nullptr;
  void (*zeigen)(std::string_view titel, std::string_view text, MeldungsSymbol symbol) = nullptr;
  // Yes/No when `jaNein`, else Retry/Cancel; true for Yes or Retry.
  bool (*fragen)(std::string_view titel, std::string_view text, bool jaNein) = nullptr;
  void (*ereignisse)() = nullptr;  // lets pending window events run
};
// State: the installed screen (writes).
void bildschirmSetzen(const Bildschirm& bildschirm);

// True when boxes are answered without a screen: responder on, or no widget
// application to show them.
// State: the responder record, the installed screen (reads).
bool ohneBildschirm();

// A file or folder dialog without a screen: recorded with the folder it
// opens in as its text, answered with the next queued file name ("" when
// none).
// State: the responder record (reads and writes).
std::string dialogAufzeichnen(MeldungsArt art, std::string_view titel, std::string_view ordner);

// Switches the responder on: nothing is shown any more.
// State: the responder record (writes).
void responderEinschalten();

// Answer to the next question (true = Retry/OK); queued in order. Without a
// queued answer a question is answered with Cancel.
// State: the responder record (writes).
void setNextAnswer(bool ja);

// While set, decides every question instead of the queue (tests that act
// while a question is open).
// State: the responder record (writes).
void setAnswerFunction(std::function<bool(const AufgezeichneteMeldung&)> antwort);

// Called with every message as it is recorded, before it is answered:
// tests look at the windows at the moment the message would be up.
// State: the responder record (writes).
void setBeimAufzeichnen(std::function<void(const AufgezeichneteMeldung&)> beobachter);

// Path returned by the next file or folder dialog ("" = cancelled).
// State: the responder record (writes).
void setNextFileName(std::string_view pfad);

// State: the responder record (reads).
const std::vector<AufgezeichneteMeldung>& recordedMessages();
// State: the responder record (writes).
void clearRecordedMessages();

// Responder off, queues and records empty (tests).
void meldungZuruecksetzen();

}  // namespace vk
