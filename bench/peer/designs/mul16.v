// A 16x16 unsigned multiplier, combinational: one operand pair per vector, the 32-bit product.
// Yosys makes the partial products and the adder tree of gates.
// peer.sh: --period 500
module mul16(input [15:0] a, input [15:0] b, output [31:0] p);
  assign p = a * b;
endmodule
