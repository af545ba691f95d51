// Why the recognizer refuses a word, as the client shows it: the text comes
// from the loaded language file, with the length limit put in.
#include "common/dragon_proxy.h"
#include "testbaum.h"

namespace {

using Analyse = Testbaum;
using dragonproto::Analysis;

TEST_F(Analyse, RefusalReasonsSpeakTheLoadedLanguage) {
  EXPECT_EQ(dragon::analysisReason(Analysis::tooLong), "Schreibform l\xE4nger als 128 Zeichen.");
  vk::texteZuruecksetzen();
  vk::TextLaden("English");
  EXPECT_EQ(dragon::analysisReason(Analysis::empty), "Empty written form.");
  EXPECT_EQ(dragon::analysisReason(Analysis::tooLong), "Written form longer than 128 characters.");
  EXPECT_EQ(dragon::analysisReason(Analysis::controlChar), "Control character in the word.");
  EXPECT_EQ(dragon::analysisReason(Analysis::ok), "");
}

}  // namespace
