// 64 16-bit counters, each counting the rising edges of clk on which its enable is high; rst
// clears them all on a rising edge (synchronous). The outputs show counter sel and the xor of
// all 64, so that every counter's state reaches an output.
// peer.sh: --period 1000 --toggle clk --hold rst=0
module counters(input clk, input rst, input [63:0] en, input [5:0] sel, output [15:0] count,
                output [15:0] fold);
  reg [15:0] c [0:63];
  integer i;
  always @(posedge clk)
    for (i = 0; i < 64; i = i + 1)
      if (rst) c[i] <= 16'd0;
      else if (en[i]) c[i] <= c[i] + 16'd1;
  assign count = c[sel];
  reg [15:0] x;
  always @* begin
    x = 16'd0;
    for (i = 0; i < 64; i = i + 1) x = x ^ c[i];
  end
  assign fold = x;
endmodule
