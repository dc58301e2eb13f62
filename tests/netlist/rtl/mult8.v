// An 8 x 8 unsigned combinational multiplier: P = A * B.
module mult8 (
  input  [7:0]  A,
  input  [7:0]  B,
  output [15:0] P
);
  assign P = A * B;
endmodule
