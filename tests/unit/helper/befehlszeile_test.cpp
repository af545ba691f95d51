// Command-line cases of vkHelfer: how the main program, the desktop
// shortcuts and hand-written lines are understood.
#include "helper/befehlszeile.h"

#include <gtest/gtest.h>

namespace {

using helfer::BefehlszeileLesen;

TEST(Befehlszeile, WieDasHauptprogrammUndDieVerknuepfungSieSchreiben) {
  auto o = BefehlszeileLesen(R"(-e -p "Chirurgie Nord" -u "Dr. Meier")");
  EXPECT_TRUE(o.nurStarten);
  EXPECT_EQ(o.pool, "Chirurgie Nord");
  EXPECT_EQ(o.user, "Dr. Meier");
  EXPECT_EQ(o.option, -1);
  EXPECT_TRUE(o.hauptprogrammAmEnde);

  // A shortcut: the topic follows the user's closing quote without a blank.
  o = BefehlszeileLesen(R"(-u "Meier"-t "Allgemein gross" -p "Chirurgie" -G 5)");
  EXPECT_EQ(o.user, "Meier");
  EXPECT_EQ(o.topic, "Allgemein gross");
  EXPECT_EQ(o.pool, "Chirurgie");
  EXPECT_EQ(o.option, 5);
  EXPECT_FALSE(o.nurStarten);
}

TEST(Befehlszeile, WerteMitUndOhneAnfuehrungszeichen) {
  // Quoted values keep their blanks (also leading and trailing ones);
  // unquoted ones end at the first blank; no blank after the letter works.
  auto o = BefehlszeileLesen(R"(  -u " Meier "   -pChirurgie Rest -t"A B"  )");
  EXPECT_EQ(o.user, " Meier ");
  EXPECT_EQ(o.pool, "Chirurgie");
  EXPECT_EQ(o.topic, "A B");
}

TEST(Befehlszeile, OptionOhneWertVerschlucktDieNaechsteNicht) {
  auto o = BefehlszeileLesen(R"(-e -p "P" -E -u U)");
  EXPECT_TRUE(o.nurStarten);
  EXPECT_FALSE(o.hauptprogrammAmEnde);
  EXPECT_EQ(o.pool, "P");
  EXPECT_EQ(o.user, "U");

  o = BefehlszeileLesen("-p -u U");  // empty pool, user still read
  EXPECT_EQ(o.pool, "");
  EXPECT_EQ(o.user, "U");
}

TEST(Befehlszeile, GrossesUndKleinesESindVerschieden) {
  auto o = BefehlszeileLesen("-E -u U");
  EXPECT_FALSE(o.hauptprogrammAmEnde);
  EXPECT_FALSE(o.nurStarten);
  o = BefehlszeileLesen("-e -u U");
  EXPECT_TRUE(o.hauptprogrammAmEnde);
  EXPECT_TRUE(o.nurStarten);
}

TEST(Befehlszeile, OffenesAnfuehrungszeichenBeendetDasLesen) {
  auto o = BefehlszeileLesen(R"(-u "Meier" -t "Allgemein -p Chirurgie)");
  EXPECT_EQ(o.user, "Meier");
  EXPECT_EQ(o.topic, "");  // dropped
  EXPECT_EQ(o.pool, "");   // never reached
}

TEST(Befehlszeile, UnbekannteBuchstabenUndIgnorierteOptionen) {
  auto o = BefehlszeileLesen(R"(-x "was auch immer" -i 3 -D drei -u U -Z)");
  EXPECT_EQ(o.user, "U");
  EXPECT_EQ(o.pool, "");
  EXPECT_EQ(o.topic, "");
  EXPECT_EQ(o.option, -1);
  EXPECT_TRUE(o.hauptprogrammAmEnde);
  EXPECT_FALSE(o.nurStarten);
}

TEST(Befehlszeile, LeereUndBruchstueckhafteZeilen) {
  for (const char* z : {"", "   ", "ohne Optionen", "-", "Meier -"}) {
    auto o = BefehlszeileLesen(z);
    EXPECT_EQ(o.user, "") << z;
    EXPECT_EQ(o.option, -1) << z;
  }
  EXPECT_EQ(BefehlszeileLesen("-u").user, "");
}

TEST(Befehlszeile, SprecheroptionWirdGerundet) {
  EXPECT_EQ(BefehlszeileLesen("-G 2.6").option, 3);
  EXPECT_EQ(BefehlszeileLesen("-G 2.5").option, 2);  // half to even
  EXPECT_EQ(BefehlszeileLesen("-G 3.5").option, 4);
  EXPECT_EQ(BefehlszeileLesen("-G 0").option, 0);
  EXPECT_EQ(BefehlszeileLesen("-G 7abc").option, 7);
  EXPECT_EQ(BefehlszeileLesen("-G abc").option, 0);
  EXPECT_EQ(BefehlszeileLesen(R"(-G "-2")").option, -2);
  // Outside 32 bits: no option rather than a wrapped number.
  EXPECT_EQ(BefehlszeileLesen("-G 99999999999").option, -1);
  EXPECT_EQ(BefehlszeileLesen("-G 2147483647").option, 2147483647);
}

}  // namespace
