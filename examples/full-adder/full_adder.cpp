// A one-bit full adder from gates: Sum = a xor b xor cin, Cout = ab + cin(a xor b).
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), cin(1, "cin");
  Signal half(1, "half"), carry1(1, "carry1"), carry2(1, "carry2");
  Signal Sum(1, "Sum"), Cout(1, "Cout");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'b', Zero);
  Switch(SD("ca"), cin, 'c', Zero);
  Xor(SD("ab"), (a, b), half);
  Xor(SD("ac"), (half, cin), Sum);
  And(SD("bb"), (a, b), carry1);
  And(SD("cb"), (half, cin), carry2);
  Or(SD("bc"), (carry1, carry2), Cout);
  Probe(SD("ad"), Sum);
  Probe(SD("bd"), Cout);
}
