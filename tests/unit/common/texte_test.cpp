// Language file lines, the language choice with its fall-backs, values in
// texts, and the shipped language files: every text number the client
// sources ask for is in both files, and both files hold the same numbers.
#include <cctype>
#include <fstream>
#include <map>
#include <regex>

#include "testbaum.h"

namespace {

using Texte = Testbaum;

TEST(SprachZeile, EntriesAndSkippedLines) {
  std::int32_t n = 0;
  std::string t;
  EXPECT_FALSE(vk::SprachZeileLesen("0100\tText", n, t));
  EXPECT_FALSE(vk::SprachZeileLesen("12\tab", n, t));  // shorter than 6
  EXPECT_FALSE(vk::SprachZeileLesen("; 1234\tKommentar", n, t));
  EXPECT_FALSE(vk::SprachZeileLesen("123456", n, t));     // no tab
  EXPECT_FALSE(vk::SprachZeileLesen("1234\t   ", n, t));  // empty text
  ASSERT_TRUE(vk::SprachZeileLesen("12345\t  Wort mit Blanks \tNotiz\tmehr", n, t));
  EXPECT_EQ(n, 12345);
  EXPECT_EQ(t, "Wort mit Blanks");
}

TEST_F(Texte, FirstEntryWinsPlaceholderAndValues) {
  schreiben("lng/Deutsch.LNG",
            "; Kopf\r\n1001\tDatei @ fehlt\r\n1001\tspaeter\r\n1002\tEnde @\r\n"
            "1003\t@ und @\r\n1004\tnichts\r\n1005\tZeile\\nzwei\r\n1006\tPool @\\nnochmal @");
  vk::SprachVerzeichnisSetzen(sys("lng"));
  vk::TextLaden("Deutsch");
  EXPECT_EQ(vk::Text(1001), "Datei @ fehlt");
  EXPECT_EQ(vk::TextMitWert(1001, "a.txt"), "Datei a.txt fehlt");
  EXPECT_EQ(vk::TextMitWert(1002, "x"), "Ende x ");
  EXPECT_EQ(vk::TextMitWert(1004, "x"), "nichts");
  EXPECT_EQ(vk::Text(4711), "<?4711 @?>");
  EXPECT_EQ(vk::TextMitWert(4711, "wert"), "<?4711 wert?>");
  // The second value never lands inside the first.
  EXPECT_EQ(vk::TextMitWerten(1003, "a@b", "c"), "a@b und c");
  vk::TextBasis(1000);
  EXPECT_EQ(vk::TextRelativ(2), "Ende @");
  EXPECT_EQ(vk::TextRelativMitWert(1, "f"), "Datei f fehlt");
  EXPECT_EQ(vk::Titel("Vokarium", vk::Text(1004)), "Vokarium (5.0) - nichts");
  EXPECT_EQ(vk::Titel("vkPflege", ""), "vkPflege (5.0)");

  // Line breaks of the text, never of a value put in for "@".
  vk::Meldung(vk::Text(1005));
  vk::Meldung(vk::TextMitWert(1001, "\\opt\\natspeak.exe"));
  vk::Nachfrage(vk::TextMitWerten(1006, "\\neu", "\\n"));
  ASSERT_EQ(vk::recordedMessages().size(), 3U);
  EXPECT_EQ(vk::recordedMessages()[0].text, "Zeile\rzwei");
  EXPECT_EQ(vk::recordedMessages()[1].text, "Datei \\opt\\natspeak.exe fehlt");
  EXPECT_EQ(vk::recordedMessages()[2].text, "Pool \\neu\rnochmal \\n");
}

TEST_F(Texte, DefaultLanguageAndFallbackChain) {
  EXPECT_EQ(vk::SpracheFuerKennung(0x0413), "Nederlands");

  // Dutch asked, English present: English.
  schreiben("lng/English.LNG", "2000\tenglish\r\n");
  schreiben("lng/Deutsch.LNG", "2000\tdeutsch\r\n");
  vk::SprachVerzeichnisSetzen(sys("lng"));
  vk::TextLaden("Nederlands");
  EXPECT_EQ(vk::Text(2000), "english");
  EXPECT_EQ(vk::texteZustand().sprache, "English");
  // The same language again is not read again; another one is.
  vk::TextLaden("Deutsch");
  EXPECT_EQ(vk::Text(2000), "deutsch");

  // Only German: German.
  std::filesystem::remove(wurzel_ / "lng/English.LNG");
  vk::SprachVerzeichnisSetzen(sys("lng"));
  vk::TextLaden("Nederlands");
  EXPECT_EQ(vk::Text(2000), "deutsch");
  EXPECT_TRUE(vk::recordedMessages().empty());

  // None of the three: the Dutch file is reported missing, placeholders.
  std::filesystem::remove(wurzel_ / "lng/Deutsch.LNG");
  vk::SprachVerzeichnisSetzen(sys("lng"));
  vk::TextLaden("Nederlands");
  EXPECT_EQ(vk::Text(2000), "<?2000 @?>");
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_NE(meldungen().find("language-file " + sys("lng/Nederlands.LNG") + " not found"),
            std::string::npos)
      << meldungen();
}

// --- the shipped language files -------------------------------------------

std::map<std::int32_t, std::string> sprachdatei(const std::string& name, std::string* roh) {
  std::ifstream f(std::string(VK_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
  *roh = std::string(std::istreambuf_iterator<char>(f), {});
  std::map<std::int32_t, std::string> texte;
  std::size_t pos = 0;
  while (pos < roh->size()) {
    auto ende = roh->find('\n', pos);
    if (ende == std::string::npos) ende = roh->size();
    std::string zeile = roh->substr(pos, ende - pos);
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    std::int32_t n = 0;
    std::string t;
    if (vk::SprachZeileLesen(zeile, n, t)) {
      EXPECT_TRUE(texte.emplace(n, t).second) << name << ": number twice: " << n;
    } else {
      // Everything that is not an entry must be visibly a comment or blank.
      EXPECT_TRUE(zeile.empty() || zeile[0] == ';') << name << ": broken line: " << zeile;
    }
    pos = ende + 1;
  }
  return texte;
}

// Text numbers the client sources ask for. Recognised forms: a call of
// Text, TextMitWert, TextMitWerten or TextRelativ... whose first argument is
// a number literal; a relative call adds the last TextBasis(<literal>) seen
// before it in the same file. Other ways of asking for a text (computed
// numbers) are not seen and must be covered by a literal somewhere.
// One call "Name(<digits>," or "Name(<digits>)" at `pos`; the number or -1.
int aufrufNummer(const std::string& q, std::size_t pos, std::string_view name) {
  if (q.compare(pos, name.size(), name) != 0) return -1;
  if (pos > 0 && (std::isalnum(static_cast<unsigned char>(q[pos - 1])) || q[pos - 1] == '_'))
    return -1;
  std::size_t i = pos + name.size();
  if (i >= q.size() || q[i] != '(') return -1;
  ++i;
  while (i < q.size() && q[i] == ' ')
    ++i;
  const std::size_t ziffern = i;
  while (i < q.size() && std::isdigit(static_cast<unsigned char>(q[i])))
    ++i;
  if (i == ziffern || i - ziffern > 9) return -1;
  const int zahl = std::stoi(q.substr(ziffern, i - ziffern));
  while (i < q.size() && q[i] == ' ')
    ++i;
  return i < q.size() && (q[i] == ',' || q[i] == ')') ? zahl : -1;
}

// The numbers a name stands for: "inline constexpr int kName = N;" in a
// namespace txt of text names.
void benannteNummern(const std::string& quelle, const std::string& datei,
                     std::map<std::int32_t, std::string>& nummern) {
  if (quelle.find("namespace txt") == std::string::npos &&
      quelle.find("::txt {") == std::string::npos)
    return;
  static const std::regex name(R"(inline constexpr int k\w+ =\s*(\d+);)");
  for (std::sregex_iterator m(quelle.begin(), quelle.end(), name), ende; m != ende; ++m)
    nummern.emplace(std::stoi((*m)[1].str()), datei);
}

// Text numbers the client sources ask for. Recognised forms: a call of
// Text, TextMitWert, TextMitWerten or TextRelativ... whose first argument is
// a number literal; a relative call adds the last TextBasis(<literal>) seen
// before it in the same file; a text name. Other ways of asking for a text
// (computed numbers) are not seen and must be covered by a literal or a
// name somewhere.
std::map<std::int32_t, std::string> verwendeteNummern() {
  std::map<std::int32_t, std::string> nummern;
  constexpr std::string_view namen[] = {"TextBasis",     "TextRelativMitWert", "TextRelativ",
                                        "TextMitWerten", "TextMitWert",        "Text"};
  for (const char* ordner : {"common", "main", "maint", "helper", "admin"}) {
    const std::filesystem::path wurzel = std::filesystem::path(VK_SOURCE_DIR) / ordner;
    if (!std::filesystem::exists(wurzel)) continue;
    for (const auto& e : std::filesystem::recursive_directory_iterator(wurzel)) {
      const auto endung = e.path().extension();
      if (endung != ".cpp" && endung != ".h") continue;
      std::ifstream f(e.path(), std::ios::binary);
      const std::string quelle(std::istreambuf_iterator<char>(f), {});
      benannteNummern(quelle, e.path().filename().string(), nummern);
      std::int32_t basis = 0;
      for (std::size_t pos = quelle.find("Text"); pos != std::string::npos;
           pos = quelle.find("Text", pos + 1)) {
        for (const std::string_view name : namen) {
          const int zahl = aufrufNummer(quelle, pos, name);
          if (zahl < 0) continue;
          if (name == "TextBasis") {
            basis = zahl;
          } else {
            const bool relativ = name.starts_with("TextRelativ");
            nummern.emplace(relativ ? basis + zahl : zahl, e.path().filename().string());
          }
          break;
        }
      }
    }
  }
  return nummern;
}

TEST(Sprachdateien, SameNumbersEveryUsedNumberCp1252CrLf) {
  std::string rohDe;
  std::string rohEn;
  const auto de = sprachdatei("Deutsch.LNG", &rohDe);
  const auto en = sprachdatei("English.LNG", &rohEn);
  ASSERT_GT(de.size(), 100U);
  for (const auto& [n, t] : de)
    EXPECT_TRUE(en.count(n)) << n << " only in Deutsch.LNG";
  for (const auto& [n, t] : en)
    EXPECT_TRUE(de.count(n)) << n << " only in English.LNG";

  const auto verwendet = verwendeteNummern();
  EXPECT_GT(verwendet.size(), 20U);
  for (const auto& [n, datei] : verwendet) {
    EXPECT_TRUE(de.count(n)) << "text " << n << " (asked for in " << datei << ") missing";
  }

  for (const std::string* roh : {&rohDe, &rohEn}) {
    for (std::size_t i = 0; i < roh->size(); ++i) {
      if ((*roh)[i] == '\n') {
        ASSERT_TRUE(i > 0 && (*roh)[i - 1] == '\r') << "LF without CR";
      }
    }
  }
  // German umlauts are single cp1252 bytes, never UTF-8 sequences.
  EXPECT_NE(rohDe.find("\xFC"), std::string::npos);
  EXPECT_EQ(rohDe.find("\xC3"), std::string::npos);
}

}  // namespace
