// Vokarium: the main program of a dictating user. Started by hand, or by
// vkHelfer with "-p"/"-u" when the recognizer ended with new words (then it
// opens the word list editor at once and ends with it).
#include "main/programm.h"

int main(int argc, char** argv) {
  return vk::HauptprogrammAusfuehren(argc, argv, vk::VokariumArt());
}
