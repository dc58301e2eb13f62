// An 8-bit up counter: on a rising clock edge rst clears it, else en counts one up.
// tc (terminal count) is high while the counter is enabled at 255, the step that wraps it to 0.
module counter8 (
  input            clk,
  input            rst,
  input            en,
  output reg [7:0] Q,
  output           tc
);
  always @(posedge clk)
    if (rst)
      Q <= 8'd0;
    else if (en)
      Q <= Q + 8'd1;

  assign tc = en && Q == 8'hFF;
endmodule
