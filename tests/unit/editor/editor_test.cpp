// The rows of the word list editor without a window: the automatic spoken
// form, how a list file becomes rows, the notations, checking, removing,
// editing (LoeschListe) and searching.
#include "common/wortpruefung.h"
#include "editor_baum.h"
#include "platform/shared_file.h"

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

  // A missing file is reported with its cause and builds nothing.
  EXPECT_FALSE(bauen(neuworte("Fehlt.txt")));
  EXPECT_NE(meldungen().find("Fehlt.txt :\r" + vk::Text(2588)), std::string::npos) << meldungen();
}

// A word file that is there but cannot be read says why, in the user's
// language (no permission cannot be made for a test run as root).
TEST_F(Liste, AnUnreadableListFileNamesItsCause) {
  schreiben("ziel/Chirurgie/echt.txt", "Arm\r\n");
  std::filesystem::create_directories(wurzel_ / "ziel/Chirurgie/Ordner.txt");
  std::filesystem::create_symlink(wurzel_ / "ziel/Chirurgie/echt.txt",
                                  wurzel_ / "ziel/Chirurgie/Link.txt");
  schreiben("ziel/Chirurgie/Belegt.txt", "Arm\r\n");
  plat::SharedFile andere;
  ASSERT_EQ(andere.open(sys("ziel/Chirurgie/Belegt.txt"), plat::Access::readWrite,
                        plat::Share::exclusive, plat::Disposition::openExisting),
            plat::Err::ok);
  for (const auto& [datei, text] :
       {std::pair{"Ordner.txt", 2585}, {"Link.txt", 2586}, {"Belegt.txt", 2584}}) {
    SCOPED_TRACE(datei);
    vk::clearRecordedMessages();
    EXPECT_FALSE(bauen(neuworte(datei)));
    ASSERT_EQ(vk::recordedMessages().size(), 1U);
    const std::string& m = vk::recordedMessages()[0].text;
    EXPECT_NE(m.find(datei + std::string(" :\r") + vk::Text(text)), std::string::npos) << m;
    EXPECT_EQ(m.find("not found"), std::string::npos) << m;
  }
  vk::TextLaden("English");
  vk::clearRecordedMessages();
  EXPECT_FALSE(bauen(neuworte("Ordner.txt")));
  EXPECT_NE(meldungen().find("not a regular file"), std::string::npos) << meldungen();
}

// What enters the pool is a word: a lone CR ends a line, and lines with a
// control character or a form longer than the recognizer takes get no row;
// the user is told how many and which, and the other lines stay.
TEST_F(Liste, LinesThatAreNoWordsAreRefusedAndReported) {
  const std::string lang(vk::kMaxWortform + 1, 'x');
  const std::string grenze(vk::kMaxWortform, 'y');
  schreiben("ziel/Chirurgie/Wortliste.txt", std::string("Alpha\rBeta\rGamma\r\nNUL\0Byte\r\n", 28) +
                                                lang + "\r\nTab\tWort\r\n" + grenze + "\\" +
                                                grenze + "\r\nDelta\\" + lang + "\r\nEnde");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Alpha||x", "Beta||x", "Gamma||x",
                                                grenze + "|" + grenze + "|x", "Ende||x"}));
  EXPECT_EQ(meldungen(),
            vk::WertEinsetzen(vk::TextMitWerten(2589, "4", sys("ziel/Chirurgie/Wortliste.txt")),
                              "4, 5, 6, 8") +
                "\n");

  // More than five: the first five and "...".
  std::string viele;
  for (int i = 0; i < 7; ++i)
    viele += "a\x01\r\n";
  schreiben("ziel/Chirurgie/Wortliste.txt", viele);
  vk::clearRecordedMessages();
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  EXPECT_NE(meldungen().find("1, 2, 3, 4, 5, ..."), std::string::npos) << meldungen();

  // An edit that would make a row no word is refused.
  schreiben("ziel/Chirurgie/Wortliste.txt", "Arm\r\n");
  ASSERT_TRUE(bauen(neuworte("Wortliste.txt")));
  vk::clearRecordedMessages();
  EXPECT_FALSE(vk::ZeileAendern(0, "Arm\tBein", ""));
  EXPECT_FALSE(vk::ZeileAendern(0, "Arm", lang));
  EXPECT_EQ(vk::recordedMessages().size(), 2U);
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Arm||x"}));
  EXPECT_FALSE(vk::poolZustand().LoeschListe.has_value());
}

// An import written as UTF-8, with or without byte-order mark, shows its
// umlauts; a character cp1252 lacks refuses its line. A cp1252 file stays.
TEST_F(Liste, ImportReadsUtf8AndCp1252) {
  for (const auto& [name, inhalt, gewandelt] :
       {std::tuple{"bom",
                   "\xEF\xBB\xBFR\xC3\xB6ntgen\r\nPreis \xE2\x82\xAC\r\nPfeil "
                   "\xE2\x86\x92\r\nStra\xC3\x9F"
                   "e",
                   true},
        {"ohne",
         "R\xC3\xB6ntgen\nPreis \xE2\x82\xAC\nPfeil \xE2\x86\x92\nStra\xC3\x9F"
         "e",
         true},
        {"ansi",
         "R\xF6ntgen\r\nPreis \x80\r\nStra\xDF"
         "e\r\n",
         false}}) {
    SCOPED_TRACE(name);
    const std::string datei = std::string("import/") + name + ".txt";
    schreiben(datei, inhalt);
    vk::clearRecordedMessages();
    vk::Listenauftrag a;
    a.dateiname = sys(datei);
    a.vollerPfad = true;
    ASSERT_TRUE(bauen(a));
    EXPECT_EQ(zeilen(), (std::vector<std::string>{"R\xF6ntgen||x", "Preis \x80||x",
                                                  "Stra\xDF"
                                                  "e||x"}));
    EXPECT_EQ(vk::recordedMessages().size(), gewandelt ? 1U : 0U) << meldungen();
    if (gewandelt) {
      EXPECT_NE(meldungen().find("Zeilen: 3"), std::string::npos) << meldungen();
    }
  }
}

// A UTF-8 list cut in the middle of its last character (a truncated copy)
// is still UTF-8: its umlauts stay, and only the cut line is refused.
TEST_F(Liste, ImportCutInTheMiddleOfACharacterStaysUtf8) {
  schreiben("import/abgeschnitten.txt", vktest::probe("wortliste_utf8_abgeschnitten.txt"));
  vk::Listenauftrag a;
  a.dateiname = sys("import/abgeschnitten.txt");
  a.vollerPfad = true;
  ASSERT_TRUE(bauen(a));
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"R\xF6ntgen||x",
                                                "Stra\xDF"
                                                "e||x",
                                                "Fu\xDFg\xE4nger||x"}));
  ASSERT_EQ(vk::recordedMessages().size(), 1U) << meldungen();
  EXPECT_NE(meldungen().find("Zeilen: 4"), std::string::npos) << meldungen();
}

// Where UTF-8 ends: a cut-off last character counts only when completing
// it could give a valid character, only at the very end and only beside
// another character above ASCII; cp1252 bytes that happen to form a valid
// pair do not make the rest of a cp1252 file UTF-8.
TEST(Utf8Erkennung, CutTailBomAndCp1252) {
  const struct {
    const char* name;
    std::string_view inhalt;
    bool utf8;
  } faelle[] = {
      {"zwei Bytes, eines da", "R\xC3\xB6ntgen\r\nGr\xC3", true},
      {"drei Bytes, eines da", "\xC3\xA4\r\n\xE2", true},
      {"drei Bytes, zwei da", "\xC3\xA4\r\n\xE2\x82", true},
      {"vier Bytes, drei da", "\xC3\xA4 \xF0\x9F\x98", true},
      {"Anfang eines Surrogats", "\xC3\xA4 \xED\xA0", false},
      {"Anfang einer ueberlangen Form", "\xC3\xA4 \xE0\x80", false},
      {"jenseits U+10FFFF", "\xC3\xA4 \xF4\x90", false},
      {"abgeschnitten vor dem Zeilenende", "\xC3\xA4\r\nGr\xC3\r\n", false},
      {"cp1252 mit sz am Ende", "Arm\r\nFu\xDF", false},
      {"cp1252 mit gueltigem Paar", "\xC3\xA4 \xE4rger", false},
      {"nur ASCII", "Arm\r\nBein", false},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    std::string_view sicht = f.inhalt;
    EXPECT_EQ(vk::Utf8Erkennen(sicht), f.utf8);
    EXPECT_EQ(sicht, f.inhalt);
  }
  std::string_view mitBom =
      "\xEF\xBB\xBF"
      "Arm";
  EXPECT_TRUE(vk::Utf8Erkennen(mitBom));
  EXPECT_EQ(mitBom, "Arm");
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

}  // namespace
