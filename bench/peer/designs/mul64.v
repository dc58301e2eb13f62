// A 64x64 unsigned multiplier, combinational: one operand pair per vector, the 128-bit product.
// The largest design here.
// peer.sh: --period 700
module mul64(input [63:0] a, input [63:0] b, output [127:0] p);
  assign p = a * b;
endmodule
