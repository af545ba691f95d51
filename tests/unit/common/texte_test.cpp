// Language file lines, the language choice with its fall-backs, values in
// texts, and the shipped language files.
#include <map>
#include <regex>
#include <unordered_map>

#include "testbaum.h"

namespace {

using Texte = Testbaum;

TEST(SprachZeile, EntriesAndSkippedLines) {
  std::int32_t n = 0;
  std::string t;
  // A leading 0, shorter than 6, a comment, no tab, an empty text.
  for (const char* z : {"0100\tText", "12\tab", "; 1234\tKommentar", "123456", "1234\t   "})
    EXPECT_FALSE(vk::SprachZeileLesen(z, n, t)) << z;
  ASSERT_TRUE(vk::SprachZeileLesen("12345\t  Wort mit Blanks \tNotiz\tmehr", n, t));
  EXPECT_EQ(std::to_string(n) + "|" + t, "12345|Wort mit Blanks");
}

TEST_F(Texte, FirstEntryWinsPlaceholderAndValues) {
  schreiben("lng/Deutsch.LNG",
            "; Kopf\r\n1001\tDatei @ fehlt\r\n1001\tspaeter\r\n1002\tEnde @\r\n"
            "1003\t@ und @\r\n1004\tnichts\r\n1005\tZeile\\nzwei\r\n1006\tPool @\\nnochmal @");
  vk::SprachVerzeichnisSetzen(sys("lng"));
  vk::TextLaden("Deutsch");
  EXPECT_EQ(vk::Text(1001), "Datei @ fehlt");
  EXPECT_EQ(vk::TextMitWert(1002, "x") + vk::TextMitWert(1004, "x"), "Ende x nichts");
  EXPECT_EQ(vk::TextMitWert(4711, "wert"), "<?4711 wert?>");
  EXPECT_EQ(vk::TextMitWerten(1003, "a@b", "c"), "a@b und c");  // never inside the first
  vk::TextBasis(1000);
  EXPECT_EQ(vk::TextRelativMitWert(1, "f"), "Datei f fehlt");
  EXPECT_EQ(vk::Titel("Vokarium", vk::Text(1004)), "Vokarium (5.0) - nichts");
  // Line breaks of the text, never of a value put in for "@".
  vk::Meldung(vk::Text(1005));
  vk::Meldung(vk::TextMitWert(1001, "\\opt\\natspeak.exe"));
  vk::Nachfrage(vk::TextMitWerten(1006, "\\neu", "\\n"));
  EXPECT_EQ(meldungen(), "Zeile\rzwei\nDatei \\opt\\natspeak.exe fehlt\nPool \\neu\rnochmal \\n\n");
}

// Dutch asked: English, else German, else the Dutch file is reported
// missing and placeholders are shown. Another language is read again.
TEST_F(Texte, DefaultLanguageAndFallbackChain) {
  EXPECT_EQ(vk::SpracheFuerKennung(0x0413), "Nederlands");
  schreiben("lng/English.LNG", "2000\tenglish\r\n");
  schreiben("lng/Deutsch.LNG", "2000\tdeutsch\r\n");
  const auto laden = [&](const char* sprache) {
    vk::SprachVerzeichnisSetzen(sys("lng"));
    vk::TextLaden(sprache);
    return vk::Text(2000);
  };
  EXPECT_EQ(laden("Nederlands") + vk::texteZustand().sprache, "englishEnglish");
  EXPECT_EQ(laden("Deutsch"), "deutsch");
  std::filesystem::remove(wurzel_ / "lng/English.LNG");
  EXPECT_EQ(laden("Nederlands"), "deutsch");
  EXPECT_TRUE(vk::recordedMessages().empty());
  std::filesystem::remove(wurzel_ / "lng/Deutsch.LNG");
  EXPECT_EQ(laden("Nederlands"), "<?2000 @?>");
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_NE(meldungen().find("language-file " + sys("lng/Nederlands.LNG") + " not found"),
            std::string::npos)
      << meldungen();
}

// Text numbers asked for by a number literal in a call (a relative call adds
// the last TextBasis before it) or named "inline constexpr int kName = N;".
std::map<std::int32_t, std::string> verwendeteNummern() {
  static const std::regex aufruf(
      R"((?:^|[^\w])(TextBasis|TextRelativMitWert|TextRelativ|TextMitWerten|TextMitWert|Text)\( *(\d{1,9}) *[,)])");
  static const std::regex name(R"(inline constexpr int k\w+ =\s*(\d+);)");
  std::map<std::int32_t, std::string> nummern;
  for (const char* ordner : {"common", "main", "maint", "helper", "admin"}) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(
             std::filesystem::path(VK_SOURCE_DIR) / ordner)) {
      if (e.path().extension() != ".cpp" && e.path().extension() != ".h") continue;
      const std::string quelle = vktest::lesen(e.path());
      const std::string datei = e.path().filename().string();
      if (quelle.find("namespace txt") != std::string::npos ||
          quelle.find("::txt {") != std::string::npos) {
        for (std::sregex_iterator m(quelle.begin(), quelle.end(), name), ende; m != ende; ++m)
          nummern.emplace(std::stoi((*m)[1].str()), datei);
      }
      std::int32_t basis = 0;
      for (std::sregex_iterator m(quelle.begin(), quelle.end(), aufruf), ende; m != ende; ++m) {
        const int zahl = std::stoi((*m)[2].str());
        if ((*m)[1] == "TextBasis") {
          basis = zahl;
        } else {
          nummern.emplace((*m)[1].str().starts_with("TextRelativ") ? basis + zahl : zahl, datei);
        }
      }
    }
  }
  return nummern;
}

// Both files hold the same numbers and every number asked for, in CR LF and
// cp1252 (an umlaut is never a UTF-8 sequence).
TEST_F(Texte, ShippedFilesSameNumbersEveryUsedNumberCp1252CrLf) {
  std::map<std::string, std::unordered_map<std::int32_t, std::string>> tabellen;
  for (const char* sprache : {"English", "Deutsch"}) {
    vk::TextLaden(sprache);
    tabellen[sprache] = vk::texteZustand().tabelle;
    const std::string roh = vktest::lesen(std::string(VK_SOURCE_DIR) + "/lang/" + sprache + ".LNG");
    EXPECT_FALSE(std::regex_search(roh, std::regex("(^|[^\r])\n"))) << sprache << ": LF without CR";
    EXPECT_EQ(roh.find('\xC3'), std::string::npos) << sprache;
  }
  EXPECT_GT(tabellen["Deutsch"].size(), 100U);
  for (const auto& [n, t] : tabellen["Deutsch"])
    EXPECT_TRUE(tabellen["English"].count(n)) << n << " only in Deutsch.LNG";
  for (const auto& [n, t] : tabellen["English"])
    EXPECT_TRUE(tabellen["Deutsch"].count(n)) << n << " only in English.LNG";
  for (const auto& [n, datei] : verwendeteNummern())
    EXPECT_TRUE(tabellen["Deutsch"].count(n)) << "text " << n << " (asked for in " << datei << ")";
}

}  // namespace
