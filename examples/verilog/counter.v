// A 4-bit counter: on a rising edge of clk, rst clears it, otherwise en counts it one up
// (15 wraps to 0).
module counter (
  input            clk,
  input            rst,
  input            en,
  output reg [3:0] Q
);
  always @(posedge clk)
    if (rst)
      Q <= 4'd0;
    else if (en)
      Q <= Q + 4'd1;
endmodule
