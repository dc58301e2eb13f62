// A 4-bit bus shared by a RegisterFile and a Ram through tri-state buffers, on a free-running
// Clock. Until time 200 the register file drives word 1 (0xA) onto the bus and the Ram stores
// the bus at address 2 on every rising clock edge; then the register file lets go (the bus
// floats, HIZ), and from time 250 the Ram drives its word 2 back onto the bus.
#include "tavrin.h"

void simnet() {
  Signal clk(1, "clk"), regDrives(1, "regDrives"), ramDrives(1, "ramDrives");
  Signal Bus(4, "Bus"), regOut(4, "regOut"), ramOut(4, "ramOut");
  Signal ten(4, 0xAu, "ten"), one(2, 1u, "one"), two(2, 2u, "two");
  Clock(SD("aa"), clk, 10, 20, 40, Zero);        // high for 10 of every 40, first rise near 20
  PowerOn(SD("ba"), regDrives, 200, One);        // 1 until time 200, then 0
  PowerOn(SD("ca"), ramDrives, 250, Zero);       // 0 until time 250, then 1
  // controlIn, bit 0 first: read address, write address, write strobe, write enable.
  RegisterFile(SD("ab"), (One, clk, one, one), ten, regOut, 4, 4, 2, 1, 1);
  Ram(SD("bb"), (regDrives, clk, two, two), Bus, ramOut, 4, 4, 2, 1, 1);
  for (int i = 0; i < 4; ++i) {
    Tsb(SD("ac"), regOut[i], regDrives, Bus[i]);
    Tsb(SD("bc"), ramOut[i], ramDrives, Bus[i]);
  }
  Probe(SD("ad"), Bus);
}
