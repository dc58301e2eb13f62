// A 32x32 unsigned multiplier, combinational: one operand pair per vector, the 64-bit product.
// peer.sh: --period 600
module mul32(input [31:0] a, input [31:0] b, output [63:0] p);
  assign p = a * b;
endmodule
