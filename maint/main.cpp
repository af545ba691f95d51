// vkPflege: the maintenance program of a pool's word lists. The same main
// window and word list editor as Vokarium, with the maintainer's toolbar
// and rules (main/programmart.cpp).
#include "main/programm.h"

int main(int argc, char** argv) {
  return vk::HauptprogrammAusfuehren(argc, argv, vk::PflegeArt());
}
