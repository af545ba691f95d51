// The rows of the word list editor without a window: the automatic spoken
// form, how a list file becomes rows, the notations, checking, removing,
// editing (LoeschListe) and searching.
#include "editor_baum.h"

namespace {

using Liste = EditorBaum;
using vk::Buchstabierform;

TEST(Buchstabierform, SpellsRunsOfCapitalsAndHyphenatedWords) {
  EXPECT_EQ(Buchstabierform("ABC"), "A. B. C. ");
  EXPECT_EQ(Buchstabierform("CT"), "C. T. ");
  EXPECT_EQ(Buchstabierform("DNS-Server"), "D. N. S. Server ");
  EXPECT_EQ(Buchstabierform("EDV-Anlage"), "E. D. V. Anlage ");
  EXPECT_EQ(Buchstabierform("R\xF6ntgen-Thorax"), "R\xF6ntgen Thorax ");
  for (const char* leer : {"Haus", "GmbH", "Magen Darm", "Dr. med. Meier", ""})
    EXPECT_EQ(Buchstabierform(leer), "") << leer;
  // Umlaut capitals count, lower-case umlauts do not; a blank separates.
  EXPECT_EQ(Buchstabierform("\xC4\xDC"), "\xC4. \xDC. ");
  EXPECT_EQ(Buchstabierform("AB CD"), "A. B. C. D. ");
  EXPECT_EQ(Buchstabierform("xAB"), "xA. B. ");
  EXPECT_EQ(Buchstabierform("HNO-Arzt 2"), "H. N. O. Arzt 2 ");
}

TEST_F(Liste, FileLinesBecomeRowsOnceWithAutomaticSpokenForm) {
  schreiben("ziel/Chirurgie/Wortliste.txt",
            "Arm\r\n\r\n   \r\n \t \r\nArm\r\nArm\\Ahrm\r\nCT\\\r\nPfad\\a\\b\r\n"
            "  Bein  \r\nEKG\nletzte");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  EXPECT_EQ(zeilen(),
            (std::vector<std::string>{"Arm||x", "Arm|Ahrm|x", "CT|C. T. |x", "Pfad|a\\b|x",
                                      "  Bein  ||x", "EKG|E. K. G. |x", "letzte||x"}));
  EXPECT_EQ(vk::editorZustand().Markierzaehler, 7);
  EXPECT_EQ(vk::editorZustand().gelesenLaenge, 67);
  EXPECT_EQ(vk::editorZustand().listenPfad, sys("ziel/") + "Chirurgie\\Wortliste.txt");
  EXPECT_EQ(vk::poolZustand().BenWorte.anzahl(), 0U);  // discarded after the build
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // A missing file is reported with " not found" and builds nothing.
  EXPECT_FALSE(bauen(neuworte("Fehlt.txt")));
  EXPECT_NE(meldungen().find("Fehlt.txt not found"), std::string::npos) << meldungen();
}

// Lines differing in case only are different words: both are shown, and
// a rewrite of the total list keeps both.
TEST_F(Liste, WordsDifferingInCaseAreTwoRows) {
  schreiben("ziel/Chirurgie/AlleWorte.txt", "Arm\r\narm\r\n\xC4rger\r\n\xE4rger\r\narm\r\n");
  ASSERT_TRUE(bauen(gesamt()));
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Arm||x", "arm||x", "\xC4rger||x", "\xE4rger||x"}));
  ASSERT_TRUE(vk::ListeSpeichern());
  EXPECT_EQ(lesen("ziel/Chirurgie/AlleWorte.txt"), "Arm\r\narm\r\n\xC4rger\r\n\xE4rger\r\n");
}

TEST_F(Liste, NotationsTrimAndDropBlankSpokenForms) {
  const vk::Eintrag e{" Arm ", "   ", true};
  EXPECT_EQ(vk::Dateinotation(e), "Arm");
  EXPECT_EQ(vk::Dateinotation({" OP ", " Oh Peh ", true}), "OP\\Oh Peh");
  EXPECT_EQ(vk::Normalform(" OP \\ Oh Peh "), "OP\\Oh Peh");
  EXPECT_EQ(vk::Normalform("Arm\\  "), "Arm");
  std::string g, s;
  vk::ZeileTeilen("a\\b\\c", g, s);
  EXPECT_EQ(g + "|" + s, "a|b\\c");
}

TEST_F(Liste, CheckUncheckRemoveKeepTheCount) {
  schreiben("ziel/Chirurgie/Wortliste.txt", "a\r\nb\r\nc\\Zeh\r\nd\r\ne\r\n");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  auto& z = vk::editorZustand();
  vk::Markieren({0, 1}, false);
  vk::Markieren({1}, false);  // unchecked already: no change
  EXPECT_EQ(z.Markierzaehler, 3);
  vk::Markieren({0}, true);
  EXPECT_EQ(z.Markierzaehler, 4);
  vk::HakenSetzen(4, false);
  EXPECT_EQ(z.Markierzaehler, 3);

  // Removing a checked row lowers the count, an unchecked one does not.
  vk::Entfernen({2, 1, 4});
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"a||x", "d||x"}));
  EXPECT_EQ(z.Markierzaehler, 2);
  const auto& loesch = *vk::poolZustand().LoeschListe;
  EXPECT_EQ(std::vector<std::string>(loesch.elemente().begin(), loesch.elemente().end()),
            (std::vector<std::string>{"e", "c\\Zeh", "b"}));
}

TEST_F(Liste, EditingRecordsTheOldEntryOnce) {
  schreiben("ziel/Chirurgie/Wortliste.txt", "Arm\\Ahrm \r\nBein\r\n");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  // Confirmed unchanged: nothing recorded.
  EXPECT_FALSE(vk::ZeileAendern(0, "Arm", "Ahrm "));
  EXPECT_FALSE(vk::poolZustand().LoeschListe.has_value());
  EXPECT_TRUE(vk::ZeileAendern(0, "Arm ", ""));
  EXPECT_TRUE(vk::ZeileAendern(0, "Arm", "Ahrm "));  // back again
  EXPECT_TRUE(vk::ZeileAendern(0, "Arme", "Ahrm"));
  const auto& e = vk::poolZustand().LoeschListe->elemente();
  EXPECT_EQ(std::vector<std::string>(e.begin(), e.end()),
            (std::vector<std::string>{"Arm\\Ahrm", "Arm "}));
  EXPECT_EQ(zeilen()[0], "Arme|Ahrm|x");  // the check box stays
}

TEST_F(Liste, SearchMatchesTheStartIgnoringCase) {
  schreiben("ziel/Chirurgie/Wortliste.txt",
            "Haben\r\nAbend\r\n\xC4rger\r\nabends\r\n\xE4u\xDF"
            "erst\r\n");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  EXPECT_EQ(vk::Suchen(" ab "), 1);
  EXPECT_EQ(vk::Suchen("ABENDS"), 3);
  EXPECT_EQ(vk::Suchen("\xE4r"), 2);  // ä finds Ärger
  EXPECT_EQ(vk::Suchen("\xC4U"), 4);
  EXPECT_EQ(vk::Suchen("ben"), -1);
  EXPECT_EQ(vk::Suchen("  "), -1);
}

TEST_F(Liste, MaintenanceListShowsOnlyLinesNotCompared) {
  schreiben("ziel/Chirurgie/AlleWorte.txt", "alt\r\nneu\\Noi\r\nalt\r\nABC\r\n");
  vk::poolZustand().Vergleichsworte.hinzufuegen("alt");
  vk::Listenauftrag a;
  a.dateiname = "AlleWorte.txt";
  a.wartung = true;
  ASSERT_TRUE(bauen(a));
  EXPECT_EQ(vk::editorZustand().art, vk::Listenart::Wartung);
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"neu|Noi|x", "ABC||x"}));
  EXPECT_EQ(vk::poolZustand().BenWorte.anzahl(), 3U);  // kept for the take-over
}

TEST(Listenart, FirstFlagThatAppliesWins) {
  vk::Listenauftrag a;
  EXPECT_EQ(vk::ListenartBestimmen(a), vk::Listenart::Neuworte);
  a.wartung = true;
  EXPECT_EQ(vk::ListenartBestimmen(a), vk::Listenart::Wartung);
  a.eigeneWorte = true;
  EXPECT_EQ(vk::ListenartBestimmen(a), vk::Listenart::Anwender);
  a.vollerPfad = true;
  EXPECT_EQ(vk::ListenartBestimmen(a), vk::Listenart::Import);
  a.Gesamt = true;
  EXPECT_EQ(vk::ListenartBestimmen(a), vk::Listenart::Gesamt);
}

}  // namespace
