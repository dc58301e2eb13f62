// A 4-bit ripple-carry adder: S and Cout are A + B + Cin.
module adder4 (
  input  [3:0] A,
  input  [3:0] B,
  input        Cin,
  output [3:0] S,
  output       Cout
);
  wire [4:0] c;
  assign c[0] = Cin;
  genvar i;
  generate
    for (i = 0; i < 4; i = i + 1) begin : bit_slice
      assign S[i]     = A[i] ^ B[i] ^ c[i];
      assign c[i + 1] = (A[i] & B[i]) | (c[i] & (A[i] ^ B[i]));
    end
  endgenerate
  assign Cout = c[4];
endmodule
