// The word list editor's rows without a window: the automatic spoken form,
// list files as rows, checking, removing and editing (LoeschListe).
#include "common/wortpruefung.h"
#include "editor_baum.h"
#include "platform/shared_file.h"

namespace {

using Liste = EditorBaum;
using vk::Buchstabierform;

// Runs of capitals are spelled, lower-case umlauts and single capitals not.
TEST(Buchstabierform, SpellsRunsOfCapitalsAndHyphenatedWords) {
  const std::pair<const char*, const char*> faelle[] = {{"ABC", "A. B. C. "},
                                                        {"DNS-Server", "D. N. S. Server "},
                                                        {"R\xF6ntgen-Thorax", "R\xF6ntgen Thorax "},
                                                        {"\xC4\xDC", "\xC4. \xDC. "},
                                                        {"AB CD", "A. B. C. D. "},
                                                        {"xAB", "xA. B. "},
                                                        {"HNO-Arzt 2", "H. N. O. Arzt 2 "},
                                                        {"Haus", ""},
                                                        {"GmbH", ""},
                                                        {"Dr. med. Meier", ""},
                                                        {"", ""}};
  for (const auto& [wort, form] : faelle)
    EXPECT_EQ(Buchstabierform(wort), form) << wort;
}

TEST_F(Liste, FileLinesBecomeRowsOnceWithAutomaticSpokenForm) {
  schreiben("ziel/Chirurgie/Wortliste.txt",
            "Arm\r\n\r\n   \r\n \t \r\nArm\r\nArm\\Ahrm\r\nCT\\\r\nPfad\\a\\b\r\n"
            "  Bein  \r\nEKG\nletzte");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  EXPECT_EQ(zeilen(),
            (std::vector<std::string>{"Arm||x", "Arm|Ahrm|x", "CT|C. T. |x", "Pfad|a\\b|x",
                                      "  Bein  ||x", "EKG|E. K. G. |x", "letzte||x"}));
  EXPECT_EQ(vk::editorZustand().Markierzaehler, 7);
  EXPECT_EQ(vk::editorZustand().gelesenLaenge, 67);
  EXPECT_EQ(vk::editorZustand().listenPfad, sys("ziel/") + "Chirurgie\\Wortliste.txt");
  EXPECT_EQ(vk::poolZustand().BenWorte.anzahl(), 0U);  // discarded after the build
  EXPECT_TRUE(vk::recordedMessages().empty()) << meldungen();

  // Lines differing in case only are different words, kept by a rewrite.
  schreiben("ziel/Chirurgie/AlleWorte.txt", "Arm\r\narm\r\n\304rger\r\n\344rger\r\narm\r\n");
  ASSERT_TRUE(bauen(gesamt()));
  ASSERT_TRUE(vk::ListeSpeichern());
  EXPECT_EQ(lesen("ziel/Chirurgie/AlleWorte.txt"), "Arm\r\narm\r\n\304rger\r\n\344rger\r\n");
}

// A word file that is missing or cannot be read says why, builds nothing.
TEST_F(Liste, AnUnreadableListFileNamesItsCause) {
  schreiben("ziel/Chirurgie/echt.txt", "Arm\r\n");
  std::filesystem::create_directories(wurzel_ / "ziel/Chirurgie/Ordner.txt");
  std::filesystem::create_symlink(wurzel_ / "ziel/Chirurgie/echt.txt",
                                  wurzel_ / "ziel/Chirurgie/Link.txt");
  schreiben("ziel/Chirurgie/Belegt.txt", "Arm\r\n");
  plat::SharedFile andere;
  ASSERT_EQ(halten(andere, "ziel/Chirurgie/Belegt.txt"), plat::Err::ok);
  for (const auto& [datei, text] : {std::pair{"Fehlt.txt", 2588},
                                    {"Ordner.txt", 2585},
                                    {"Link.txt", 2586},
                                    {"Belegt.txt", 2584}}) {
    SCOPED_TRACE(datei);
    vk::clearRecordedMessages();
    EXPECT_FALSE(bauen(liste(datei)));
    ASSERT_EQ(vk::recordedMessages().size(), 1U);
    const std::string& m = vk::recordedMessages()[0].text;
    EXPECT_NE(m.find(datei + std::string(" :\r") + vk::Text(text)), std::string::npos) << m;
    EXPECT_EQ(m.find("not found"), std::string::npos) << m;
  }
}

// A lone CR ends a line; lines with a control character or a form longer
// than the recognizer takes get no row, and the user is told which.
TEST_F(Liste, LinesThatAreNoWordsAreRefusedAndReported) {
  const std::string lang(vk::kMaxWortform + 1, 'x');
  const std::string grenze(vk::kMaxWortform, 'y');
  schreiben("ziel/Chirurgie/Wortliste.txt", std::string("Alpha\rBeta\rGamma\r\nNUL\0Byte\r\n", 28) +
                                                lang + "\r\nTab\tWort\r\n" + grenze + "\\" +
                                                grenze + "\r\nDelta\\" + lang + "\r\nEnde");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Alpha||x", "Beta||x", "Gamma||x",
                                                grenze + "|" + grenze + "|x", "Ende||x"}));
  EXPECT_EQ(meldungen(),
            vk::WertEinsetzen(vk::TextMitWerten(2589, "4", sys("ziel/Chirurgie/Wortliste.txt")),
                              "4, 5, 6, 8") +
                "\n");

  // An edit that would make a row no word is refused.
  schreiben("ziel/Chirurgie/Wortliste.txt", "Arm\r\n");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
  vk::clearRecordedMessages();
  EXPECT_FALSE(vk::ZeileAendern(0, "Arm\tBein", ""));
  EXPECT_FALSE(vk::ZeileAendern(0, "Arm", lang));
  EXPECT_EQ(vk::recordedMessages().size(), 2U);
  EXPECT_EQ(zeilen(), (std::vector<std::string>{"Arm||x"}));
  EXPECT_FALSE(vk::poolZustand().LoeschListe.has_value());
}

// A UTF-8 import (with or without BOM, or cut inside its last character)
// shows its umlauts; a character cp1252 lacks refuses its line.
TEST_F(Liste, ImportReadsUtf8AndCp1252) {
  const std::vector<std::string> drei{"R\xF6ntgen||x", "Preis \x80||x", "Stra\337e||x"};
  const struct {
    const char* name;
    std::string inhalt;
    std::vector<std::string> zeilen;
    const char* meldung;  // part of the one message, nullptr: none
  } faelle[] = {
      {"bom",
       "\xEF\xBB\xBFR\xC3\xB6ntgen\r\nPreis \xE2\x82\xAC\r\nPfeil \xE2\x86\x92\r\nStra\303\237e",
       drei, "Zeilen: 3"},
      {"ohne", "R\xC3\xB6ntgen\nPreis \xE2\x82\xAC\nPfeil \xE2\x86\x92\nStra\303\237e", drei,
       "Zeilen: 3"},
      {"ansi", "R\xF6ntgen\r\nPreis \x80\r\nStra\337e\r\n", drei, nullptr},
      {"abgeschnitten",
       vktest::probe("wortliste_utf8_abgeschnitten.txt"),
       {"R\xF6ntgen||x", "Stra\337e||x", "Fu\xDFg\xE4nger||x"},
       "Zeilen: 4"},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    const std::string datei = std::string("import/") + f.name + ".txt";
    schreiben(datei, f.inhalt);
    vk::clearRecordedMessages();
    ASSERT_TRUE(bauen(import(datei)));
    EXPECT_EQ(zeilen(), f.zeilen);
    ASSERT_EQ(vk::recordedMessages().size(), f.meldung ? 1U : 0U) << meldungen();
    if (f.meldung) {
      EXPECT_NE(meldungen().find(f.meldung), std::string::npos) << meldungen();
    }
  }
}

// A cut-off last character counts as UTF-8 only when completing it could
// give a valid character, at the very end, beside another one above ASCII.
TEST(Utf8Erkennung, CutTailBomAndCp1252) {
  const std::tuple<const char*, std::string_view, bool> faelle[] = {
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
  for (const auto& [name, inhalt, utf8] : faelle) {
    std::string_view sicht = inhalt;
    EXPECT_EQ(vk::Utf8Erkennen(sicht), utf8) << name;
    EXPECT_EQ(sicht, inhalt) << name;
  }
}

TEST_F(Liste, CheckRemoveAndEditKeepTheCountAndTheOldEntries) {
  schreiben("ziel/Chirurgie/Wortliste.txt", "a\r\nb\r\nc\\Zeh\r\nd\r\ne\r\n");
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
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

  // An edit records the old entry once; confirmed unchanged, nothing.
  schreiben("ziel/Chirurgie/Wortliste.txt", "Arm\\Ahrm \r\nBein\r\n");
  vk::LoeschListeVerwerfen();
  ASSERT_TRUE(bauen(liste("Wortliste.txt")));
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

}  // namespace
